-- f03: Bubble Lift, a bubble carries the bird over the wall.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f03.lua"
theme = "frost"
hint = "HINT_F03"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    bubble1 = { definition = "BUBBLE", x = 11, y = -4 },
    bubble2 = { definition = "BUBBLE", x = 13, y = -8 },
    greml01 = { definition = "GREMLIN", x = 21, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 21, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 24.5, y = -0.6 },
    ice01 = { definition = "ICE_POST", x = 19.5, y = -1.5 },
    ice02 = { definition = "ICE_POST", x = 22.5, y = -1.5 },
    ice03 = { definition = "ICE_PLANK", x = 21, y = -3.25 },
    stone01 = { definition = "STONE_BOX", x = 16, y = -0.5, static = true },
    stone02 = { definition = "STONE_BOX", x = 16, y = -1.5, static = true },
    stone03 = { definition = "STONE_BOX", x = 16, y = -2.5, static = true },
    stone04 = { definition = "STONE_BOX", x = 16, y = -3.5, static = true },
    stone05 = { definition = "STONE_BOX", x = 16, y = -4.5, static = true },
    stone06 = { definition = "STONE_BOX", x = 16, y = -5.5, static = true },
}
