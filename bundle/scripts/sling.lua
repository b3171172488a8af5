-- The slingshot: the bird waiting in it, dragging to aim, the launch, and
-- drawing the frame, the rubber bands and the aiming dots.

local UNIT = 20
local MAX_PULL = 80 -- world pixels
local LAUNCH_SPEED = 24 -- world units per second at a full pull
local GRAB_RADIUS = 40 -- world pixels around the bird that start a drag
local BIRD_RADIUS = 0.5
local ROLL_DAMPING = 8

local function restPoint()
    local s = game.level.slingshot
    return s.x * UNIT, s.y * UNIT
end

-- The first active touch (the mouse counts as touch "1"), or nil.
local function firstTouch()
    if not touches or (touchcount or 0) == 0 then
        return nil
    end
    if touches["1"] then
        return touches["1"]
    end
    for _, t in pairs(touches) do
        return t
    end
    return nil
end

-- Launch velocity for a pull of (dx, dy) world pixels from the rest point.
local function pullVelocity(dx, dy)
    local k = LAUNCH_SPEED / MAX_PULL
    return -dx * k, -dy * k
end

-- Puts the next bird in the sling; false when none is left.
function loadNextBird()
    game.birdIndex = game.birdIndex + 1
    local kind = game.level.birds[game.birdIndex]
    if not kind then
        currentBirdName = nil
        return false
    end
    local name = "bird" .. game.birdIndex
    local x, y = restPoint()
    createCircle(name, "QUILL_BIRD", x / UNIT, y / UNIT, BIRD_RADIUS, 4, 0.6, 0.3, true, 10)
    setColliderType(name, 3)
    setObjectParameter(name, 2, 0) -- held still until launched
    -- A ball on flat ground rolls for ever; damping the spin lets it come to rest.
    setAngularDamping(name, ROLL_DAMPING)
    local t = objects.world[name]
    t.isBird = true
    t.damageFactors = kind
    currentBirdName = name
    game.pullX, game.pullY = 0, 0
    game.dragging = false
    return true
end

function launchBird(vx, vy)
    local name = currentBirdName
    setObjectParameter(name, 2, 1)
    setSleeping(name, false)
    setVelocity(name, vx, vy)
    local t = objects.world[name]
    t.shot = true
    t.lastTrajectoryX, t.lastTrajectoryY = t.x * UNIT, t.y * UNIT
    startNewTrajectory()
    flyingBird = name
    game.dragging = false
    game.pullX, game.pullY = 0, 0
    game.state = "flying"
    game.shotTime = 0
end

-- Launches at an angle (degrees above the horizon) and a power (0 to 1).
function launchAtAngle(angle, power)
    local a = math.rad(angle)
    local p = math.max(0, math.min(1, power))
    launchBird(math.cos(a) * p * LAUNCH_SPEED, -math.sin(a) * p * LAUNCH_SPEED)
end

-- Drag and release. A drag starts only with a fresh press near the bird.
function updateAiming()
    local touch = firstTouch()
    local rx, ry = restPoint()
    if touch then
        local wx, wy = screenToWorld(touch.x, touch.y)
        wx, wy = wx * UNIT, wy * UNIT
        if not game.dragging and not game.touchWasDown then
            local dx, dy = wx - rx, wy - ry
            game.dragging = dx * dx + dy * dy <= GRAB_RADIUS * GRAB_RADIUS
        end
        if game.dragging then
            local dx, dy = wx - rx, wy - ry
            local length = math.sqrt(dx * dx + dy * dy)
            if length > MAX_PULL then
                dx, dy = dx * MAX_PULL / length, dy * MAX_PULL / length
            end
            game.pullX, game.pullY = dx, dy
            setPosition(currentBirdName, (rx + dx) / UNIT, (ry + dy) / UNIT)
        end
    elseif game.dragging then
        local dx, dy = game.pullX, game.pullY
        if dx * dx + dy * dy > 100 then
            launchBird(pullVelocity(dx, dy))
        else
            game.dragging = false
            game.pullX, game.pullY = 0, 0
            setPosition(currentBirdName, rx / UNIT, ry / UNIT)
        end
    end
    game.touchWasDown = touch ~= nil
end

-- The camera transform, for drawing in world pixels.
local function cameraState()
    setRenderState(-game.cameraX, -game.cameraY, game.scale, game.scale, 0, 0, 0, 1)
end

local function forkTips()
    local rx, ry = restPoint()
    return rx - 10, ry, rx + 10, ry
end

local function band(fromX, fromY, toX, toY)
    local x1, y1 = worldToScreen(fromX / UNIT, fromY / UNIT)
    local x2, y2 = worldToScreen(toX / UNIT, toY / UNIT)
    drawRubberband(x1, y1, x2, y2, 6 * game.scale, "RUBBERBAND")
end

-- Where the bands meet: the bird while it sits in the sling, else the rest point.
local function pouch()
    local rx, ry = restPoint()
    if game.state == "aiming" and currentBirdName then
        return rx + game.pullX - BIRD_RADIUS * UNIT, ry + game.pullY
    end
    return rx, ry
end

-- Behind the birds: the frame, the back band and the birds still waiting.
function drawSlingBack()
    local rx, ry = restPoint()
    cameraState()
    res.drawSprite("SLINGSHOT", rx, ry + 30)
    for i = game.birdIndex + 1, #game.level.birds do
        local x = rx - 10 - (i - game.birdIndex) * 24
        res.drawSprite("QUILL_BIRD", x, -10)
    end
    local _, _, bx, by = forkTips()
    local px, py = pouch()
    band(bx, by, px, py)
end

-- In front of the bird: the front band and, while aiming, the dotted path.
function drawSlingFront()
    local ax, ay = forkTips()
    local px, py = pouch()
    band(ax, ay, px, py)
    if game.state == "aiming" and game.dragging and currentBirdName then
        local rx, ry = restPoint()
        rubberBandPos = { x = (rx + game.pullX) / UNIT, y = (ry + game.pullY) / UNIT }
        cameraState()
        local vx, vy = pullVelocity(game.pullX, game.pullY)
        drawSlingScopeNative(vx, vy, 0)
    end
end
