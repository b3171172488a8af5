-- The slingshot: aiming by dragging the bird or with the keys, the launch,
-- and drawing the frame, the rubber bands and the aiming dots.

Sling = Sling or {}

local UNIT = 20
local MAX_PULL = 80 -- world pixels
local LAUNCH_SPEED = 24 -- world units per second at a full pull
local GRAB_RADIUS = 40 -- world pixels around the bird that start a drag
local KEY_ANGLE_STEP = 60 -- degrees a second while an arrow key is held
local KEY_POWER_STEP = 0.6 -- power a second

local s = { pullX = 0, pullY = 0, dragging = false, touchWasDown = true, keyAngle = 35,
            keyPower = 0.8, keyAiming = false }

function Sling.reset()
    s.pullX, s.pullY, s.dragging, s.keyAiming = 0, 0, false, false
    -- A press that began before the level must not start a drag.
    s.touchWasDown = true
end

local function restPoint()
    local p = Play.level().slingshot
    return p.x * UNIT, p.y * UNIT
end

-- The first active touch (the mouse counts as touch "1"), or nil.
function Sling.firstTouch()
    if type(touches) ~= "table" or (touchcount or 0) == 0 then
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

-- The pull that gives an angle (degrees above the horizon) and a power (0 to 1).
local function pullFor(angle, power)
    local a = math.rad(angle)
    local p = math.max(0, math.min(1, power))
    return -math.cos(a) * p * MAX_PULL, math.sin(a) * p * MAX_PULL
end

local function holdBird(name)
    local rx, ry = restPoint()
    setPosition(name, (rx + s.pullX) / UNIT, (ry + s.pullY) / UNIT)
end

-- Releases the bird with a pull; returns the launch velocity.
function Sling.launch(name, angle, power)
    s.pullX, s.pullY = pullFor(angle, power)
    holdBird(name)
    local vx, vy = pullVelocity(s.pullX, s.pullY)
    setObjectParameter(name, 2, 1)
    setSleeping(name, false)
    setVelocity(name, vx, vy)
    local t = objects.world[name]
    t.shot = true
    t.lastTrajectoryX, t.lastTrajectoryY = t.x * UNIT, t.y * UNIT
    startNewTrajectory()
    s.dragging, s.keyAiming = false, false
    s.pullX, s.pullY = 0, 0
    Sound.play("launch")
    Sound.play(Birds.kinds[t.kind].cry)
end

local function angleAndPower(dx, dy)
    local length = math.sqrt(dx * dx + dy * dy)
    return math.deg(math.atan2(dy, -dx)), length / MAX_PULL
end

-- Aiming with the mouse (drag the bird back, release to shoot) or the keys
-- (arrows aim, Space or Enter shoots). Returns angle, power once released.
function Sling.updateAiming(name, dt, inputAllowed)
    local rx, ry = restPoint()
    if not inputAllowed then
        -- A menu opened mid-drag: the bird goes back, it is not shot.
        if s.dragging then
            s.dragging = false
            s.pullX, s.pullY = 0, 0
            holdBird(name)
        end
        s.touchWasDown = true
        return nil
    end
    local touch = Sling.firstTouch()
    if touch then
        local wx, wy = Camera.screenToWorld(touch.x, touch.y)
        wx, wy = wx * UNIT, wy * UNIT
        if not s.dragging and not s.touchWasDown then
            local dx, dy = wx - rx, wy - ry
            s.dragging = dx * dx + dy * dy <= GRAB_RADIUS * GRAB_RADIUS
            if s.dragging then
                s.keyAiming = false
                Sound.play("stretch")
            end
        end
        if s.dragging then
            local dx, dy = wx - rx, wy - ry
            local length = math.sqrt(dx * dx + dy * dy)
            if length > MAX_PULL then
                dx, dy = dx * MAX_PULL / length, dy * MAX_PULL / length
            end
            s.pullX, s.pullY = dx, dy
            holdBird(name)
        end
    elseif s.dragging then
        s.dragging = false
        local dx, dy = s.pullX, s.pullY
        if dx * dx + dy * dy > 100 then
            s.touchWasDown = false
            return angleAndPower(dx, dy)
        end
        s.pullX, s.pullY = 0, 0
        holdBird(name)
    end
    s.touchWasDown = touch ~= nil
    if not s.dragging and type(keyHold) == "table" then
        local turn = (keyHold.UP and 1 or 0) - (keyHold.DOWN and 1 or 0)
        local push = (keyHold.RIGHT and 1 or 0) - (keyHold.LEFT and 1 or 0)
        if turn ~= 0 or push ~= 0 then
            if not s.keyAiming then
                Sound.play("stretch")
            end
            s.keyAiming = true
            s.keyAngle = math.max(-30, math.min(85, s.keyAngle + turn * KEY_ANGLE_STEP * dt))
            s.keyPower = math.max(0.2, math.min(1, s.keyPower + push * KEY_POWER_STEP * dt))
        end
        if s.keyAiming then
            s.pullX, s.pullY = pullFor(s.keyAngle, s.keyPower)
            holdBird(name)
        end
        if keyPressed and (keyPressed.SPACE or keyPressed.RETURN) then
            if s.keyAiming then
                return s.keyAngle, s.keyPower
            end
            s.keyAiming = true
            s.pullX, s.pullY = pullFor(s.keyAngle, s.keyPower)
            holdBird(name)
        end
    end
    return nil
end

local function forkTips()
    local rx, ry = restPoint()
    return rx - 10, ry, rx + 10, ry
end

local function band(fromX, fromY, toX, toY)
    local x1, y1 = Camera.worldToScreen(fromX / UNIT, fromY / UNIT)
    local x2, y2 = Camera.worldToScreen(toX / UNIT, toY / UNIT)
    drawRubberband(x1, y1, x2, y2, 6 * Camera.scale(), "RUBBERBAND")
end

-- Where the bands meet: the bird while it sits in the sling, else the rest point.
local function pouch(aiming)
    local rx, ry = restPoint()
    if aiming then
        return rx + s.pullX - 0.5 * UNIT, ry + s.pullY
    end
    return rx, ry
end

-- Behind the birds: the frame, the back band and the birds still waiting.
function Sling.drawBack(aiming, waiting)
    local rx, ry = restPoint()
    Camera.apply()
    res.drawSprite("SLINGSHOT", rx, ry + 30)
    for i, kind in ipairs(waiting) do
        local x = rx - 10 - i * 26
        res.drawSprite(Birds.kinds[kind].sprite, x, -10)
    end
    local _, _, bx, by = forkTips()
    local px, py = pouch(aiming)
    band(bx, by, px, py)
end

-- In front of the bird: the front band and, while aiming, the dotted path.
function Sling.drawFront(aiming)
    local ax, ay = forkTips()
    local px, py = pouch(aiming)
    band(ax, ay, px, py)
    if aiming and (s.dragging or s.keyAiming) then
        local rx, ry = restPoint()
        rubberBandPos = { x = (rx + s.pullX) / UNIT, y = (ry + s.pullY) / UNIT }
        Camera.apply()
        local vx, vy = pullVelocity(s.pullX, s.pullY)
        drawSlingScopeNative(vx, vy, 0)
    end
end
