-- The hooks the engine calls from the physics world: collisions, removing
-- what broke, forces before each step, water, bubbles and portals. The
-- physics step is locked while it runs, so anything that makes or destroys a
-- body or a joint is queued here and done in removeBlocks, after the step.

World = World or {}

local UNIT = 20
local HIT_SOUND_DAMAGE = 1.2 -- weaker knocks are resting contacts, not hits
local HIT_SOUND_GAP = 0.12 -- seconds between two hit sounds of one piece
local DUST_DAMAGE = 2.5
local POINTS_PER_DAMAGE = 20

deadBlocks = deadBlocks or {}
local pendingJointBreaks = {}
local pendingWelds = {}
local gusts = {}

function World.reset()
    for k in pairs(deadBlocks) do
        deadBlocks[k] = nil
    end
    pendingJointBreaks = {}
    pendingWelds = {}
    gusts = {}
end

function World.queueWeld(a, b)
    pendingWelds[#pendingWelds + 1] = { a, b }
end

-- A gust: for `time` seconds every loose piece within radius is pushed away
-- from (x, y), harder near the centre.
function World.addGust(x, y, radius, force, time, source)
    gusts[#gusts + 1] = { x = x, y = y, radius = radius, force = force, time = time, source = source }
end

-- Names of the objects overlapping a box around (x, y), each once.
function World.objectsInBox(x, y, halfWidth, halfHeight)
    local found = getIntersectingObjects({ x = x, y = y, left = -halfWidth, right = halfWidth,
                                           down = -halfHeight, up = halfHeight })
    local seen, names = {}, {}
    for _, name in ipairs(found or {}) do
        if not seen[name] and objects.world[name] then
            seen[name] = true
            names[#names + 1] = name
        end
    end
    table.sort(names)
    return names
end

function World.objectsNear(x, y, radius)
    local names = {}
    for _, name in ipairs(World.objectsInBox(x, y, radius, radius)) do
        local t = objects.world[name]
        local dx, dy = t.x - x, t.y - y
        if dx * dx + dy * dy <= radius * radius then
            names[#names + 1] = name
        end
    end
    return names
end

-- The crack stage a piece shows for its remaining strength: 0 whole, then
-- one per entry of its stages list.
function World.stageFor(t)
    local n = t.stages and #t.stages or 0
    if n == 0 or not t.strength or not t.maxStrength or t.maxStrength <= 0 then
        return 0
    end
    local left = math.max(0, t.strength) / t.maxStrength
    return math.min(n, math.floor((1 - left) * (n + 1)))
end

local function showDamage(name)
    local t = objects.world[name]
    if not t or not t.stages then
        return
    end
    local stage = World.stageFor(t)
    if stage > (t.stage or 0) then
        t.stage = stage
        setSprite(name, t.stages[stage])
        Gadgets.damaged(name, t)
    end
end

local function hitSound(name, damage)
    local t = objects.world[name]
    if not t or damage < HIT_SOUND_DAMAGE then
        return
    end
    local mat = blockTable.materials[t.materialName or ""]
    if not mat or not mat.hit then
        return
    end
    local now = Play.time()
    if t.lastHitSound and now - t.lastHitSound < HIT_SOUND_GAP then
        return
    end
    t.lastHitSound = now
    Sound.play(mat.hit, t.x * UNIT, t.y * UNIT, math.min(1, 0.3 + damage / 10))
end

local function isGround(name)
    return name == "ground"
end

function birdCollision(bird, other, damage, dealt)
    Play.addScore(math.max(0, math.floor(dealt * POINTS_PER_DAMAGE)))
    showDamage(other)
    local b = objects.world[bird]
    if isGround(other) then
        if b and damage > DUST_DAMAGE then
            Effects.burst("dust", b.x, b.y + 0.4, 2)
        end
        return
    end
    hitSound(other, damage)
    Birds.onHit(bird, other)
    if b and not b.cried and damage > 1 then
        b.cried = true
        Effects.burst("feathers", b.x, b.y, 3)
    end
end

function blockCollision(a, b, damage, dealt)
    Play.addScore(math.max(0, math.floor(dealt * POINTS_PER_DAMAGE)))
    showDamage(a)
    showDamage(b)
    local ground = isGround(a) and b or isGround(b) and a or nil
    if ground then
        hitSound(ground, damage)
        local t = objects.world[ground]
        if t and damage > DUST_DAMAGE then
            Effects.burst("dust", t.x, t.y + 0.3, 2)
        end
    else
        hitSound(a, damage)
        hitSound(b, damage)
    end
end

-- A piece broke or a gremlin was defeated: points, debris and its sound.
local function breakPiece(name, t)
    local mat = blockTable.materials[t.materialName or ""] or {}
    if t.killSilently then
        -- A level bubble popped by a bird.
        Effects.burst("bubbles", t.x, t.y, 8)
        Sound.play("bubble", t.x * UNIT)
    elseif not t.floatedAway or t.isTarget then
        Play.addScore(t.points or 0)
        if mat.debris then
            Effects.burst(mat.debris, t.x, t.y, t.isTarget and 6 or 8)
        end
        if mat.breaks then
            Sound.play(mat.breaks, t.x * UNIT)
        end
        if t.isTarget then
            Play.addPopup(t.points or 0, t.x, t.y)
        end
    end
    t.gone = true
end

-- After every physics step.
function removeBlocks()
    for i = 1, #pendingWelds do
        local a, b = pendingWelds[i][1], pendingWelds[i][2]
        if objects.world[a] and objects.world[b] and not deadBlocks[b] then
            createJoint({ name = "glue_" .. a, type = 2, end1 = a, end2 = b, x1 = 0, y1 = 0, x2 = 0,
                          y2 = 0 })
            Birds.glued(a)
        end
    end
    pendingWelds = {}
    for _, name in ipairs(Level.sortedKeys(pendingJointBreaks)) do
        local j = objects.joints[name]
        if j then
            Effects.burst("dust", j.x1 or 0, j.y1 or 0, 3)
            Sound.play("break_wood", (j.x1 or 0) * UNIT)
            destroyJoint(name)
        end
    end
    pendingJointBreaks = {}
    for _, name in ipairs(Level.sortedKeys(deadBlocks)) do
        local t = deadBlocks[name]
        deadBlocks[name] = nil
        if objects.world[name] and not t.isBird then
            breakPiece(name, t)
            removeObject(name)
            objects.world[name] = nil
        end
    end
end

-- Joints that a blow was strong enough to break go after the step.
function destroyJointDeferred(name)
    pendingJointBreaks[name] = true
end

function updateObjectProperties(name, x, y, xVel, yVel, angle, asleep, outsideLevel)
    local t = objects.world[name]
    if not t then
        return
    end
    t.x, t.y, t.angle, t.xVel, t.yVel = x, y, angle, xVel, yVel
    if outsideLevel then
        if t.isBird then
            t.lost = true
        elseif t.strength or t.isTarget then
            t.floatedAway = not t.isTarget
            deadBlocks[name] = t
        end
    end
end

function applyForcesAtPhysicsStep()
    Gadgets.applyWind()
    for _, g in ipairs(gusts) do
        for _, name in ipairs(World.objectsNear(g.x, g.y, g.radius)) do
            local t = objects.world[name]
            if name ~= g.source and (t.mass or 0) > 0 then
                local dx, dy = t.x - g.x, t.y - g.y
                local d = math.max(0.3, math.sqrt(dx * dx + dy * dy))
                local f = g.force * (1 - d / (g.radius + 0.5)) * t.mass
                applyForceNative(name, dx / d * f, dy / d * f - f * 0.2, t.x, t.y)
            end
        end
    end
end

function updatePhysicsStep(dt)
    for i = #gusts, 1, -1 do
        gusts[i].time = gusts[i].time - dt
        if gusts[i].time <= 0 then
            table.remove(gusts, i)
        end
    end
end

function clearLuaForceFunctions() end

function playWaterSplash(isBird)
    Sound.play("splash", nil, nil, isBird and 1 or 0.7)
end

function trappedInBubble(bird)
    Gadgets.catchBird(bird)
end

function drawZOrdered(z) end

function birdTravellingThroughPortal(name)
    local t = objects.world[name]
    Sound.play("portal", t and t.x * UNIT)
end

function objectTeleportationAborted(name) end

function objectExitingThroughPortal(name)
    local t = objects.world[name]
    if t and not t.isBird then
        Sound.play("portal", t.x * UNIT, nil, 0.6)
    end
end

-- The engine removed an object on its own (it kept bouncing between portals).
function onObjectRemoved(name)
    local t = objects.world[name]
    if not t then
        return
    end
    if t.isBird then
        t.lost = true
    else
        breakPiece(name, t)
        objects.world[name] = nil
    end
end

local PARTICLES = { "dust", "splinters_wood", "splinters_stone", "splinters_ice", "splash",
                    "feathers", "gremlin_pop" }

function loadParticles(reload)
    if particleTable and particleTable.particles.bubbles and not reload then
        return
    end
    particleTable = { particles = {} }
    for _, name in ipairs(PARTICLES) do
        loadedParticle = nil
        loadLuaFile(scriptPath .. "/particles/" .. name .. ".lua", "loadedParticle")
        particleTable.particles[name] = loadedParticle
    end
    loadedParticle = nil
    local p = particleTable.particles
    -- The engine's water pass asks for these two by name.
    p.waterSplash = p.splash
    p.waterSplashUp = p.splash
    p.bubbles = { sprites = { "BUBBLE_SMALL" }, lifeTime = 1.4, gravityY = -60,
                  emitter_circle = { minVel = 10, maxVel = 50, minAngleEmitter = 0,
                                     maxAngleEmitter = 360 },
                  minAngleVel = 0, maxAngleVel = 0, minScaleBegin = 0.6, maxScaleBegin = 1.2,
                  minScaleEnd = 0.8, maxScaleEnd = 1.4 }
    p.jets = { sprites = { "FLAME" }, lifeTime = 0.25, gravityY = 200,
               emitter_circle = { minVel = 20, maxVel = 40, minAngleEmitter = 80,
                                  maxAngleEmitter = 100 },
               minAngleVel = 0, maxAngleVel = 0, minScaleBegin = 0.8, maxScaleBegin = 1,
               minScaleEnd = 0.2, maxScaleEnd = 0.3 }
end
