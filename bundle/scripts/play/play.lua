-- The game inside a level: the Play table that the game's flow drives, the
-- camera, and the rules of a shot. Loading this file loads the rest of the
-- level code.

Play = Play or {}
Camera = Camera or {}

local here = commonScriptPath
loadLuaFile(here .. "/sound.lua", "")
loadLuaFile(here .. "/level.lua", "")
loadLuaFile(here .. "/sling.lua", "")
loadLuaFile(here .. "/play/birds.lua", "")
loadLuaFile(here .. "/play/gadgets.lua", "")
loadLuaFile(here .. "/play/effects.lua", "")
loadLuaFile(here .. "/play/world.lua", "")

physicsToWorld = 20
-- Wheel zoom is the camera's own, not the engine's.
g_disableWheelZooming = true

local UNIT = 20
local SHOT_TIMEOUT = 12 -- seconds before a shot ends regardless
local SETTLE_TIME = 1.5 -- seconds a shot lasts at least
local CLEARED_WAIT = 1.0 -- seconds to wait after the last gremlin before the win
local BIRD_BONUS = 10000
local FLIGHT_ZOOM = 1.35 -- the camera closes in on a flying bird this much
local MAX_ZOOM = 3
local CAMERA_SPEED = 3

local run = { state = "none", score = 0, time = 0 }

function Play.time()
    return run.time
end

function Play.level()
    return run.level
end

function Play.addScore(points)
    if run.state == "flying" or run.state == "aiming" then
        run.score = run.score + points
    end
end

-- Points rising from a defeated gremlin, and rings where a gust blew.
local popups = {}
function Play.addPopup(points, x, y)
    popups[#popups + 1] = { x = x, y = y, time = 0, kind = "star" }
end

function Play.addRing(x, y)
    popups[#popups + 1] = { x = x, y = y, time = 0, kind = "ring" }
end

-- Camera ---------------------------------------------------------------------

local cam = { x = 0, y = 0, scale = 1, zoom = 1 }

local function screenSize()
    return g_updatedScreenWidth or screenWidth or 640, g_updatedScreenHeight or screenHeight or 480
end

-- The scale at which the level's bounds fill the screen.
local function homeScale()
    local b = run.level.bounds
    local w, h = screenSize()
    return math.min(w / ((b.right - b.left) * UNIT), h / ((b.bottom - b.top) * UNIT))
end

-- Camera position (top-left, world pixels) that shows (cx, cy) in world
-- units at scale, kept inside the level and the ground at or below the bottom.
local function placed(cx, cy, scale)
    local b = run.level.bounds
    local w, h = screenSize()
    local viewW, viewH = w / scale, h / scale
    local left, right = b.left * UNIT, b.right * UNIT
    local x
    if right - left <= viewW then
        x = (left + right) / 2 - viewW / 2
    else
        x = math.max(left, math.min(right - viewW, cx * UNIT - viewW / 2))
    end
    local bottom = b.bottom * UNIT
    local y = math.min(bottom - viewH, cy * UNIT - viewH * 0.55)
    y = math.max(b.top * UNIT - viewH * 0.2, y)
    return x, y
end

-- Where the camera wants to be now.
local function cameraTarget()
    local base = homeScale()
    local bird = run.flying and objects.world[run.flying]
    if bird and bird.shot then
        local scale = base * math.max(cam.zoom, FLIGHT_ZOOM)
        local x, y = placed(bird.x, bird.y, scale)
        return x, y, scale
    end
    local b = run.level.bounds
    local scale = base * cam.zoom
    -- Zoomed in while aiming, the sling stays in view.
    local cx = cam.zoom > 1 and run.level.slingshot.x + (b.right - b.left) / (2 * cam.zoom) - 2 or
        (b.left + b.right) / 2
    local x, y = placed(cx, b.bottom, scale)
    return x, y, scale
end

local function applyCamera()
    setWorldScale(cam.scale)
    setCameraViewport(cam.x, cam.y, 0, 0)
end

function Camera.snap()
    minWorldScale = homeScale()
    cam.x, cam.y, cam.scale = cameraTarget()
    applyCamera()
end

function Camera.update(dt, inputAllowed)
    if inputAllowed and type(cursor) == "table" and cursor.wheelTriggered and cursor.wheel then
        cam.zoom = math.max(1, math.min(MAX_ZOOM, cam.zoom * (1 + 0.15 * cursor.wheel)))
        cursor.wheelTriggered = false
    end
    local x, y, scale = cameraTarget()
    local k = math.min(1, dt * CAMERA_SPEED)
    cam.x = cam.x + (x - cam.x) * k
    cam.y = cam.y + (y - cam.y) * k
    cam.scale = cam.scale + (scale - cam.scale) * k
    minWorldScale = homeScale()
    applyCamera()
end

-- What a reload of the scripts keeps of the view: the player's zoom and
-- where the camera stands, so an edit is seen from the same place.
function Camera.state()
    return { x = cam.x, y = cam.y, scale = cam.scale, zoom = cam.zoom }
end

function Camera.restore(state)
    if type(state) ~= "table" or not run.level then
        return
    end
    cam.x, cam.y = state.x or cam.x, state.y or cam.y
    cam.scale, cam.zoom = state.scale or cam.scale, state.zoom or cam.zoom
    applyCamera()
end

function Camera.scale()
    return cam.scale
end

function Camera.screenToWorld(x, y)
    return (x / cam.scale + cam.x) / UNIT, (y / cam.scale + cam.y) / UNIT
end

function Camera.worldToScreen(x, y)
    return (x * UNIT - cam.x) * cam.scale, (y * UNIT - cam.y) * cam.scale
end

-- The transform for drawing in world pixels.
function Camera.apply()
    setRenderState(-cam.x, -cam.y, cam.scale, cam.scale, 0, 0, 0, 1)
end

-- Where the ears are, for Sound.play: the middle of the view and half its width.
Sound.listener = function()
    local w = screenSize()
    return cam.x + w / cam.scale / 2, w / cam.scale / 2
end

-- Birds in the sling ---------------------------------------------------------

local function loadNextBird()
    run.birdIndex = run.birdIndex + 1
    local kind = run.level.birds[run.birdIndex]
    if not kind then
        run.current = nil
        return false
    end
    run.current = "bird" .. run.birdIndex
    local s = run.level.slingshot
    Birds.create(run.current, kind, s.x, s.y)
    Sling.reset()
    run.aimTime = 0
    return true
end

local function finish(won)
    run.state = won and "won" or "lost"
    run.birdsLeft = won and (#run.level.birds - run.birdIndex) or 0
    if run.current and objects.world[run.current] then
        removeObject(run.current)
        objects.world[run.current] = nil
    end
    run.current = nil
    run.baseScore = run.score
    run.finalScore = run.score + BIRD_BONUS * run.birdsLeft
    Gadgets.setHum(false)
end

-- The shot is over: the bird leaves, then the next one comes or the level ends.
local function endShot()
    local name = run.flying
    if name and objects.world[name] then
        Effects.burst("feathers", objects.world[name].x, objects.world[name].y, 4)
        removeObject(name)
        objects.world[name] = nil
    end
    run.flying = nil
    flyingBird = nil
    if Level.countTargets() == 0 then
        finish(true)
    elseif not loadNextBird() then
        finish(false)
    else
        run.state = "aiming"
    end
end

local function updateFlight(dt)
    run.shotTime = run.shotTime + dt
    local bird = run.flying and objects.world[run.flying]
    if Level.countTargets() == 0 then
        run.clearedTime = (run.clearedTime or 0) + dt
    end
    local settled = run.shotTime > SETTLE_TIME and not hasMovingObjects
    local cleared = (run.clearedTime or 0) > CLEARED_WAIT
    if not bird or bird.lost or settled or cleared or run.shotTime > SHOT_TIMEOUT then
        endShot()
    end
end

-- A fresh press of the mouse or Space while flying triggers the ability.
local function wantsAbility(inputAllowed)
    if not inputAllowed then
        run.pressWasDown = true
        return false
    end
    local down = Sling.firstTouch() ~= nil
    local fresh = down and not run.pressWasDown
    run.pressWasDown = down
    return fresh or (type(keyPressed) == "table" and keyPressed.SPACE == true)
end

-- The API ----------------------------------------------------------------------

function Play.start(levelName)
    Play.stop()
    World.reset()
    popups = {}
    run = { state = "broken", score = 0, time = 0, birdIndex = 0, name = levelName }
    Scenery.loadSheets()
    Sound.load()
    local ok, level, problem = pcall(function()
        local l, p = Level.build(levelName)
        return l, p
    end)
    if not ok then
        problem = tostring(level)
        level = nil
    end
    if not level then
        native.logError("Level " .. tostring(levelName) .. " is bad: " .. tostring(problem))
        setPhysicsEnabled(false)
        return false
    end
    run.level = level
    cam.zoom = 1
    loadNextBird()
    Camera.snap()
    timeSinceLevelStart = 0
    setPhysicsEnabled(true)
    run.state = "aiming"
    run.aimTime = 0
    return true
end

function Play.stop()
    Gadgets.setHum(false)
    if run.state ~= "none" then
        setPhysicsEnabled(false)
        for _, name in ipairs(Level.sortedKeys(objects.world or {})) do
            removeObject(name)
        end
        objects.world = {}
        objects.joints = {}
        objects.water = nil
        World.reset()
        if particles then
            particles:update(particles.WORLD, 10) -- lets every particle of the level expire
        end
    end
    run.flying = nil
    flyingBird = nil
    run.current = nil
    run.state = "none"
end

function Play.pause(on)
    run.paused = on and true or false
    if run.state ~= "none" and run.state ~= "broken" then
        setPhysicsEnabled(not run.paused)
    end
    if run.paused then
        Gadgets.setHum(false)
    end
end

function Play.fire(angle, power)
    if run.state ~= "aiming" or not run.current or run.paused then
        return false
    end
    Sling.launch(run.current, angle, power)
    run.flying = run.current
    flyingBird = run.current
    run.current = nil
    run.state = "flying"
    run.shotTime = 0
    run.clearedTime = nil
    run.pressWasDown = true
    return true
end

function Play.useAbility()
    if run.state ~= "flying" or not run.flying or run.paused then
        return false
    end
    return Birds.useAbility(run.flying)
end

function Play.update(dt, inputAllowed)
    if run.state == "none" or run.state == "broken" or run.paused then
        return
    end
    run.time = run.time + dt
    timeSinceLevelStart = run.time
    g_sling_scope_animation = (g_sling_scope_animation or 0) + dt
    if run.state == "aiming" then
        run.aimTime = run.aimTime + dt
        local angle, power = Sling.updateAiming(run.current, dt, inputAllowed)
        if angle then
            Play.fire(angle, power)
        end
    elseif run.state == "flying" then
        if wantsAbility(inputAllowed) then
            Play.useAbility()
        end
        updateFlight(dt)
    end
    if run.level then
        Gadgets.update(dt, run.level.bounds)
        Camera.update(dt, inputAllowed)
    end
    for i = #popups, 1, -1 do
        popups[i].time = popups[i].time + dt
        if popups[i].time > 1 then
            table.remove(popups, i)
        end
    end
    if particles then
        particles:update(particles.WORLD, dt)
    end
end

-- Springs, rails and ropes between the pieces they join.
local JOINT_SPRITES = { [1] = "SPRING", [4] = "RAIL" }
local function drawJoints()
    for _, name in ipairs(Level.sortedKeys(objects.joints or {})) do
        local j = objects.joints[name]
        local sprite = type(j) == "table" and (j.style == "rope" and "CHAIN" or JOINT_SPRITES[j.type])
        if sprite and j.x1 and j.x2 then
            local a, b = objects.world[j.end1], objects.world[j.end2]
            if a and b then
                local x1, y1 = Camera.worldToScreen(a.x, a.y)
                local x2, y2 = Camera.worldToScreen(b.x, b.y)
                if j.type == 1 or j.style == "rope" then
                    x1, y1 = Camera.worldToScreen(j.x1, j.y1)
                    x2, y2 = Camera.worldToScreen(j.x2, j.y2)
                end
                drawRubberband(x1, y1, x2, y2, 6 * cam.scale, sprite)
            end
        end
    end
end

-- Bubbles around wrapped pieces and caught birds.
local function drawBubbles()
    Camera.apply()
    local bw = 40
    for _, name in ipairs(Level.sortedKeys(objects.world)) do
        local t = objects.world[name]
        if type(t) == "table" and (t.wrapTime or t.inBubble) then
            local size = math.max(t.width or 0, t.height or 0, 2 * (t.radius or 0)) + 0.6
            local k = size * UNIT / bw
            setRenderState(-cam.x, -cam.y, cam.scale * k, cam.scale * k, 0, 0, 0, 1)
            res.drawSprite("BUBBLE", t.x * UNIT / k, t.y * UNIT / k)
        end
    end
    Camera.apply()
end

local function drawPopups()
    for _, p in ipairs(popups) do
        local a = math.max(0, 1 - p.time)
        if p.kind == "ring" then
            local k = 1 + p.time * 4
            setRenderState(-cam.x, -cam.y, cam.scale * k, cam.scale * k, 0, 0, 0, a)
            res.drawSprite("GUST_RING", p.x * UNIT / k, p.y * UNIT / k)
        else
            setRenderState(-cam.x, -cam.y, cam.scale, cam.scale, 0, 0, 0, a)
            res.drawSprite("POP_STAR", p.x * UNIT, (p.y - p.time * 1.5) * UNIT)
        end
    end
    Camera.apply()
end

function Play.draw()
    if run.state == "broken" or not run.level then
        setBGColor(120, 0, 0)
        return
    end
    drawBackgroundNative()
    local aiming = run.state == "aiming" and run.current ~= nil
    Sling.drawBack(aiming, Play.waiting())
    drawJoints()
    drawGameNative()
    drawBubbles()
    Sling.drawFront(aiming)
    drawForegroundNative()
    drawPopups()
end

function Play.state()
    return run.state == "none" and "broken" or run.state
end

function Play.score()
    return run.finalScore or run.score
end

function Play.levelName()
    return run.name
end

-- Birds still to come after the one in the sling.
function Play.waiting()
    local list = {}
    if run.level then
        for i = run.birdIndex + 1, #run.level.birds do
            list[#list + 1] = run.level.birds[i]
        end
    end
    return list
end

function Play.birdsLeft()
    local list = {}
    if run.level then
        local first = run.current and run.birdIndex or run.birdIndex + 1
        for i = first, #run.level.birds do
            list[#list + 1] = run.level.birds[i]
        end
    end
    return list
end

function Play.result()
    if run.state ~= "won" and run.state ~= "lost" then
        return nil
    end
    return { won = run.state == "won", score = run.finalScore, baseScore = run.baseScore,
             birdBonus = BIRD_BONUS, birdsLeft = run.birdsLeft }
end

function Play.hint()
    return run.level and run.level.hint or nil
end
