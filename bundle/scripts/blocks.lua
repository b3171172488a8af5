-- The block catalogue: what every piece of a level is made of, how each bird
-- kind damages each material, and the scenery themes. The engine runs this
-- file into blockTable before every level, in an empty environment: no
-- library functions here, only plain Lua.

-- Sizes are in world units (20 pixels each); sprites are drawn centred on the
-- body. A piece of material M has the sprites NAME, NAME_CRACKED (below two
-- thirds of its strength) and NAME_SHATTERED (below one third).
blocks = {}
local shapes = {
    { "PLANK", 4, 0.5 },
    { "POST", 0.5, 3 },
    { "BOX", 1, 1 },
    { "SLAB", 3, 0.5 },
}
local pieceMaterials = { { "wood", "WOOD" }, { "stone", "STONE" }, { "ice", "ICE" } }
for m = 1, #pieceMaterials do
    for s = 1, #shapes do
        local name = pieceMaterials[m][2] .. "_" .. shapes[s][1]
        blocks[name] = { shape = "box", width = shapes[s][2], height = shapes[s][3],
                         material = pieceMaterials[m][1], sprite = name,
                         stages = { name .. "_CRACKED", name .. "_SHATTERED" } }
    end
end
blocks.WOOD_WHEEL = { shape = "circle", radius = 0.6, material = "wood", sprite = "WOOD_WHEEL",
                      rollingSound = "roll_wood" }
blocks.STONE_BALL = { shape = "circle", radius = 0.7, material = "stone", sprite = "STONE_BALL",
                      rollingSound = "roll_stone" }
blocks.GREMLIN = { shape = "circle", radius = 0.6, material = "gremlin", sprite = "GREMLIN",
                   stages = { "GREMLIN_HURT" }, target = true }
blocks.GREMLIN_ARMOURED = { shape = "circle", radius = 0.6, material = "armour",
                            sprite = "GREMLIN_ARMOURED",
                            stages = { "GREMLIN_ARMOURED_DENTED", "GREMLIN_ARMOURED_HURT" },
                            target = true }
-- Gadgets: fixed in place (static) unless said otherwise, no strength.
blocks.PIVOT = { shape = "circle", radius = 0.3, material = "fixed", sprite = "PIVOT" }
blocks.ANCHOR = { shape = "box", width = 0.5, height = 0.5, material = "fixed", sprite = "PIVOT" }
blocks.BUBBLE = { shape = "circle", radius = 1, material = "fixed", sprite = "BUBBLE", bubble = true }
blocks.PORTAL_BLUE = { shape = "box", width = 0.8, height = 2.6, material = "fixed",
                       sprite = "PORTAL_BLUE", portal = true }
blocks.PORTAL_ORANGE = { shape = "box", width = 0.8, height = 2.6, material = "fixed",
                         sprite = "PORTAL_ORANGE", portal = true }
blocks.FAN = { shape = "box", width = 2, height = 1.2, material = "fixed", sprite = "FAN", fan = true }
-- A wooden pad held up by its jets: the engine cancels its gravity.
blocks.HOVER_PAD = { shape = "box", width = 3, height = 0.7, material = "wood", sprite = "HOVER_PAD",
                     thruster = true }

-- Density, friction, restitution, strength and defence per material; how
-- well it floats (gremlins cannot swim: they sink and drown), the points a broken piece is worth, its particles and its
-- sounds.
materials = {
    wood = { density = 1.0, friction = 0.7, restitution = 0.1, strength = 6, defence = 0.5,
             points = 500, floatability = 1.5, debris = "splinters_wood", hit = "hit_wood", breaks = "break_wood" },
    stone = { density = 2.5, friction = 0.9, restitution = 0.05, strength = 14, defence = 1.5,
              points = 800, floatability = 0.5, debris = "splinters_stone", hit = "hit_stone", breaks = "break_stone" },
    ice = { density = 0.9, friction = 0.3, restitution = 0.1, strength = 3, defence = 0.3,
            points = 400, floatability = 1.4, debris = "splinters_ice", hit = "hit_ice", breaks = "break_ice" },
    gremlin = { density = 0.8, friction = 0.6, restitution = 0.2, strength = 1.2, defence = 0.2,
                points = 5000, floatability = 0.5, debris = "gremlin_pop", hit = "gremlin_hit", breaks = "gremlin_pop" },
    armour = { density = 1.2, friction = 0.6, restitution = 0.1, strength = 4, defence = 1.2,
               points = 8000, floatability = 0.4, debris = "gremlin_pop", hit = "armour_clank", breaks = "gremlin_pop" },
    fixed = { density = 0, friction = 0.8, restitution = 0.1 },
}

-- Per bird kind: how much of the impact each material takes, and how much of
-- the bird's speed is kept when it breaks through.
local function factors(wood, stone, ice, gremlin, armour)
    return {
        damageMultiplier = { wood = wood[1], stone = stone[1], ice = ice[1], gremlin = gremlin[1],
                             armour = armour[1] },
        velocityMultiplier = { wood = wood[2], stone = stone[2], ice = ice[2],
                               gremlin = gremlin[2], armour = armour[2] },
    }
end
damageFactors = {
    quill = factors({ 1.0, 0.9 }, { 0.5, 0.6 }, { 1.2, 0.9 }, { 1.5, 1 }, { 0.8, 0.8 }),
    burr = factors({ 1.0, 0.8 }, { 0.6, 0.5 }, { 1.0, 0.8 }, { 1.5, 1 }, { 0.8, 0.8 }),
    gale = factors({ 0.8, 0.8 }, { 0.4, 0.5 }, { 1.5, 0.9 }, { 1.2, 1 }, { 0.6, 0.7 }),
    bubbler = factors({ 0.7, 0.8 }, { 0.4, 0.5 }, { 0.9, 0.8 }, { 1.2, 1 }, { 0.6, 0.7 }),
    anvil = factors({ 0.8, 0.7 }, { 1.0, 0.7 }, { 1.0, 0.9 }, { 1.5, 1 }, { 1.2, 0.9 }),
    -- The anvil once it has grown heavy: it goes through stone.
    anvil_heavy = factors({ 1.0, 0.9 }, { 2.5, 0.9 }, { 1.5, 1 }, { 2, 1 }, { 2, 1 }),
}

-- Scenery, one entry per theme; a theme with "_water" after its name adds a
-- translucent water layer that the level's water level lifts.
local function theme(name, layers, sky, ground, waterBottom, water)
    local t = {
        color = sky,
        groundColor = ground,
        waterBottomColor = waterBottom,
        bgLayers = {
            { name, layers[1], 0.1, 1, true, 0 },
            { name, layers[2], 0.3, 1, true, 0 },
            { name, layers[3], 0.6, 1, true, 0 },
        },
        fgLayers = {
            { name, layers[4], 1, 1, true, 0 },
        },
    }
    if water then
        t.fgLayers[2] = { "quill", "WATER", 1, 1, true, 0, water = true, v = 14,
                          scaleWobbleY = 0.02, tintColor = { 255, 255, 255, 150 } }
    end
    return t
end
local sceneries = {
    { "meadow", { "MEADOW_SKY", "MEADOW_HILLS", "MEADOW_BUSHES", "MEADOW_GROUND" },
      { r = 186, g = 222, b = 242 }, { r = 102, g = 70, b = 46 }, { r = 84, g = 140, b = 150 } },
    { "frost", { "FROST_SKY", "FROST_PEAKS", "FROST_DRIFTS", "FROST_GROUND" },
      { r = 122, g = 181, b = 193 }, { r = 64, g = 78, b = 100 }, { r = 70, g = 120, b = 150 } },
    { "dusk", { "DUSK_SKY", "DUSK_MESAS", "DUSK_CANYON", "DUSK_GROUND" },
      { r = 116, g = 101, b = 157 }, { r = 104, g = 52, b = 46 }, { r = 96, g = 90, b = 120 } },
}
themes = {}
for i = 1, #sceneries do
    local s = sceneries[i]
    themes[s[1]] = theme(s[1], s[2], s[3], s[4], s[5], false)
    themes[s[1] .. "_water"] = theme(s[1], s[2], s[3], s[4], s[5], true)
end
