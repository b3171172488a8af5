-- f01: Thin Ice, ice shatters at a touch.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "f01.lua"
theme = "frost"
hint = "HINT_F01"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    greml01 = { definition = "GREMLIN", x = 19, y = -0.6 },
    greml02 = { definition = "GREMLIN", x = 19, y = -4.1 },
    greml03 = { definition = "GREMLIN", x = 19, y = -7.6 },
    greml04 = { definition = "GREMLIN", x = 23.5, y = -0.6 },
    greml05 = { definition = "GREMLIN", x = 23.5, y = -4.1 },
    greml06 = { definition = "GREMLIN", x = 23.5, y = -7.6 },
    ice01 = { definition = "ICE_POST", x = 17.5, y = -1.5 },
    ice02 = { definition = "ICE_POST", x = 20.5, y = -1.5 },
    ice03 = { definition = "ICE_PLANK", x = 19, y = -3.25 },
    ice04 = { definition = "ICE_POST", x = 17.5, y = -5 },
    ice05 = { definition = "ICE_POST", x = 20.5, y = -5 },
    ice06 = { definition = "ICE_PLANK", x = 19, y = -6.75 },
    ice07 = { definition = "ICE_POST", x = 22, y = -1.5 },
    ice08 = { definition = "ICE_POST", x = 25, y = -1.5 },
    ice09 = { definition = "ICE_PLANK", x = 23.5, y = -3.25 },
    ice10 = { definition = "ICE_POST", x = 22, y = -5 },
    ice11 = { definition = "ICE_POST", x = 25, y = -5 },
    ice12 = { definition = "ICE_PLANK", x = 23.5, y = -6.75 },
}
