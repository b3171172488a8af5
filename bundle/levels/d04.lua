-- d04: Hover Pads, jets hold gremlins up until their pad cracks.
-- Positions are in world units; y grows downwards and the ground's top is 0.
filename = "d04.lua"
theme = "dusk"
hint = "HINT_D04"
slingshot = { x = 3, y = -3.2 }
birds = { "quill", "quill", "anvil", "quill", "quill" }
bounds = { left = -2, right = 32, top = -20, bottom = 4 }

world = {
    base = { definition = "ANCHOR", x = 27.5, y = -0.25 },
    greml01 = { definition = "GREMLIN", x = 20, y = -6.95 },
    greml02 = { definition = "GREMLIN", x = 25, y = -8.95 },
    greml03 = { definition = "GREMLIN", x = 27.5, y = -2.85 },
    hover01 = { definition = "HOVER_PAD", x = 20, y = -6 },
    hover02 = { definition = "HOVER_PAD", x = 25, y = -8 },
    lift = { definition = "WOOD_SLAB", x = 27.5, y = -2 },
}

joints = {
    slider = { type = 4, end1 = "base", end2 = "lift", x1 = 0, y1 = 0, worldAxisX = 0, worldAxisY = -1, lowerLimit = 1, upperLimit = 3, motorSpeed = 0.8, maxTorque = 800, backAndForth = true, breakable = true, breakForce = 5 },
}
