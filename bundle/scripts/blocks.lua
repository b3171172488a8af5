-- The block catalogue: what every piece of a level is made of, how birds
-- damage each material, and the scenery themes. Runs into blockTable.

-- One entry per definition name used by the levels. Sizes are in world
-- units (20 pixels each); sprites are drawn centred on the body.
blocks = {
    WOOD_PLANK = { shape = "box", width = 4, height = 0.5, material = "wood", sprite = "WOOD_PLANK" },
    WOOD_POST = { shape = "box", width = 0.5, height = 3, material = "wood", sprite = "WOOD_POST" },
    WOOD_BOX = { shape = "box", width = 1, height = 1, material = "wood", sprite = "WOOD_BOX" },
    WOOD_SLAB = { shape = "box", width = 3, height = 0.5, material = "wood", sprite = "WOOD_SLAB" },
    STONE_PLANK = { shape = "box", width = 4, height = 0.5, material = "stone", sprite = "STONE_PLANK" },
    STONE_POST = { shape = "box", width = 0.5, height = 3, material = "stone", sprite = "STONE_POST" },
    STONE_BOX = { shape = "box", width = 1, height = 1, material = "stone", sprite = "STONE_BOX" },
    STONE_SLAB = { shape = "box", width = 3, height = 0.5, material = "stone", sprite = "STONE_SLAB" },
    GREMLIN = { shape = "circle", radius = 0.6, material = "gremlin", sprite = "GREMLIN",
                hurtSprite = "GREMLIN_HURT", target = true },
}

-- Density, friction, restitution, strength and defence per material; the
-- points a broken piece is worth and the particles it leaves.
materials = {
    wood = { density = 1.0, friction = 0.7, restitution = 0.1, strength = 6, defence = 0.5,
             points = 500, debris = "woodDebris" },
    stone = { density = 2.5, friction = 0.9, restitution = 0.05, strength = 10, defence = 1,
              points = 800, debris = "stoneDebris" },
    gremlin = { density = 0.8, friction = 0.6, restitution = 0.2, strength = 1.2, defence = 0.2,
                points = 5000, debris = "feathers" },
}

-- Per bird kind: how much of the impact each material takes, and how much of
-- the bird's speed is kept when it breaks through.
damageFactors = {
    quill = {
        damageMultiplier = { wood = 1.0, stone = 0.5, gremlin = 1.5 },
        velocityMultiplier = { wood = 0.9, stone = 0.6, gremlin = 1.0 },
    },
}

-- Scenery. The clear colour is `color` squared over 255 per component, so
-- this sky clears to (140, 200, 235).
themes = {
    meadow = {
        color = { r = 189, g = 226, b = 245 },
        groundColor = { r = 110, g = 78, b = 50 },
        bgLayers = {
            { "meadow", "BG_HILLS", 0.5, 1, true, 0 },
        },
        fgLayers = {
            { "meadow", "FG_GROUND", 1, 1, true, 0 },
        },
        -- Drifting clouds on the hills layer, in pixels of the world.
        clouds = {
            { x = 120, y = -250, speed = -6, scale = 1 },
            { x = 420, y = -300, speed = -4, scale = 0.7 },
        },
    },
}
