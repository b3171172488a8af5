-- Gremlin Hollow: two small forts, one of wood and one of stone.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "level1.lua"
theme = "meadow"
physicsToWorld = 20

slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
-- The part of the world the camera keeps in view.
bounds = { left = -2, right = 30, top = -20, bottom = 4 }

world = {
    -- The wooden frame with a gremlin under its roof and one on top.
    postA = { definition = "WOOD_POST", x = 20, y = -1.5, angle = 0 },
    postB = { definition = "WOOD_POST", x = 23, y = -1.5, angle = 0 },
    roofA = { definition = "WOOD_PLANK", x = 21.5, y = -3.25, angle = 0 },
    boxA = { definition = "WOOD_BOX", x = 21.5, y = -4, angle = 0 },
    gremlinA = { definition = "GREMLIN", x = 21.5, y = -0.6, angle = 0 },
    gremlinB = { definition = "GREMLIN", x = 21.5, y = -5.1, angle = 0 },
    -- The stone fort behind it, a gremlin keeping watch on its roof.
    stoneA = { definition = "STONE_BOX", x = 25.5, y = -0.5, angle = 0 },
    stoneB = { definition = "STONE_BOX", x = 25.5, y = -1.5, angle = 0 },
    stoneC = { definition = "STONE_BOX", x = 28.5, y = -0.5, angle = 0 },
    stoneD = { definition = "STONE_BOX", x = 28.5, y = -1.5, angle = 0 },
    roofB = { definition = "STONE_PLANK", x = 27, y = -2.25, angle = 0 },
    slabB = { definition = "WOOD_SLAB", x = 27, y = -2.75, angle = 0 },
    gremlinC = { definition = "GREMLIN", x = 27, y = -3.6, angle = 0 },
}
