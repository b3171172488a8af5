-- A bare driver for the level code: it starts the level named by
-- QUILLFIRE_LEVEL (the first level when unset) and, when QUILLFIRE_DEMO is
-- set, plays the level's recorded shots: the next one once the sling has
-- been ready for a second of game time, its ability the given seconds after
-- the launch. It logs one line with the outcome and, in demo play, exits.

g_safeToQuit = true

loadLuaFile(commonScriptPath .. "/starLimits.lua", "")
loadLuaFile(commonScriptPath .. "/episodes.lua", "")
loadLuaFile(commonScriptPath .. "/demoShots.lua", "")
loadLuaFile(commonScriptPath .. "/play/play.lua", "")

local AIM_WAIT = 1.0
local EXIT_WAIT = 0.5

local driver = { shot = 0, since = 0, ended = 0, reported = false }

function updateValues()
    if type(settings) == "table" then
        if type(settings.audioEnabled) ~= "boolean" then
            settings.audioEnabled = true
        end
        if type(settings.volume) ~= "number" then
            settings.volume = 1
        end
    end
end

function createStartUpAssets()
    res.createAudioOutput(2, 16, 44100)
    res.startAudioOutput()
    Sound.load()
    driver.level = os.getenv("QUILLFIRE_LEVEL") or episodes[1].levels[1]
    driver.demo = (os.getenv("QUILLFIRE_DEMO") or "") ~= ""
    driver.shots = demoShots[driver.level] or {}
    driver.blind = (os.getenv("QUILLFIRE_BLIND") or "") ~= ""
    -- Shots to try instead of the recorded ones: "angle,power[,ability];..."
    local trial = os.getenv("QUILLFIRE_SHOTS")
    if trial and trial ~= "" then
        driver.shots = {}
        for item in string.gmatch(trial, "[^;]+") do
            local a, p, ab = string.match(item, "^([%d%.%-]+),([%d%.]+),?([%d%.]*)$")
            driver.shots[#driver.shots + 1] = { angle = tonumber(a), power = tonumber(p),
                                                ability = tonumber(ab) }
        end
    end
    Play.start(driver.level)
end

local function stars(name, score)
    local n = 0
    for _, limit in ipairs(starTable[name] or {}) do
        if score >= limit then
            n = n + 1
        end
    end
    return n
end

local function demoStep(dt)
    local state = Play.state()
    if state == "aiming" then
        driver.since = driver.since + dt
        if driver.since >= AIM_WAIT and driver.shots[driver.shot + 1] then
            driver.shot = driver.shot + 1
            local shot = driver.shots[driver.shot]
            Play.fire(shot.angle, shot.power)
            driver.flight = 0
            driver.ability = shot.ability
        end
    else
        driver.since = 0
    end
    if driver.lastState == "flying" and state ~= "flying" then
        native.logWarning(string.format("SHOT %d gremlins %d score %d", driver.shot,
            Level.countTargets(), Play.score()))
    end
    driver.lastState = state
    if state == "flying" and driver.flight then
        driver.flight = driver.flight + dt
        if driver.ability and driver.flight >= driver.ability then
            driver.ability = nil
            Play.useAbility()
        end
    end
end

function update(dt)
    if driver.demo then
        demoStep(dt)
    elseif type(keyPressed) == "table" and keyPressed.R then
        Play.start(driver.level)
    end
    Play.update(dt, not driver.demo)
    -- Searching for shots needs no picture.
    if not driver.blind then
        Play.draw()
    end
    local state = Play.state()
    if state == "won" or state == "lost" or state == "broken" then
        if not driver.reported then
            driver.reported = true
            local r = Play.result() or { score = 0 }
            native.logWarning(string.format("LEVEL %s %s score %d stars %d", driver.level, state, r.score,
                stars(driver.level, r.score)))
        end
        driver.ended = driver.ended + dt
        if driver.demo and driver.ended > EXIT_WAIT then
            requestExit()
        end
    end
end

function resolutionChanged(width, height)
    if Play.state() ~= "broken" then
        Camera.snap()
    end
end

function gamePaused() end
function gameResumed() end

function calculatePlaytime()
    if type(bi_data) == "table" then
        bi_data.playSeconds = (bi_data.playSeconds or 0) + getGameTimer()
    end
end

function latestVersionNumberReceived(version, text) end
function updateAvailable(available) end
function nativecallback_urlResponse(url, response) end
function notifyEventManager(event, data) end
