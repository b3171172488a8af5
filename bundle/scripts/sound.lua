-- Sound effects. Each sound belongs to one of the mixer's tracks, and the
-- engine caps how many voices a track may sound at once (track 1: 4, track 2:
-- 6, tracks 3 to 5: 3, the others unlimited). A full track refuses a new
-- voice, so twenty falling blocks fill the hit track and leave the cries,
-- the gremlins and the interface audible.

Sound = Sound or {}

local TRACK_UI = 0 -- the slingshot and the interface: never refused
local TRACK_HITS = 2 -- impacts and breaking pieces
local TRACK_BIRDS = 3 -- cries and abilities
local TRACK_GREMLINS = 4
local TRACK_GADGETS = 5 -- water, bubbles, portals, thrusters

Sound.tracks = {
    launch = TRACK_UI, stretch = TRACK_UI,
    cry_quill = TRACK_BIRDS, cry_burr = TRACK_BIRDS, cry_gale = TRACK_BIRDS,
    cry_bubbler = TRACK_BIRDS, cry_anvil = TRACK_BIRDS,
    ability_glue = TRACK_BIRDS, ability_gust = TRACK_BIRDS, ability_bubble = TRACK_BIRDS,
    ability_anvil = TRACK_BIRDS,
    hit_wood = TRACK_HITS, hit_stone = TRACK_HITS, hit_ice = TRACK_HITS,
    break_wood = TRACK_HITS, break_stone = TRACK_HITS, break_ice = TRACK_HITS,
    armour_clank = TRACK_GREMLINS, gremlin_hit = TRACK_GREMLINS, gremlin_pop = TRACK_GREMLINS,
    splash = TRACK_GADGETS, bubble = TRACK_GADGETS, portal = TRACK_GADGETS,
    thruster = TRACK_GADGETS,
    roll_wood = TRACK_HITS, roll_stone = TRACK_HITS,
    click = TRACK_UI, hover = TRACK_UI, score_tick = TRACK_UI, star = TRACK_UI, win = TRACK_UI,
    lose = TRACK_UI,
}

-- Sounds whose screen position changes their loudness: quieter far from the
-- middle of the view.
local MIN_DISTANCE_VOLUME = 0.35

local loaded = {}

-- Decodes every effect into memory once; safe to call again.
function Sound.load()
    if not res or not audioPath then
        return
    end
    for name in pairs(Sound.tracks) do
        if not loaded[name] then
            res.createAudio(audioPath .. "/" .. name .. ".wav", name, false)
            loaded[name] = true
        end
    end
end

function Sound.enabled()
    return not (type(settings) == "table" and settings.sfx == false)
end

-- Plays the named effect. With a world position (pixels) it is softer when
-- far off screen. Returns the voice handle, or nil when refused or muted.
function Sound.play(name, x, y, volume)
    if not Sound.enabled() or not res then
        return nil
    end
    local track = Sound.tracks[name]
    if not track then
        native.logWarning("Sound.play: no sound named " .. tostring(name))
        return nil
    end
    volume = volume or 1
    if x and Sound.listener then
        local lx, halfWidth = Sound.listener()
        local d = math.abs(x - lx) / math.max(halfWidth, 1)
        volume = volume * math.max(MIN_DISTANCE_VOLUME, 1 - 0.5 * math.max(0, d - 1))
    end
    local ok, handle = pcall(res.playAudio, name, math.max(0, math.min(1, volume)), false, track)
    if ok then
        return handle
    end
    return nil
end

-- A looping effect (the thruster hum); Sound.stop ends it.
function Sound.loop(name, volume)
    if not Sound.enabled() or not res or not Sound.tracks[name] then
        return nil
    end
    local ok, handle = pcall(res.playAudio, name, volume or 1, true, Sound.tracks[name])
    return ok and handle or nil
end

function Sound.stop(handle)
    if handle and res then
        res.stopAudio(handle)
    end
end
