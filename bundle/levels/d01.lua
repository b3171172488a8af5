-- d01: Red Gate, a portal leads behind the cliff.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d01.lua"
theme = "dusk"
hint = "HINT_D01"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 24, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 24, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 28, y = -0.6 },
    portalIn = { definition = "PORTAL_BLUE", x = 12, y = -4, target = "portalOut" },
    portalOut = { definition = "PORTAL_ORANGE", x = 19, y = -7, angle = 3.1416 },
    stone01 = { definition = "STONE_BOX", x = 16, y = -0.5, static = true },
    stone02 = { definition = "STONE_BOX", x = 16, y = -1.5, static = true },
    stone03 = { definition = "STONE_BOX", x = 16, y = -2.5, static = true },
    stone04 = { definition = "STONE_BOX", x = 16, y = -3.5, static = true },
    stone05 = { definition = "STONE_BOX", x = 16, y = -4.5, static = true },
    stone06 = { definition = "STONE_BOX", x = 16, y = -5.5, static = true },
    stone07 = { definition = "STONE_BOX", x = 16, y = -6.5, static = true },
    stone08 = { definition = "STONE_BOX", x = 16, y = -7.5, static = true },
    stone09 = { definition = "STONE_BOX", x = 16, y = -8.5, static = true },
    wood01 = { definition = "WOOD_POST", x = 22.5, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 25.5, y = -1.5 },
    wood03 = { definition = "WOOD_PLANK", x = 24, y = -3.25 },
}
