-- Levels: checking a level table, and turning it into game objects, joints,
-- water and scenery. Positions are in world units (20 pixels each at zoom 1);
-- y grows downwards and the ground's top is at y = 0.

Level = Level or {}

local UNIT = 20
local ROLL_DAMPING = 3
local Z_PIECE, Z_TARGET, Z_GADGET = 5, 6, 4

-- Sorted keys, so that objects are made in the same order on every run.
function Level.sortedKeys(t)
    local keys = {}
    for k in pairs(t) do
        keys[#keys + 1] = k
    end
    table.sort(keys, function(a, b)
        return tostring(a) < tostring(b)
    end)
    return keys
end

local function isNumber(v)
    return type(v) == "number" and v == v and v ~= math.huge and v ~= -math.huge
end

-- Finds what is wrong with a level table: nil when it can be played, else a
-- message. catalogue is the block table (blocks, themes), birdKinds the known
-- bird kinds by name.
function Level.check(level, fileName, catalogue, birdKinds)
    if type(level) ~= "table" then
        return "it could not be read"
    end
    if fileName and level.filename ~= fileName then
        return "its filename is " .. tostring(level.filename) .. ", not " .. fileName
    end
    local b = level.bounds
    if type(b) ~= "table" or not (isNumber(b.left) and isNumber(b.right) and isNumber(b.top)
        and isNumber(b.bottom)) then
        return "bounds need the numbers left, right, top and bottom"
    end
    -- The camera divides by the size of the bounds.
    if b.right - b.left < 4 or b.bottom - b.top < 4 then
        return "its bounds are smaller than 4 by 4 units"
    end
    local themeName = level.theme
    if type(themeName) ~= "string" then
        return "it names no theme"
    end
    if type(level.water) == "table" then
        themeName = themeName .. "_water"
        if not isNumber(level.water.waterLevel) or level.water.waterLevel <= 0 then
            return "its water needs a positive waterLevel"
        end
    end
    if not (catalogue.themes and catalogue.themes[themeName]) then
        return "its theme " .. themeName .. " does not exist"
    end
    local s = level.slingshot
    if type(s) ~= "table" or not isNumber(s.x) or not isNumber(s.y) or s.x < b.left or
        s.x > b.right then
        return "its slingshot must be a point inside its bounds"
    end
    if type(level.birds) ~= "table" or #level.birds == 0 then
        return "it has no birds"
    end
    for i, kind in ipairs(level.birds) do
        if not birdKinds[kind] then
            return "bird " .. i .. " is of the unknown kind " .. tostring(kind)
        end
    end
    if type(level.world) ~= "table" then
        return "it has no world table"
    end
    local targets = 0
    for _, name in ipairs(Level.sortedKeys(level.world)) do
        local entry = level.world[name]
        if type(name) ~= "string" or type(entry) ~= "table" then
            return "its world holds an entry that is not a named table"
        end
        local def = catalogue.blocks[entry.definition]
        if not def then
            return name .. " has the unknown definition " .. tostring(entry.definition)
        end
        if not isNumber(entry.x) or not isNumber(entry.y) then
            return name .. " has no position"
        end
        if entry.x < b.left or entry.x > b.right then
            return name .. " stands outside the bounds"
        end
        if def.target then
            targets = targets + 1
        end
        -- A portal with a target is an entrance; one without is only a way out.
        if def.portal and entry.target ~= nil then
            local target = level.world[entry.target]
            if type(target) ~= "table" or not catalogue.blocks[target.definition] or
                not catalogue.blocks[target.definition].portal then
                return name .. " leads to no portal"
            end
        end
    end
    -- A level without gremlins would be won before the first shot.
    if targets == 0 then
        return "it has no gremlins"
    end
    for _, name in ipairs(Level.sortedKeys(level.joints or {})) do
        local j = level.joints[name]
        if type(j) ~= "table" or not level.world[j.end1] or not level.world[j.end2] then
            return "joint " .. tostring(name) .. " does not join two objects of the level"
        end
        if j.type ~= 1 and j.type ~= 2 and j.type ~= 3 and j.type ~= 4 then
            return "joint " .. name .. " has the unknown type " .. tostring(j.type)
        end
    end
    return nil
end

local function createPiece(name, entry)
    local def = blockTable.blocks[entry.definition]
    local mat = blockTable.materials[def.material]
    local z = def.target and Z_TARGET or (mat.density == 0 and Z_GADGET or Z_PIECE)
    local density = entry.static and 0 or mat.density
    if def.shape == "circle" then
        createCircle(name, def.sprite, entry.x, entry.y, def.radius, density, mat.friction,
            mat.restitution, false, z)
        -- A ball on flat ground rolls for ever; damping the spin lets it rest.
        if density > 0 then
            setAngularDamping(name, ROLL_DAMPING)
        end
    else
        createBox(name, def.sprite, entry.x, entry.y, def.width, def.height, density,
            mat.friction, mat.restitution, true, false, z)
    end
    if (entry.angle or 0) ~= 0 then
        setRotation(name, entry.angle)
    end
    local t = objects.world[name]
    t.definition = entry.definition
    t.materialName = def.material
    if mat.strength then
        t.strength = mat.strength * (entry.toughness or 1)
        t.maxStrength = t.strength
        t.defence = mat.defence
    end
    t.points = mat.points
    t.floatability = mat.floatability
    t.isTarget = def.target == true
    t.stages = def.stages
    t.stage = 0
    if def.target then
        setColliderType(name, 4) -- gremlins drown in deep water
        -- A gremlin fallen on its side is still there: only blows count.
        t.ignoreGroundDamage = false
    end
    if def.rollingSound then
        setRollingSound(name, def.rollingSound)
    end
    Gadgets.setUp(name, t, def, entry)
end

-- The ground is one wide static box whose top is at y = 0.
local function createGround(bounds)
    local width = (bounds.right - bounds.left) + 60
    createBox("ground", "", (bounds.left + bounds.right) / 2, 2, width, 4, 0, 0.9, 0, true, false, 0)
    setColliderType("ground", 2)
end

local function createJoints(level)
    for _, name in ipairs(Level.sortedKeys(level.joints or {})) do
        local j = level.joints[name]
        local desc = {}
        for k, v in pairs(j) do
            desc[k] = v
        end
        desc.name = name
        createJoint(desc)
        if objects.joints[name] then
            objects.joints[name].style = j.style
        end
    end
end

-- Loads the sealed level file and makes its objects. Returns the level table,
-- or nil and a message when the level is bad.
function Level.build(name)
    objects.world = {}
    objects.joints = {}
    objects.water = nil
    objects.waterLevel = nil
    loadedObjects = nil
    loadLevel("/levels/" .. name, "")
    local level = loadedObjects
    local problem = Level.check(level, name .. ".lua", blockTable, Birds.kinds)
    if problem then
        return nil, problem
    end
    return Level.buildFrom(level)
end

-- Makes the objects, joints, water and scenery of a level table into an
-- empty world, unchecked (the level editor builds unfinished levels too).
-- Returns the level.
function Level.buildFrom(level)
    physicsToWorld = 20
    objects.theme = level.theme
    objects.physicsToWorld = physicsToWorld
    local themeName = level.theme
    if level.water then
        themeName = themeName .. "_water"
        objects.water = { waterLevel = level.water.waterLevel }
        waterMaxBuoyancyDepth = level.water.depth or 1.5
    end
    -- One theme unit is one world unit, so the water layer rises to the
    -- water level the engine's buoyancy uses.
    setPhysicsSimulationScale(UNIT)
    setTheme(themeName)
    Scenery.setUp(level.theme, level.bounds, level.tint)
    -- Sink the ground strip a little so blocks stand in it, not on its edge.
    setThemeForegroundOffsetY(0, 12)
    createGround(level.bounds)
    setLevelLimits(level.bounds.left - 10, 0, level.bounds.right + 10, 0)
    for _, key in ipairs(Level.sortedKeys(level.world)) do
        createPiece(key, level.world[key])
    end
    createJoints(level)
    return level
end

-- Number of gremlins still standing.
function Level.countTargets()
    local n = 0
    for _, t in pairs(objects.world) do
        if type(t) == "table" and t.isTarget and not t.gone then
            n = n + 1
        end
    end
    return n
end
