-- d06: Sundown Fort, everything at once.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d06.lua"
theme = "dusk"
hint = "HINT_D06"
tint = { r = 232, g = 210, b = 230 }
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "burr", "gale", "bubbler", "anvil" }
bounds = { left = -2, right = 36, top = -20, bottom = 4 }
water = { waterLevel = 1.2 }

world = {
    board = { definition = "WOOD_PLANK", x = 26, y = -5 },
    greml01 = { definition = "GREMLIN_ARMOURED", x = 20, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 20, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 20, y = -7.6 },
    greml04 = { definition = "GREMLIN", x = 24.8, y = -5.85 },
    greml05 = { definition = "GREMLIN", x = 27.2, y = -5.85 },
    greml06 = { definition = "GREMLIN_ARMOURED", x = 31.5, y = -7.95 },
    hover01 = { definition = "HOVER_PAD", x = 31.5, y = -7 },
    pivot = { definition = "PIVOT", x = 26, y = -5 },
    stand = { definition = "STONE_POST", x = 26, y = -1.5, static = true },
    stone01 = { definition = "STONE_POST", x = 18.5, y = -1.5 },
    stone02 = { definition = "STONE_POST", x = 21.5, y = -1.5 },
    wood01 = { definition = "WOOD_PLANK", x = 20, y = -3.25 },
    wood02 = { definition = "WOOD_POST", x = 18.5, y = -5 },
    wood03 = { definition = "WOOD_POST", x = 21.5, y = -5 },
    wood04 = { definition = "WOOD_PLANK", x = 20, y = -6.75 },
}

joints = {
    hinge = { type = 3, end1 = "pivot", end2 = "board", x1 = 0, y1 = 0, breakable = true, breakForce = 5 },
}
