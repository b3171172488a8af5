-- d03: Anvil Drop, the heavy bird crushes stone.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d03.lua"
theme = "dusk"
hint = "HINT_D03"
slingshot = { x = 3, y = -3.2 }
birds = { "anvil", "anvil", "quill", "anvil" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 21.5, y = -0.6 },
    greml02 = { definition = "GREMLIN_ARMOURED", x = 21.5, y = -4.6 },
    greml03 = { definition = "GREMLIN", x = 26, y = -1.6 },
    stone01 = { definition = "STONE_POST", x = 20, y = -1.5 },
    stone02 = { definition = "STONE_POST", x = 23, y = -1.5 },
    stone03 = { definition = "STONE_PLANK", x = 21.5, y = -3.25 },
    stone04 = { definition = "STONE_SLAB", x = 21.5, y = -3.75 },
    stone05 = { definition = "STONE_BOX", x = 26, y = -0.5 },
}
