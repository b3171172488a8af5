-- f05: Frozen Lake, ice floes on the water.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f05.lua"
theme = "frost"
hint = "HINT_F05"
tint = { r = 214, g = 232, b = 246 }
slingshot = { x = 3, y = -3.2 }
birds = { "gale", "quill", "quill", "gale" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }
water = { waterLevel = 2.5 }

world = {
    greml01 = { definition = "GREMLIN", x = 17, y = -4.1 },
    greml02 = { definition = "GREMLIN", x = 22, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 27, y = -4.1 },
    ice01 = { definition = "ICE_SLAB", x = 17, y = -3.25 },
    ice02 = { definition = "ICE_SLAB", x = 22, y = -3.25 },
    ice03 = { definition = "ICE_SLAB", x = 27, y = -3.25 },
    ice04 = { definition = "ICE_BOX", x = 22, y = -4.5 },
    ice05 = { definition = "ICE_BOX", x = 19.5, y = -2.5 },
    stone01 = { definition = "STONE_POST", x = 17, y = -1.5, static = true },
    stone02 = { definition = "STONE_POST", x = 22, y = -1.5, static = true },
    stone03 = { definition = "STONE_POST", x = 27, y = -1.5, static = true },
}
