-- The level's machinery: bubbles that catch birds, portals, fans blowing
-- wind, pads held up by jets, and the bubbles that wrap what a bubbler hits.

Gadgets = Gadgets or {}

local UNIT = 20
local WRAP_LIFT = 5 -- upward pull per unit of mass of a wrapped object
local WRAP_SPEED = 3 -- it rises no faster than this
local WRAP_TIME = 3.5 -- seconds before the bubble bursts
local BIRD_BUBBLE_TIME = 2.2 -- a bird caught in a bubble floats this long
local BIRD_BUBBLE_LIFT = 4
local BIRD_BUBBLE_DRIFT = 3
local WATER_DAMPING = 2.5

-- Extra set-up of a piece by what its definition is.
function Gadgets.setUp(name, t, def, entry)
    if def.bubble then
        setColliderType(name, 11)
        setSensor(name, true)
        t.bubbleHomeY = entry.y
        t.bubblePhase = entry.x
    elseif def.portal then
        setColliderType(name, 8)
        setSensor(name, true)
        if entry.target then
            t.portal = { target = entry.target, delay = 0, minSpeedOut = entry.minSpeedOut or 6,
                         effect = { { type = "particle", id = "dust", direction = "out",
                                      positionFromPortal = true } } }
        end
    elseif def.fan then
        local a = math.rad(entry.angle or 0)
        -- The fan blows along its up direction.
        t.fan = { dx = math.sin(a), dy = -math.cos(a), range = entry.range or 8,
                  width = entry.width or 2.4, force = entry.force or 30 }
    elseif def.thruster then
        setGravityEnabled(name, false) -- the engine cancels its weight every step
        t.hovering = true
        t.linearDamping = 1.5
        setLinearDamping(name, t.linearDamping)
        setAngularDamping(name, 3)
    end
end

-- Wraps a piece in a bubble: its weight is cancelled and it is pulled up,
-- until the bubble bursts and it falls.
function Gadgets.wrapInBubble(name)
    local t = objects.world[name]
    if not t or t.wrapTime then
        return
    end
    t.wrapTime = WRAP_TIME
    setGravityEnabled(name, false)
    t.forceY = -WRAP_LIFT
    t.targetVelocity = WRAP_SPEED
    setAngularDamping(name, 4)
    setSleeping(name, false)
end

local function burstWrap(name, t)
    t.wrapTime = nil
    t.forceY = nil
    t.targetVelocity = nil
    setGravityEnabled(name, true)
    Effects.burst("bubbles", t.x, t.y, 6)
    Sound.play("bubble", t.x * UNIT)
end

-- The bird caught by a level bubble floats up for a while.
function Gadgets.catchBird(t)
    t.bubbleTime = BIRD_BUBBLE_TIME
    setGravityEnabled(t.name, false)
    -- It rises and drifts on in the direction it was flying.
    t.forceX = BIRD_BUBBLE_DRIFT
    t.forceY = -BIRD_BUBBLE_LIFT
    t.targetVelocity = 2.5
    Sound.play("bubble", (t.x or 0) * UNIT)
end

function Gadgets.releaseBird(name)
    local t = objects.world[name]
    if not t or not t.inBubble then
        return
    end
    t.inBubble = false
    t.bubbleTime = nil
    t.forceX = nil
    t.forceY = nil
    t.targetVelocity = nil
    setGravityEnabled(name, true)
    Effects.burst("bubbles", t.x, t.y, 6)
    Sound.play("bubble", t.x * UNIT)
end

-- Once a frame: bubbles bob, wraps burst, pads hum, sliders turn round.
function Gadgets.update(dt, bounds)
    local hovering = false
    local waterLine = objects.water and objects.water.waterLevel
    for _, name in ipairs(Level.sortedKeys(objects.world)) do
        local t = objects.world[name]
        if type(t) == "table" then
            if t.bubbleHomeY then
                t.bubblePhase = t.bubblePhase + dt
                setPosition(name, t.x, t.bubbleHomeY + math.sin(t.bubblePhase * 1.5) * 0.25)
            end
            if t.wrapTime then
                t.wrapTime = t.wrapTime - dt
                if t.isTarget and t.y < bounds.top + 1 then
                    -- Carried off the top of the level: the gremlin is gone.
                    t.strength = 0
                    t.floatedAway = true
                    deadBlocks[name] = t
                elseif t.wrapTime <= 0 then
                    burstWrap(name, t)
                end
            end
            if t.inBubble and t.isBird then
                if not t.bubbleTime then
                    Gadgets.catchBird(t)
                end
                t.bubbleTime = t.bubbleTime - dt
                if t.bubbleTime <= 0 then
                    Gadgets.releaseBird(name)
                end
            end
            -- Water is thick: what is in it slows down, so floating pieces
            -- settle instead of bobbing ever higher.
            if waterLine and (t.mass or 0) > 0 and not t.isBird then
                local wet = t.y > -waterLine
                if wet ~= (t.wet or false) then
                    t.wet = wet
                    setLinearDamping(name, wet and WATER_DAMPING or (t.linearDamping or 0))
                end
            end
            if t.hovering then
                hovering = true
                Effects.jets(name, t, dt)
            end
        end
    end
    for _, name in ipairs(Level.sortedKeys(objects.joints)) do
        local j = objects.joints[name]
        if type(j) == "table" and j.backAndForth then
            checkJointLimits(name)
        end
    end
    Gadgets.setHum(hovering)
end

-- Jets fail once their pad cracks: it drops.
function Gadgets.damaged(name, t)
    if t.hovering and t.stage >= 1 then
        t.hovering = false
        setGravityEnabled(name, true)
        Effects.burst("dust", t.x, t.y, 4)
    end
end

local hum
function Gadgets.setHum(on)
    if on and not hum then
        hum = Sound.loop("thruster", 0.35)
    elseif not on and hum then
        Sound.stop(hum)
        hum = nil
    end
end

-- Fans push every loose piece in the strip in front of them.
function Gadgets.applyWind()
    for _, name in ipairs(Level.sortedKeys(objects.world)) do
        local t = objects.world[name]
        if type(t) == "table" and t.fan then
            local f = t.fan
            local cx, cy = t.x + f.dx * f.range / 2, t.y + f.dy * f.range / 2
            local hw = math.abs(f.dx) * f.range / 2 + math.abs(f.dy) * f.width / 2
            local hh = math.abs(f.dy) * f.range / 2 + math.abs(f.dx) * f.width / 2
            for _, other in ipairs(World.objectsInBox(cx, cy, hw, hh)) do
                local o = objects.world[other]
                if o and (o.mass or 0) > 0 and not o.fan then
                    applyForceNative(other, f.dx * f.force * o.mass, f.dy * f.force * o.mass,
                        o.x, o.y)
                end
            end
        end
    end
end
