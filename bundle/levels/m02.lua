-- m02: Two Storeys, a taller wooden house; the quill darts on a click.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m02.lua"
theme = "meadow"
hint = "HINT_M02"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 20, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 20, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 20, y = -7.6 },
    greml04 = { definition = "GREMLIN", x = 26, y = -0.6 },
    wood01 = { definition = "WOOD_POST", x = 18.5, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 21.5, y = -1.5 },
    wood03 = { definition = "WOOD_PLANK", x = 20, y = -3.25 },
    wood04 = { definition = "WOOD_POST", x = 18.5, y = -5 },
    wood05 = { definition = "WOOD_POST", x = 21.5, y = -5 },
    wood06 = { definition = "WOOD_PLANK", x = 20, y = -6.75 },
    wood07 = { definition = "WOOD_POST", x = 24.5, y = -1.5 },
    wood08 = { definition = "WOOD_POST", x = 27.5, y = -1.5 },
    wood09 = { definition = "WOOD_PLANK", x = 26, y = -3.25 },
}
