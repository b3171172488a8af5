-- The game's rules and flow: one level straight from the start, three birds,
-- win when every gremlin is gone, lose when the birds run out. The engine
-- calls the functions below by name.

physicsToWorld = 20
deadBlocks = {}
g_safeToQuit = true

local SHOT_TIMEOUT = 10 -- seconds before a shot ends regardless
local SETTLE_TIME = 1.5 -- seconds a shot lasts at least
local BIRD_BONUS = 10000

game = { state = "loading", frame = 0, score = 0, birdIndex = 0, scale = 1, cameraX = 0,
         cameraY = 0, pullX = 0, pullY = 0, touchWasDown = false }

loadLuaFile(commonScriptPath .. "/level.lua", "")
loadLuaFile(commonScriptPath .. "/sling.lua", "")

-- Unattended play for tests and demos: QUILLFIRE_AUTOSHOT holds shots
-- "angle,power,frame" separated by ";". Each one launches the bird in the sling
-- once that bird is ready and the frame count has reached its frame.
local function readAutoShots()
    local text = os.getenv("QUILLFIRE_AUTOSHOT")
    if not text or text == "" then
        return nil
    end
    local shots = {}
    for item in string.gmatch(text, "[^;]+") do
        local angle, power, frame = string.match(item, "^%s*([%d%.%-]+),([%d%.]+),(%d+)%s*$")
        if not tonumber(angle) or not tonumber(power) then
            native.logWarning("Ignoring QUILLFIRE_AUTOSHOT=" .. text ..
                " (want angle,power,frame;angle,power,frame...)")
            return nil
        end
        shots[#shots + 1] = { angle = tonumber(angle), power = tonumber(power),
                              atFrame = tonumber(frame) }
    end
    return { shots = shots, next = 1 }
end

-- The unattended shot due now, or nil.
local function dueAutoShot()
    local shot = autoShot and autoShot.shots[autoShot.next]
    if shot and game.frame >= shot.atFrame then
        autoShot.next = autoShot.next + 1
        return shot
    end
    return nil
end

function updateValues()
    if type(settings) == "table" then
        if type(settings.audioEnabled) ~= "boolean" then
            settings.audioEnabled = true
        end
        if type(settings.volume) ~= "number" then
            settings.volume = 1
        end
    end
    if autoShot == nil then
        autoShot = readAutoShots() or false
    end
end

function createStartUpAssets()
    res.createSpriteSheet(imagePath .. "/quill.dat")
    startLevel("level1")
end

function startLevel(name)
    game.state = "loading"
    game.score = 0
    game.birdIndex = 0
    game.endTime = 0
    flyingBird = nil
    currentBirdName = nil
    if not buildLevel(name) then
        game.state = "broken"
        return
    end
    setPhysicsEnabled(true)
    loadNextBird()
    game.state = "aiming"
end

-- The shot is over: the bird leaves, then the next one comes or the level ends.
local function endShot()
    if flyingBird and objects.world[flyingBird] then
        removeObject(flyingBird)
        objects.world[flyingBird] = nil
    end
    flyingBird = nil
    if countTargets() == 0 then
        finishLevel(true)
    elseif not loadNextBird() then
        finishLevel(false)
    else
        game.state = "aiming"
    end
end

function finishLevel(won)
    game.state = won and "won" or "lost"
    game.endTime = 0
    if not won then
        native.logWarning(string.format("Level lost: %d targets left", countTargets()))
        return
    end
    game.score = game.score + BIRD_BONUS * (#game.level.birds - game.birdIndex)
    game.stars = 0
    local limits = starTable and starTable[game.levelName]
    for _, limit in ipairs(limits or {}) do
        if game.score >= limit then
            game.stars = game.stars + 1
        end
    end
    if type(highscores) == "table" and (highscores[game.levelName] or 0) < game.score then
        highscores[game.levelName] = game.score
        saveLuaFile("highscores.lua", "highscores", true)
    end
    native.logWarning(string.format("Level won: score %d, stars %d", game.score, game.stars))
end

local function updateFlight(dt)
    game.shotTime = game.shotTime + dt
    local bird = flyingBird and objects.world[flyingBird]
    local settled = game.shotTime > SETTLE_TIME and not hasMovingObjects
    local cleared = game.shotTime > SETTLE_TIME and countTargets() == 0
    if not bird or bird.lost or settled or cleared or game.shotTime > SHOT_TIMEOUT then
        endShot()
    end
end

local function wantsRestart()
    if type(keyPressed) == "table" and keyPressed.R then
        return true
    end
    return (game.state == "won" or game.state == "lost") and game.endTime > 1 and
        (touchcount or 0) > 0
end

function update(dt)
    game.frame = game.frame + 1
    if wantsRestart() then
        startLevel(game.levelName or "level1")
    end
    if game.state == "aiming" then
        local shot = dueAutoShot()
        if shot then
            launchAtAngle(shot.angle, shot.power)
        else
            updateAiming()
        end
    elseif game.state == "flying" then
        updateFlight(dt)
    else
        game.endTime = (game.endTime or 0) + dt
    end
    if particles then
        particles:update(1, dt)
    end
    g_sling_scope_animation = (g_sling_scope_animation or 0) + dt
    drawFrame()
end

-- A banner across the screen and, after a win, one star per limit reached.
local function drawBanner()
    local w = g_updatedScreenWidth or screenWidth
    local h = g_updatedScreenHeight or screenHeight
    local top, bottom = h * 0.3, h * 0.55
    if game.state == "won" then
        drawRect(0.95, 0.78, 0.2, 0.85, 0, top, w, bottom, false)
        setRenderState(0, 0, 1.5, 1.5, 0, 0, 0, 1)
        for i = 1, 3 do
            local sprite = i <= (game.stars or 0) and "STAR" or "STAR_EMPTY"
            res.drawSprite(sprite, (w / 2 + (i - 2) * 48) / 1.5, (top + bottom) / 2 / 1.5)
        end
    else
        drawRect(0.8, 0.2, 0.15, 0.85, 0, top, w, bottom, false)
        drawRect(0.3, 0.05, 0.05, 0.85, w * 0.4, (top + bottom) / 2 - 6, w * 0.6,
            (top + bottom) / 2 + 6, false)
    end
end

function drawFrame()
    if game.state == "broken" then
        setBGColor(120, 0, 0)
        return
    end
    drawBackgroundNative()
    drawSlingBack()
    drawGameNative()
    drawSlingFront()
    drawForegroundNative()
    if game.state == "won" or game.state == "lost" then
        drawBanner()
    end
end

-- Collisions: pieces show cracks at half strength.
local function showDamage(name)
    local t = objects.world[name]
    if t and t.strength and t.maxStrength and not t.cracked and t.strength < t.maxStrength / 2 then
        t.cracked = true
        setSprite(name, t.damagedSprite)
    end
end

function birdCollision(bird, other, damage, dealt)
    showDamage(other)
end

function blockCollision(a, b, damage, dealt)
    showDamage(a)
    showDamage(b)
end

-- Broken pieces leave the world after every physics step.
function removeBlocks()
    for name, t in pairs(deadBlocks) do
        deadBlocks[name] = nil
        if objects.world[name] then
            game.score = game.score + (t.points or 0)
            if particles and t.debris then
                particles:add(1, t.debris, 6, t.x * physicsToWorld, t.y * physicsToWorld, 16, 16, 0,
                    false)
            end
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
    if particleTable and not reload then
        return
    end
    local function debris(sprite)
        return { sprites = { sprite }, lifeTime = 0.9, gravityY = 400,
                 emitter_circle = { minVel = 60, maxVel = 160, minAngleEmitter = 200,
                                    maxAngleEmitter = 340 },
                 minAngleVel = -6, maxAngleVel = 6, minScaleBegin = 1, maxScaleBegin = 1.4,
                 minScaleEnd = 0.4, maxScaleEnd = 0.6 }
    end
    particleTable = { particles = { woodDebris = debris("DEBRIS_WOOD"),
                                    stoneDebris = debris("DEBRIS_STONE"),
                                    feathers = debris("FEATHER") } }
end

function destroyJointDeferred(name)
    destroyJoint(name)
end

function resolutionChanged(width, height)
    fitCamera()
end

function gamePaused()
    game.paused = true
end

function gameResumed()
    game.paused = false
end

function calculatePlaytime()
    if type(bi_data) == "table" then
        bi_data.playSeconds = (bi_data.playSeconds or 0) + getGameTimer()
    end
end

-- Hooks this game has no use for.
function applyForcesAtPhysicsStep() end
function updatePhysicsStep(dt) end
function clearLuaForceFunctions() end
function playWaterSplash(isBird) end
function trappedInBubble(bird) end
function drawZOrdered(z) end
function latestVersionNumberReceived(version, text) end
function updateAvailable(available) end
function nativecallback_urlResponse(url, response) end
function birdTravellingThroughPortal(name) end
function objectTeleportationAborted(name) end
function objectExitingThroughPortal(name) end
function onObjectRemoved(name) end
function notifyEventManager(event, data) end
