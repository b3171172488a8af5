-- m04: Sticky Burrs, a high perch the burr can drag down.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "m04.lua"
theme = "meadow"
hint = "HINT_M04"
slingshot = { x = 3, y = -3.2 }
birds = { "burr", "burr", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 20.2, y = -7.1 },
    greml02 = { definition = "GREMLIN", x = 21.8, y = -7.1 },
    greml03 = { definition = "GREMLIN", x = 26, y = -0.6 },
    wood01 = { definition = "WOOD_POST", x = 19.5, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 19.5, y = -4.5 },
    wood03 = { definition = "WOOD_POST", x = 22.5, y = -1.5 },
    wood04 = { definition = "WOOD_POST", x = 22.5, y = -4.5 },
    wood05 = { definition = "WOOD_PLANK", x = 21, y = -6.25 },
}
