-- m06: Mill Pond, rafts afloat on deep water.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m06.lua"
theme = "meadow"
hint = "HINT_M06"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill", "burr" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }
water = { waterLevel = 2.5 }

world = {
    greml01 = { definition = "GREMLIN", x = 17.3, y = -4.1 },
    greml02 = { definition = "GREMLIN", x = 23.3, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 29.5, y = -4.1 },
    stone01 = { definition = "STONE_POST", x = 18, y = -1.5, static = true },
    stone02 = { definition = "STONE_POST", x = 24, y = -1.5, static = true },
    stone03 = { definition = "STONE_POST", x = 28, y = -1.5 },
    stone04 = { definition = "STONE_POST", x = 31, y = -1.5 },
    stone05 = { definition = "STONE_PLANK", x = 29.5, y = -3.25 },
    wood01 = { definition = "WOOD_SLAB", x = 18, y = -3.25 },
    wood02 = { definition = "WOOD_BOX", x = 18.8, y = -4 },
    wood03 = { definition = "WOOD_SLAB", x = 24, y = -3.25 },
    wood04 = { definition = "WOOD_BOX", x = 24.8, y = -4 },
    wood05 = { definition = "WOOD_BOX", x = 21, y = -2.5 },
}
