-- Particles in the world layer and the scenery of each theme.

Effects = Effects or {}
Scenery = Scenery or {}

local UNIT = 20

-- count particles of a definition at (x, y) in world units.
function Effects.burst(definition, x, y, count)
    if particles and x and y then
        particles:add(particles.WORLD, definition, count, x * UNIT, y * UNIT, 12, 12, 0, false)
    end
end

function Effects.gust(x, y)
    Effects.burst("dust", x, y, 10)
    Play.addRing(x, y)
end

-- Flames under a hovering pad, a few a second.
function Effects.jets(name, t, dt)
    t.jetTimer = (t.jetTimer or 0) - dt
    if t.jetTimer <= 0 then
        t.jetTimer = 0.08
        local c, s = math.cos(t.angle or 0), math.sin(t.angle or 0)
        for _, side in ipairs({ -1, 1 }) do
            local lx, ly = side * 1.1, 0.55
            Effects.burst("jets", t.x + lx * c - ly * s, t.y + lx * s + ly * c, 1)
        end
    end
end

-- Drifting and still sprites on the far layer, and decor standing on the
-- near one, per theme: { sprite, x, y, speed, scale, layer }, in pixels.
local SCENERY = {
    meadow = {
        { "MEADOW_SUN", 520, -330, 0, 1, 0 },
        { "MEADOW_CLOUD_LARGE", 120, -300, -6, 1, 0 },
        { "MEADOW_CLOUD_SMALL", 420, -250, -4, 0.8, 0 },
        { "MEADOW_CLOUD_WISP", 700, -200, -9, 1, 0 },
        { "MEADOW_FLOCK", 300, -340, -14, 1, 0 },
        { "MEADOW_SEEDS", 260, -60, -10, 1, 2 },
        { "MEADOW_TREE", 40, 0, 0, 1, 2 },
        { "MEADOW_BUSH", 380, 0, 0, 1, 2 },
    },
    frost = {
        { "FROST_MOON", 520, -330, 0, 1, 0 },
        { "FROST_CLOUD_LARGE", 160, -290, -5, 1, 0 },
        { "FROST_CLOUD_SMALL", 460, -240, -3, 0.8, 0 },
        { "FROST_MIST", 300, -150, -8, 1, 0 },
        { "FROST_FLOCK", 600, -330, -12, 1, 0 },
        { "FROST_SNOW", 200, -200, -16, 1, 0 },
        { "FROST_SNOW", 500, -90, -22, 0.8, 2 },
        { "FROST_PINE", 30, 0, 0, 1, 2 },
        { "FROST_CRYSTALS", 420, 0, 0, 1, 2 },
    },
    dusk = {
        { "DUSK_SUN", 480, -170, 0, 1, 0 },
        { "DUSK_CLOUD_LONG", 150, -300, -5, 1, 0 },
        { "DUSK_CLOUD_SMALL", 520, -250, -3, 1, 0 },
        { "DUSK_FLOCK", 320, -330, -12, 1, 0 },
        { "DUSK_DUST", 200, -20, -20, 1, 2 },
        { "DUSK_CACTUS", 40, 0, 0, 1, 2 },
        { "DUSK_HOODOO", 250, 0, 0, 1, 2 },
    },
}

-- Night falls over the later levels of a theme: a tint per level, if any.
function Scenery.setUp(theme, bounds, tint)
    for i, s in ipairs(SCENERY[theme] or {}) do
        -- Theme units are world units (20 pixels).
        createThemeSprite("scenery" .. i, s[1], s[2] / UNIT, s[3] / UNIT, s[4] / UNIT, s[5], s[5], 0,
            s[6])
    end
    if tint then
        setThemeTintColour(tint.r, tint.g, tint.b)
    end
end

local loadedSheets = {}

-- The sprite sheets of the levels: the common one and every theme's.
function Scenery.loadSheets()
    local gfx = isHDVersion and imagePath .. "/hd" or imagePath
    for _, sheet in ipairs({ "quill", "meadow", "frost", "dusk" }) do
        if not loadedSheets[sheet] then
            res.createSpriteSheet(gfx .. "/" .. sheet .. ".dat")
            loadedSheets[sheet] = true
        end
    end
end
