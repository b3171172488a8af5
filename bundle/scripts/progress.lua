-- What the player keeps between runs: settings, highscores, stars and unlocked
-- levels. The engine loads `settings` and `highscores` before the scripts run
-- and saves `settings` on exit; `progress` is ours to load and save. Anything
-- of the wrong type is replaced, so a hand-edited or half-written table never
-- reaches the screens.

Progress = {}

local LANGUAGES = { en = true, de = true }

local function bool(value, default)
    if type(value) == "boolean" then
        return value
    end
    return default
end

-- Settings with every field present and in range; unknown fields are kept.
function Progress.cleanSettings(s)
    if type(s) ~= "table" then
        s = {}
    end
    local volume = tonumber(s.volume)
    if not volume or volume ~= volume then
        volume = 0.8
    end
    s.volume = math.max(0, math.min(1, volume))
    s.audioEnabled = bool(s.audioEnabled, true)
    s.sfx = bool(s.sfx, true)
    s.music = bool(s.music, true)
    s.fullscreen = bool(s.fullscreen, false)
    if not LANGUAGES[s.language] then
        s.language = "en"
    end
    return s
end

-- Highscores keep only level names with whole, non-negative scores.
function Progress.cleanHighscores(h)
    local clean = {}
    if type(h) == "table" then
        for name, score in pairs(h) do
            score = tonumber(score)
            if type(name) == "string" and score and score >= 0 and score < math.huge then
                clean[name] = math.floor(score)
            end
        end
    end
    return clean
end

function Progress.cleanProgress(p)
    local clean = { stars = {}, unlocked = {} }
    if type(p) ~= "table" then
        return clean
    end
    if type(p.stars) == "table" then
        for name, n in pairs(p.stars) do
            n = tonumber(n)
            if type(name) == "string" and n then
                clean.stars[name] = math.max(0, math.min(3, math.floor(n)))
            end
        end
    end
    if type(p.unlocked) == "table" then
        for name, on in pairs(p.unlocked) do
            if type(name) == "string" and on == true then
                clean.unlocked[name] = true
            end
        end
    end
    return clean
end

-- Saved files that could not be read this run: the engine's list of files it
-- set aside, and the files whose text did not run.
function Progress.damagedFiles()
    local files, seen = {}, {}
    local function add(name)
        if type(name) == "string" and not seen[name] then
            seen[name] = true
            files[#files + 1] = name
        end
    end
    if type(damagedSaves) == "table" then
        for _, name in ipairs(damagedSaves) do
            add(name)
        end
    end
    if type(nuked) == "table" then
        for name, on in pairs(nuked) do
            if on then
                add(name)
            end
        end
    end
    table.sort(files)
    return files
end

function Progress.load()
    settings = Progress.cleanSettings(settings)
    highscores = Progress.cleanHighscores(highscores)
    if progress == nil then
        loadTableFromFile("progress.lua", "progress")
    end
    progress = Progress.cleanProgress(progress)
end

local function save(file, name)
    local ok, err = pcall(saveLuaFile, file, name, true)
    if not ok then
        native.logWarning("Could not save " .. file .. ": " .. tostring(err))
    end
end

function Progress.saveSettings()
    save("settings.lua", "settings")
end

-- The flat list of levels in play order, each with its episode.
function Progress.levelOrder(list)
    local order = {}
    for e, episode in ipairs(list or {}) do
        for i, name in ipairs(episode.levels or {}) do
            order[#order + 1] = { name = name, episode = e, index = i }
        end
    end
    return order
end

-- The first level is always open; every other one opens once the level
-- before it (across episodes) has been won.
function Progress.isUnlocked(name, list)
    local order = Progress.levelOrder(list)
    if order[1] and order[1].name == name then
        return true
    end
    return progress.unlocked[name] == true
end

function Progress.nextLevel(name, list)
    local order = Progress.levelOrder(list)
    for i, entry in ipairs(order) do
        if entry.name == name then
            return order[i + 1] and order[i + 1].name or nil
        end
    end
    return nil
end

-- Stars for a score: one for every limit reached, and a win earns at least one.
function Progress.starsFor(name, score, won)
    if not won then
        return 0
    end
    local limits = type(starTable) == "table" and starTable[name] or nil
    local stars = 0
    if type(limits) == "table" then
        for i = 1, 3 do
            local limit = tonumber(limits[i])
            if limit and score >= limit then
                stars = i
            end
        end
    end
    return math.max(1, stars)
end

-- Records a finished level; returns whether the score beat the highscore.
function Progress.record(name, score, won, list)
    local stars = Progress.starsFor(name, score, won)
    if not won then
        return false, stars
    end
    local best = highscores[name] or 0
    local beaten = score > best
    if beaten then
        highscores[name] = score
        save("highscores.lua", "highscores")
    end
    progress.stars[name] = math.max(progress.stars[name] or 0, stars)
    local nextName = Progress.nextLevel(name, list)
    if nextName then
        progress.unlocked[nextName] = true
    end
    save("progress.lua", "progress")
    return beaten, stars
end
