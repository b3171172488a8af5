-- f02: Gale Warning, a gust sweeps gremlins off their ledges.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f02.lua"
theme = "frost"
hint = "HINT_F02"
slingshot = { x = 3, y = -3.2 }
birds = { "gale", "gale", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 20, y = -4.1 },
    greml02 = { definition = "GREMLIN", x = 24, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 22, y = -0.6 },
    ice01 = { definition = "ICE_SLAB", x = 20, y = -3.25 },
    ice02 = { definition = "ICE_SLAB", x = 24, y = -3.25 },
    stone01 = { definition = "STONE_POST", x = 20, y = -1.5, static = true },
    stone02 = { definition = "STONE_POST", x = 24, y = -1.5, static = true },
}
