-- A plain level player used only while scripts/play/ is absent: the one
-- level of level.lua and sling.lua behind the Play table the screens use,
-- with the world hooks the engine calls. The real level scripts replace it.

physicsToWorld = 20
deadBlocks = {}

local SHOT_TIMEOUT = 10
local SETTLE_TIME = 1.5
local BIRD_BONUS = 10000

game = { state = "idle", frame = 0, score = 0, birdIndex = 0, scale = 1, cameraX = 0,
         cameraY = 0, pullX = 0, pullY = 0, touchWasDown = false }

loadLuaFile(commonScriptPath .. "/level.lua", "")
loadLuaFile(commonScriptPath .. "/sling.lua", "")

episodes = episodes or { { id = "meadow", title = "EPISODE_MEADOW", theme = "meadow",
                           levels = { "level1" } } }
demoShots = demoShots or { level1 = { { angle = 40, power = 0.8 }, { angle = 10, power = 0.8 },
                                       { angle = 30, power = 1 } } }

Play = {}

function Play.start(name)
    res.createSpriteSheet(imagePath .. "/quill.dat")
    game.state = "loading"
    game.score = 0
    game.birdIndex = 0
    game.paused = false
    flyingBird = nil
    currentBirdName = nil
    if not buildLevel(name) then
        game.state = "broken"
        return false
    end
    setPhysicsEnabled(true)
    loadNextBird()
    game.state = "aiming"
    return true
end

local function endShot()
    if flyingBird and objects.world[flyingBird] then
        removeObject(flyingBird)
        objects.world[flyingBird] = nil
    end
    flyingBird = nil
    if countTargets() == 0 then
        game.state = "won"
    elseif not loadNextBird() then
        game.state = "lost"
    else
        game.state = "aiming"
    end
end

function Play.update(dt, inputAllowed)
    if game.paused then
        return
    end
    if game.state == "aiming" and inputAllowed then
        updateAiming()
    elseif game.state == "flying" then
        game.shotTime = game.shotTime + dt
        local bird = flyingBird and objects.world[flyingBird]
        local settled = game.shotTime > SETTLE_TIME and not hasMovingObjects
        local cleared = game.shotTime > SETTLE_TIME and countTargets() == 0
        if not bird or bird.lost or settled or cleared or game.shotTime > SHOT_TIMEOUT then
            endShot()
        end
    end
    if particles then
        particles:update(1, dt)
    end
end

function Play.draw()
    if game.state == "broken" or not game.level then
        setBGColor(120, 0, 0)
        return
    end
    drawBackgroundNative()
    drawSlingBack()
    drawGameNative()
    drawSlingFront()
    drawForegroundNative()
end

function Play.pause(on)
    game.paused = on
    setPhysicsEnabled(not on)
end

function Play.stop()
    setPhysicsEnabled(false)
    for name in pairs(objects.world or {}) do
        removeObject(name)
    end
    objects.world = {}
    game.level = nil
    game.state = "idle"
end

function Play.state()
    return game.state
end

function Play.score()
    return game.score
end

function Play.levelName()
    return game.levelName
end

function Play.birdsLeft()
    local left = {}
    local birds = game.level and game.level.birds or {}
    local from = game.state == "aiming" and game.birdIndex or game.birdIndex + 1
    for i = from, #birds do
        left[#left + 1] = birds[i]
    end
    return left
end

function Play.result()
    local left = #game.level.birds - game.birdIndex
    local won = game.state == "won"
    local bonus = won and BIRD_BONUS * left or 0
    return { won = won, score = game.score + bonus, baseScore = game.score, birdBonus = BIRD_BONUS,
             birdsLeft = won and left or 0 }
end

function Play.hint()
    return nil
end

function Play.fire(angle, power)
    if game.state == "aiming" then
        launchAtAngle(angle, power)
    end
end

function Play.useAbility() end

function Play.resolutionChanged()
    fitCamera()
end

local function showDamage(name)
    local t = objects.world[name]
    if t and t.strength and t.maxStrength and not t.cracked and t.strength < t.maxStrength / 2 then
        t.cracked = true
        setSprite(name, t.damagedSprite)
    end
end

function birdCollision(bird, other)
    showDamage(other)
end

function blockCollision(a, b)
    showDamage(a)
    showDamage(b)
end

function removeBlocks()
    for name, t in pairs(deadBlocks) do
        deadBlocks[name] = nil
        if objects.world[name] then
            game.score = game.score + (t.points or 0)
            removeObject(name)
            objects.world[name] = nil
        end
    end
end

function updateObjectProperties(name, x, y, xVel, yVel, angle, asleep, outsideLevel)
    local t = objects.world[name]
    if not t then
        return
    end
    t.x, t.y, t.angle = x, y, angle
    if outsideLevel then
        if t.isBird then
            t.lost = true
        elseif t.strength then
            deadBlocks[name] = t
        end
    end
end

function loadParticles(reload)
    particleTable = particleTable or { particles = {} }
end

local pendingJoints = {}
function destroyJointDeferred(name)
    pendingJoints[#pendingJoints + 1] = name
end

function updatePhysicsStep(dt)
    for i, name in ipairs(pendingJoints) do
        pendingJoints[i] = nil
        destroyJoint(name)
    end
end

function applyForcesAtPhysicsStep() end
function clearLuaForceFunctions() end
function playWaterSplash(isBird) end
function trappedInBubble(bird) end
function drawZOrdered(z) end
function birdTravellingThroughPortal(name) end
function objectTeleportationAborted(name) end
function objectExitingThroughPortal(name) end
function onObjectRemoved(name) end
