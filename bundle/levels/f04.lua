-- f04: Springboard, gremlins on a springy board.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f04.lua"
theme = "frost"
hint = "HINT_F04"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "gale", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    board = { definition = "WOOD_PLANK", x = 22, y = -3 },
    footA = { definition = "ANCHOR", x = 20.5, y = -0.25 },
    footB = { definition = "ANCHOR", x = 23.5, y = -0.25 },
    greml01 = { definition = "GREMLIN", x = 21, y = -3.85 },
    greml02 = { definition = "GREMLIN", x = 23, y = -3.85 },
    greml03 = { definition = "GREMLIN", x = 28, y = -0.6 },
    greml04 = { definition = "GREMLIN", x = 28, y = -4.1 },
    ice01 = { definition = "ICE_POST", x = 26.5, y = -1.5 },
    ice02 = { definition = "ICE_POST", x = 29.5, y = -1.5 },
    ice03 = { definition = "ICE_PLANK", x = 28, y = -3.25 },
}

joints = {
    springA = { type = 1, end1 = "footA", end2 = "board", coordType = 2, x1 = 0, y1 = 0, x2 = -1.5, y2 = 0, frequency = 2.5, dampingRatio = 0.2, breakable = true, breakForce = 4 },
    springB = { type = 1, end1 = "footB", end2 = "board", coordType = 2, x1 = 0, y1 = 0, x2 = 1.5, y2 = 0, frequency = 2.5, dampingRatio = 0.2, breakable = true, breakForce = 4 },
}
