-- m01: First Flight, a wooden frame with a gremlin under its roof.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m01.lua"
theme = "meadow"
hint = "HINT_M01"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 21.5, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 21.5, y = -5.1 },
    wood01 = { definition = "WOOD_POST", x = 20, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 23, y = -1.5 },
    wood03 = { definition = "WOOD_PLANK", x = 21.5, y = -3.25 },
    wood04 = { definition = "WOOD_BOX", x = 21.5, y = -4 },
}
