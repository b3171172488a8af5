-- f06: Helmets, armoured gremlins in an ice keep.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f06.lua"
theme = "frost"
hint = "HINT_F06"
tint = { r = 214, g = 232, b = 246 }
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "gale", "anvil", "quill", "burr" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN_ARMOURED", x = 20, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 20, y = -7.6 },
    greml03 = { definition = "GREMLIN", x = 25.5, y = -0.6 },
    greml04 = { definition = "GREMLIN", x = 25.5, y = -4.1 },
    ice01 = { definition = "ICE_POST", x = 18.5, y = -1.5 },
    ice02 = { definition = "ICE_POST", x = 21.5, y = -1.5 },
    ice03 = { definition = "ICE_PLANK", x = 20, y = -3.25 },
    ice04 = { definition = "ICE_POST", x = 18.5, y = -5 },
    ice05 = { definition = "ICE_POST", x = 21.5, y = -5 },
    ice06 = { definition = "ICE_PLANK", x = 20, y = -6.75 },
    ice07 = { definition = "ICE_PLANK", x = 25.5, y = -3.25 },
    stone01 = { definition = "STONE_POST", x = 24, y = -1.5 },
    stone02 = { definition = "STONE_POST", x = 27, y = -1.5 },
}
