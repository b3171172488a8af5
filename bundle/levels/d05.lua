-- d05: Canyon Wind, a fan blows across the canyon.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d05.lua"
theme = "dusk"
hint = "HINT_D05"
tint = { r = 232, g = 210, b = 230 }
slingshot = { x = 3, y = -3.2 }
birds = { "gale", "quill", "bubbler", "anvil" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    fan01 = { definition = "FAN", x = 15, y = -0.6, range = 9, force = 26 },
    greml01 = { definition = "GREMLIN", x = 21, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 21, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 28, y = -0.6 },
    greml04 = { definition = "GREMLIN_ARMOURED", x = 28, y = -4.1 },
    ice01 = { definition = "ICE_POST", x = 26.5, y = -1.5 },
    ice02 = { definition = "ICE_POST", x = 29.5, y = -1.5 },
    ice03 = { definition = "ICE_PLANK", x = 28, y = -3.25 },
    portalIn = { definition = "PORTAL_BLUE", x = 10, y = -8, target = "portalOut" },
    portalOut = { definition = "PORTAL_ORANGE", x = 26, y = -8, angle = 3.1416 },
    stone01 = { definition = "STONE_PLANK", x = 21, y = -3.25 },
    wood01 = { definition = "WOOD_POST", x = 19.5, y = -1.5 },
    wood02 = { definition = "WOOD_POST", x = 22.5, y = -1.5 },
}
