-- Meadow 1, First Flight: a wooden frame with a gremlin under its roof.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m01.lua"
theme = "meadow"
hint = "HINT_M01"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
bounds = { left = -2, right = 30, top = -20, bottom = 4 }

world = {
    postA = { definition = "WOOD_POST", x = 20, y = -1.5 },
    postB = { definition = "WOOD_POST", x = 23, y = -1.5 },
    roofA = { definition = "WOOD_PLANK", x = 21.5, y = -3.25 },
    boxA = { definition = "WOOD_BOX", x = 21.5, y = -4 },
    gremlinA = { definition = "GREMLIN", x = 21.5, y = -0.6 },
    gremlinB = { definition = "GREMLIN", x = 21.5, y = -5.1 },
}
