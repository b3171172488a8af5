-- Building a level: the level table becomes game objects, the camera frames
-- the level, and the scenery follows the level's theme.

local UNIT = 20 -- pixels per world unit at zoom 1
local ROLL_DAMPING = 8

-- Sorted keys, so that objects are made in the same order on every run.
local function sortedKeys(t)
    local keys = {}
    for k in pairs(t) do
        keys[#keys + 1] = k
    end
    table.sort(keys)
    return keys
end

local function createPiece(name, entry)
    local def = blockTable.blocks[entry.definition]
    if not def then
        native.logWarning("Unknown block definition " .. tostring(entry.definition))
        return
    end
    local mat = blockTable.materials[def.material]
    local z = def.target and 6 or 5
    if def.shape == "circle" then
        createCircle(name, def.sprite, entry.x, entry.y, def.radius, mat.density, mat.friction,
            mat.restitution, false, z)
        setAngularDamping(name, ROLL_DAMPING) -- else it rolls on flat ground for ever
    else
        createBox(name, def.sprite, entry.x, entry.y, def.width, def.height, mat.density,
            mat.friction, mat.restitution, true, false, z)
    end
    if (entry.angle or 0) ~= 0 then
        setRotation(name, entry.angle)
    end
    local t = objects.world[name]
    t.definition = entry.definition
    t.materialName = def.material
    t.strength = mat.strength
    t.maxStrength = mat.strength
    t.defence = mat.defence
    t.points = mat.points
    t.debris = mat.debris
    t.isTarget = def.target == true
    t.damagedSprite = def.hurtSprite or (def.sprite .. "_CRACKED")
end

-- The ground is one wide static box whose top is at y = 0.
local function createGround(bounds)
    local width = (bounds.right - bounds.left) + 60
    createBox("ground", "", (bounds.left + bounds.right) / 2, 2, width, 4, 0, 0.9, 0, true, false, 0)
    setColliderType("ground", 2)
end

-- Zoom so the level's bounds fill the screen, ground at the bottom edge.
function fitCamera()
    local level = game.level
    if not level then
        return
    end
    local b = level.bounds
    local w = g_updatedScreenWidth or screenWidth
    local h = g_updatedScreenHeight or screenHeight
    local widthPx = (b.right - b.left) * UNIT
    local heightPx = (b.bottom - b.top) * UNIT
    local scale = math.min(w / widthPx, h / heightPx)
    minWorldScale = scale
    setWorldScale(scale)
    game.scale = scale
    game.cameraX = b.left * UNIT - (w / scale - widthPx) / 2
    game.cameraY = b.bottom * UNIT - h / scale
    setCameraViewport(game.cameraX, game.cameraY, 0, 0)
end

-- Screen pixels to world units.
function screenToWorld(x, y)
    return (x / game.scale + game.cameraX) / UNIT, (y / game.scale + game.cameraY) / UNIT
end

-- World units to screen pixels.
function worldToScreen(x, y)
    return (x * UNIT - game.cameraX) * game.scale, (y * UNIT - game.cameraY) * game.scale
end

-- Loads the sealed level file and makes its objects. False when it failed.
function buildLevel(name)
    for k in pairs(deadBlocks) do
        deadBlocks[k] = nil
    end
    objects.world = {}
    objects.joints = {}
    loadedObjects = nil
    loadLevel("/levels/" .. name, "")
    local level = loadedObjects
    if type(level) ~= "table" or type(level.world) ~= "table" then
        native.logError("Level " .. name .. " could not be loaded")
        return false
    end
    game.level = level
    game.levelName = name
    physicsToWorld = level.physicsToWorld or UNIT
    objects.theme = level.theme
    objects.physicsToWorld = physicsToWorld
    setTheme(level.theme)
    for i, cloud in ipairs(blockTable.themes[level.theme].clouds or {}) do
        createThemeSprite("cloud" .. i, "CLOUD", cloud.x, cloud.y, cloud.speed, cloud.scale,
            cloud.scale, 0, 0)
    end
    -- Sink the grass strip a little so blocks stand in it, not on its edge.
    setThemeForegroundOffsetY(0, 12)
    createGround(level.bounds)
    setLevelLimits(level.bounds.left - 10, 0, level.bounds.right + 10, 0)
    for _, key in ipairs(sortedKeys(level.world)) do
        createPiece(key, level.world[key])
    end
    fitCamera()
    return true
end

-- Number of targets still standing.
function countTargets()
    local n = 0
    for _, t in pairs(objects.world) do
        if type(t) == "table" and t.isTarget then
            n = n + 1
        end
    end
    return n
end
