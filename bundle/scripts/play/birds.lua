-- The bird kinds and their abilities. An ability fires once per flight, on
-- a click or Space while the bird is in the air.

Birds = Birds or {}

local UNIT = 20

Birds.kinds = {
    -- The plain bird: its ability is a dart, a burst of speed along its path.
    quill = { sprite = "QUILL_BIRD", radius = 0.5, density = 4, cry = "cry_quill",
              ability = "dart" },
    -- Sticks to the first block it touches; its ability makes it pull that block down.
    burr = { sprite = "BIRD_BURR", radius = 0.45, density = 5, cry = "cry_burr", ability = "drag" },
    -- Releases a gust, a short-lived force field that shoves what is near.
    gale = { sprite = "BIRD_GALE", radius = 0.5, density = 3.5, cry = "cry_gale", ability = "gust" },
    -- Wraps what is near in bubbles that float away.
    bubbler = { sprite = "BIRD_BUBBLER", radius = 0.5, density = 3.5, cry = "cry_bubbler",
                ability = "bubble" },
    -- Heavy from the start; its ability makes it far heavier and drops it like a stone.
    anvil = { sprite = "BIRD_ANVIL", radius = 0.7, density = 6, cry = "cry_anvil",
              ability = "smash" },
}

local DART_FACTOR = 1.6
local BURR_PULL = 6 -- downward force per unit of the burr's mass once glued
local BURR_DRAG_PULL = 45 -- the same after its ability
local GUST_RADIUS = 6
local GUST_FORCE = 300 -- per unit of mass, at the gust's centre
local GUST_TIME = 0.35
local BUBBLE_RADIUS = 3.2
local ANVIL_HEAVY_DENSITY = 40

-- Makes the bird of this kind waiting in the sling at (x, y), held still.
function Birds.create(name, kind, x, y)
    local k = Birds.kinds[kind]
    createCircle(name, k.sprite, x, y, k.radius, k.density, 0.6, 0.3, true, 10)
    setColliderType(name, 3)
    setObjectParameter(name, 2, 0)
    -- A ball on flat ground rolls for ever; damping the spin lets it come to rest.
    setAngularDamping(name, 6)
    local t = objects.world[name]
    t.isBird = true
    t.kind = kind
    t.damageFactors = kind
    return t
end

-- Called when a flying bird touches something.
function Birds.onHit(birdName, otherName)
    local bird = objects.world[birdName]
    local other = objects.world[otherName]
    if not bird or not other or other.isBird then
        return
    end
    bird.touched = true
    if bird.kind == "burr" and not bird.gluedTo and other.strength and not other.isTarget then
        bird.gluedTo = otherName
        World.queueWeld(birdName, otherName)
    elseif bird.kind == "bubbler" and not bird.abilityUsed and not bird.wrapped and other.strength
        and (other.mass or 0) > 0 then
        bird.wrapped = true
        Gadgets.wrapInBubble(otherName)
        Sound.play("ability_bubble", bird.x * UNIT)
    end
end

-- After the weld: the burr starts to pull what it holds down.
function Birds.glued(birdName)
    local bird = objects.world[birdName]
    if not bird then
        return
    end
    setObjectParameter(birdName, 8, 1) -- run the engine's force pass on it every step
    bird.forceY = bird.abilityUsed and BURR_DRAG_PULL or BURR_PULL
    Sound.play("ability_glue", bird.x * UNIT)
end

local abilities = {}

function abilities.dart(name, t)
    local speed = math.sqrt(t.xVel * t.xVel + t.yVel * t.yVel)
    if speed > 0.1 then
        setVelocity(name, t.xVel * DART_FACTOR, t.yVel * DART_FACTOR)
    end
    Effects.burst("feathers", t.x, t.y, 4)
    Sound.play("cry_quill", t.x * UNIT)
end

function abilities.drag(name, t)
    if t.gluedTo then
        t.forceY = BURR_DRAG_PULL
    else
        -- Not stuck yet: dive onto what is below.
        setVelocity(name, t.xVel * 0.5, math.max(t.yVel, 0) + 10)
    end
    Sound.play("ability_glue", t.x * UNIT)
end

function abilities.gust(name, t)
    World.addGust(t.x, t.y, GUST_RADIUS, GUST_FORCE, GUST_TIME, name)
    setVelocity(name, t.xVel * 0.6, t.yVel * 0.6)
    Effects.gust(t.x, t.y)
    Sound.play("ability_gust", t.x * UNIT)
end

function abilities.bubble(name, t)
    for _, other in ipairs(World.objectsNear(t.x, t.y, BUBBLE_RADIUS)) do
        local o = objects.world[other]
        if o and not o.isBird and o.strength and (o.mass or 0) > 0 then
            Gadgets.wrapInBubble(other)
        end
    end
    Effects.burst("bubbles", t.x, t.y, 10)
    Sound.play("ability_bubble", t.x * UNIT)
end

function abilities.smash(name, t)
    setDensity(name, ANVIL_HEAVY_DENSITY)
    resizeCircle(name, Birds.kinds.anvil.radius) -- rebuilds the fixture, so the mass follows
    t.damageFactors = "anvil_heavy"
    setVelocity(name, t.xVel * 0.3, math.max(t.yVel, 0) + 14)
    Effects.burst("dust", t.x, t.y, 5)
    Sound.play("ability_anvil", t.x * UNIT)
end

-- Triggers the ability of the flying bird; false when it was already used.
function Birds.useAbility(name)
    local t = objects.world[name]
    if not t or t.abilityUsed or not t.shot then
        return false
    end
    -- A bird held in a bubble uses its click to burst out.
    if t.inBubble then
        Gadgets.releaseBird(name)
        return true
    end
    t.abilityUsed = true
    abilities[Birds.kinds[t.kind].ability](name, t)
    return true
end
