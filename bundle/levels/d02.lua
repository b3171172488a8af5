-- d02: Bubble Trouble, the bubbler floats gremlins out of their pit.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d02.lua"
theme = "dusk"
hint = "HINT_D02"
slingshot = { x = 3, y = -3.2 }
birds = { "bubbler", "bubbler", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 20.5, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 22.5, y = -0.6 },
    stone01 = { definition = "STONE_BOX", x = 18, y = -0.5, static = true },
    stone02 = { definition = "STONE_BOX", x = 18, y = -1.5, static = true },
    stone03 = { definition = "STONE_BOX", x = 18, y = -2.5, static = true },
    stone04 = { definition = "STONE_BOX", x = 25, y = -0.5, static = true },
    stone05 = { definition = "STONE_BOX", x = 25, y = -1.5, static = true },
    stone06 = { definition = "STONE_BOX", x = 25, y = -2.5, static = true },
    wood01 = { definition = "WOOD_BOX", x = 21.5, y = -0.5 },
    wood02 = { definition = "WOOD_PLANK", x = 21.5, y = -1.25 },
}
