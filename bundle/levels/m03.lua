-- m03: Stone Walls, stone shrugs off light blows; the wood under it does not.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m03.lua"
theme = "meadow"
hint = "HINT_M03"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 20, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 26, y = -0.6 },
    greml03 = { definition = "GREMLIN", x = 26, y = -4.1 },
    stone01 = { definition = "STONE_BOX", x = 19.2, y = -4 },
    stone02 = { definition = "STONE_BOX", x = 20.8, y = -4 },
    stone03 = { definition = "STONE_POST", x = 24.5, y = -1.5 },
    stone04 = { definition = "STONE_POST", x = 27.5, y = -1.5 },
    wood01 = { definition = "WOOD_POST", x = 18.5, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 21.5, y = -1.5 },
    wood03 = { definition = "WOOD_PLANK", x = 20, y = -3.25 },
    wood04 = { definition = "WOOD_PLANK", x = 26, y = -3.25 },
}
