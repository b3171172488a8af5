-- m05: Seesaw, a plank turning on a hinge and a wheel to roll.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m05.lua"
theme = "meadow"
hint = "HINT_M05"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "burr", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    board = { definition = "WOOD_PLANK", x = 22, y = -4.2, angle = 0 },
    greml01 = { definition = "GREMLIN", x = 20.6, y = -5.05 },
    greml02 = { definition = "GREMLIN", x = 23.4, y = -5.05 },
    pivot = { definition = "PIVOT", x = 22, y = -4.2 },
    stand = { definition = "STONE_POST", x = 22, y = -1.5, static = true },
    wood02 = { definition = "WOOD_WHEEL", x = 25.5, y = -0.6 },
}

joints = {
    hinge = { type = 3, end1 = "pivot", end2 = "board", x1 = 0, y1 = 0, breakable = true, breakForce = 5 },
}
