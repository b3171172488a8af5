-- The level screen: the level itself (Play), the HUD over it, the pause menu,
-- and the panel at the end with the counted score, the bird bonus and stars.

local ingame = { phase = "playing" }
Flow.screens.play = ingame

local END_DELAY = 1.2 -- seconds the level runs on after it is decided
local COUNT_TIME = 1.2 -- seconds the score takes to count up
local BONUS_STEP = 0.35 -- seconds for each bird's bonus
local STAR_STEP = 0.35 -- seconds between stars

-- A level's title: the key of its text, or, for a level that has no text
-- (one just made in the editor), its name, drawn as it is (the second result).
local function levelTitle(name)
    local key = "LEVEL_" .. string.upper(name or "")
    if Text.get(key) == key then
        return name or "", true
    end
    return key, false
end
ingame.title = levelTitle

-- Pause button at the top right; the HUD's one widget. It answers the mouse
-- only: the arrows and Space aim and launch the bird.
local function buildHud()
    ingame.hud = Menu.new({ { kind = "icon", sprite = "UI_PAUSE", w = 48, h = 48,
                              action = function() ingame.pause() end } }, nil, true)
end

local function buildPauseMenu()
    ingame.pauseMenu = Menu.new(Menu.column(0, 0, {
        { "PAUSE_RESUME", function() ingame.resume() end },
        { "PAUSE_RESTART", function() ingame.start(ingame.level) end },
        { "PAUSE_LEVELS", function() ingame.leave() end },
        { "MENU_SETTINGS", function() Flow.go("settings", "pause") end },
    }), function() ingame.resume() end)
    ingame.pauseMenu:setFocus(1, true)
end

function ingame.start(name)
    Music.stop()
    if ingame.running then
        Play.stop()
    end
    ingame.level = name
    ingame.phase = "playing"
    ingame.endTime = 0
    ingame.levelTime = 0
    ingame.result = nil
    ingame.running = Play.start(name)
    if not ingame.running then
        native.logError("Level " .. tostring(name) .. " did not start")
        ingame.finish({ won = false, score = 0, baseScore = 0, birdBonus = 0, birdsLeft = 0 },
            true)
    end
    buildHud()
    if Demo.active then
        Demo.levelStarted(name)
    end
end

-- arg: a level name, or { resumePause = true } when coming back from the
-- settings opened in the pause menu.
function ingame.enter(arg)
    if type(arg) == "table" and arg.resumePause then
        buildPauseMenu()
        ingame.pauseMenu:setFocus(4, true)
        ingame.phase = "paused"
        return
    end
    ingame.start(arg)
end

function ingame.leave()
    if ingame.running then
        Play.stop()
        ingame.running = false
    end
    Flow.go("levels", ingame.level)
end

function ingame.pause()
    if ingame.phase ~= "playing" then
        return
    end
    ingame.phase = "paused"
    Play.pause(true)
    buildPauseMenu()
end

function ingame.resume()
    ingame.phase = "playing"
    Play.pause(false)
end

-- The panel at the end. broken: the level never started.
-- A play whose result is not the player's; the level editor's test-plays
-- answer true (see editor.lua).
function ingame.isTrial()
    return false
end

function ingame.finish(result, broken)
    ingame.phase = "result"
    ingame.broken = broken
    ingame.result = result
    ingame.resultTime = 0
    ingame.beaten, ingame.stars = false, 0
    if broken then
        ingame.stars = 0
    elseif Demo.active or ingame.isTrial() then
        -- The demo and the editor's test-plays leave the player's highscores
        -- and unlocks alone.
        ingame.stars = Progress.starsFor(ingame.level, result.score, result.won)
    else
        ingame.beaten, ingame.stars = Progress.record(ingame.level, result.score, result.won,
            episodes)
    end
    ingame.best = highscores[ingame.level]
    ingame.ticks = 0
    ingame.starsShown = 0
    UiSound.play(result.won and "win" or "lose")
    -- A test-play goes back to the editor, not on to the game's next level.
    local nextName = result.won and not ingame.isTrial() and
        Progress.nextLevel(ingame.level, episodes) or nil
    local entries
    if result.won then
        entries = {}
        if nextName then
            entries[#entries + 1] = { "RESULT_NEXT", function() ingame.start(nextName) end }
        end
        entries[#entries + 1] = { "RESULT_REPLAY", function() ingame.start(ingame.level) end }
        entries[#entries + 1] = { "RESULT_LEVELS", function() ingame.leave() end }
    else
        entries = {
            { "RESULT_RETRY", function() ingame.start(ingame.level) end },
            { "RESULT_LEVELS", function() ingame.leave() end },
        }
    end
    ingame.resultMenu = Menu.new(Menu.column(0, 0, entries, 240, 46, 10),
        function() ingame.leave() end)
    ingame.resultMenu:setFocus(1, true)
end

-- Seconds the count-up of the panel lasts in all.
local function countLength()
    local r = ingame.result
    if not r or not r.won then
        return 0.3
    end
    return COUNT_TIME + (r.birdsLeft or 0) * BONUS_STEP + ingame.stars * STAR_STEP
end

function ingame.countDone()
    return ingame.phase == "result" and ingame.resultTime >= countLength()
end

-- What the panel shows at its time t: the score so far, the birds whose
-- bonus has been added and the stars lit.
local function counted(t)
    local r = ingame.result
    local base = r.baseScore or r.score
    if not r.won then
        return base, 0, 0
    end
    if t < COUNT_TIME then
        return math.floor(base * t / COUNT_TIME), 0, 0
    end
    local birds = math.min(r.birdsLeft or 0, math.floor((t - COUNT_TIME) / BONUS_STEP))
    local score = base + birds * (r.birdBonus or 0)
    local afterBonus = COUNT_TIME + (r.birdsLeft or 0) * BONUS_STEP
    local stars = 0
    if t >= afterBonus then
        score = r.score
        stars = math.min(ingame.stars, 1 + math.floor((t - afterBonus) / STAR_STEP))
    end
    return score, birds, stars
end

local function updateResult(dt)
    local before = ingame.resultTime
    ingame.resultTime = ingame.resultTime + dt
    local _, _, starsBefore = counted(before)
    local _, birds, stars = counted(ingame.resultTime)
    if ingame.result.won and ingame.resultTime < COUNT_TIME then
        local tick = math.floor(ingame.resultTime / 0.08)
        if tick ~= ingame.ticks then
            ingame.ticks = tick
            UiSound.play("score_tick")
        end
    end
    if birds > (ingame.birdsShown or 0) then
        UiSound.play("score_tick")
    end
    ingame.birdsShown = birds
    if stars > starsBefore then
        UiSound.play("star")
    end
    if Demo.active then
        Demo.updateResult(dt)
        return
    end
    -- Enter while counting skips to the end; after that it picks the focus.
    if not ingame.countDone() and (Input.confirm() or Input.pressed) then
        ingame.resultTime = countLength()
        return
    end
    ingame.resultMenu:update(dt)
end

function ingame.layout()
    local w, h = screenSize()
    local pause = ingame.hud.items[1]
    pause.x, pause.y = w - 60, 12
    if ingame.phase == "paused" then
        ingame.layoutPause()
    elseif ingame.phase == "result" then
        for i, item in ipairs(ingame.resultMenu.items) do
            item.x, item.y = w / 2 - item.w / 2, h / 2 + 40 + (i - 1) * 54
        end
    end
end

function ingame.update(dt)
    if ingame.phase == "paused" then
        ingame.pauseMenu:update(dt)
        return
    end
    if ingame.phase == "result" then
        if ingame.running then
            Play.update(dt, false)
        end
        updateResult(dt)
        return
    end
    ingame.levelTime = ingame.levelTime + dt
    local overHud = ingame.hud:itemAt(Input.x, Input.y) ~= nil or ingame.hud.pressedItem ~= nil
    if Demo.active then
        Demo.update(dt)
        Play.update(dt, false)
    else
        if Input.key("ESCAPE") or Input.key("P") then
            UiSound.play("click")
            ingame.pause()
            return
        end
        ingame.hud:update(dt)
        if ingame.phase ~= "playing" then
            return
        end
        Play.update(dt, not overHud)
        if Input.key("R") then
            ingame.start(ingame.level)
            return
        end
    end
    local state = Play.state()
    if state == "won" or state == "lost" or state == "broken" then
        ingame.endTime = ingame.endTime + dt
        if ingame.endTime >= END_DELAY or state == "broken" then
            local result = state ~= "broken" and Play.result() or nil
            if type(result) ~= "table" then
                result = { won = false, score = Play.score() or 0, baseScore = Play.score() or 0,
                           birdBonus = 0, birdsLeft = 0 }
            end
            ingame.finish(result, state == "broken")
        end
    end
end

function ingame.layoutPause()
    local w, h = screenSize()
    for i, item in ipairs(ingame.pauseMenu.items) do
        item.x, item.y = w / 2 - item.w / 2, h / 2 - 100 + (i - 1) * 62
    end
end

local function drawBirdQueue(x, y)
    local birds = Play.birdsLeft() or {}
    for i, kind in ipairs(birds) do
        local name = "UI_BIRD_" .. string.upper(tostring(kind))
        local bw = res.getSpriteBounds(name)
        if bw == 0 then
            name = "UI_BIRD_QUILL"
        end
        setRenderState(0, 0, 1, 1, 0, 0, 0, i == 1 and 1 or 0.85)
        res.drawSprite(name, x + (i - 1) * 32, y, "TOP", "LEFT")
    end
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
end

-- A text key wrapped into a soft box at the bottom of the screen.
local function drawHint(key)
    local w, h = screenSize()
    res.useFont("sans_18")
    local width = math.min(560, w - 80)
    clipText("texts", key, width)
    local lines = clippedText and clippedText.lines or {}
    local boxH = #lines * 24 + 16
    local top = h - boxH - 16
    drawRect(0.1, 0.08, 0.05, 0.6, w / 2 - width / 2 - 14, top, w / 2 + width / 2 + 14,
        top + boxH, false)
    for i, line in ipairs(lines) do
        Text.draw(line, w / 2, top + 8 + (i - 1) * 24 + 12, { font = "sans_18", plain = true })
    end
end

function ingame.drawHud()
    local w, h = screenSize()
    drawRect(0.1, 0.08, 0.05, 0.35, 8, 8, 200, 90, false)
    Text.draw(Text.labelled("HUD_SCORE", Text.number(Play.score() or 0)), 18, 14,
        { font = "sans_bold_18", h = "LEFT", v = "TOP", shadow = true, plain = true })
    Text.draw(Text.labelled("HUD_HIGHSCORE", Text.number(highscores[ingame.level] or 0)), 18,
        38, { font = "sans_14", h = "LEFT", v = "TOP", shadow = true, plain = true })
    drawBirdQueue(16, 58)
    local title, plain = levelTitle(ingame.level)
    Text.draw(title, w / 2, 22, { font = "sans_bold_18", shadow = true, plain = plain })
    if Demo.active then
        Text.draw("DEMO_BANNER", w - 80, 36, { font = "sans_bold_18", h = "RIGHT", shadow = true,
                                               color = { 1, 0.85, 0.4, 1 } })
    end
    ingame.hud:draw()
    local hint = Play.hint and Play.hint() or nil
    if not hint and ingame.isFirstLevel() then
        hint = "HUD_HELP"
    end
    if hint and not Demo.active and ingame.levelTime < 10 and Play.state() == "aiming" then
        drawHint(hint)
    end
end

function ingame.isFirstLevel()
    local order = Progress.levelOrder(episodes)
    return order[1] and order[1].name == ingame.level
end

local function drawResult()
    local w, h = screenSize()
    local r = ingame.result
    drawVeil(0.45)
    drawPanel(w / 2, h / 2, 440, 430)
    local top = h / 2 - 215
    Text.draw(ingame.broken and "RESULT_BROKEN" or (r.won and "RESULT_WON" or "RESULT_LOST"),
        w / 2, top + 42, { font = ingame.broken and "sans_bold_18" or "sans_bold_28",
                           color = DARK_TEXT })
    local title, plain = levelTitle(ingame.level)
    Text.draw(title, w / 2, top + 74, { font = "sans_18", color = DARK_TEXT, plain = plain })
    if r.won then
        local score, birds, stars = counted(ingame.resultTime)
        for s = 1, 3 do
            local lit = s <= stars
            setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
            res.drawSprite(lit and "UI_STAR_BIG" or "UI_STAR_BIG_EMPTY", w / 2 + (s - 2) * 76,
                top + 122 - (s == 2 and 10 or 0))
        end
        Text.draw(Text.number(score), w / 2, top + 180, { font = "sans_bold_28",
                                                          color = DARK_TEXT, plain = true })
        if (r.birdsLeft or 0) > 0 then
            local line = Text.get("RESULT_BONUS") .. " " .. birds .. " × " ..
                Text.number(r.birdBonus or 0)
            Text.draw(line, w / 2, top + 210, { font = "sans_14", color = DARK_TEXT, plain = true })
        end
        if ingame.beaten and ingame.countDone() then
            Text.draw("RESULT_HIGHSCORE", w / 2, top + 232,
                { font = "sans_bold_18", color = { 0.85, 0.35, 0.1, 1 } })
        end
    elseif not ingame.broken then
        Text.draw("RESULT_LOST_TEXT", w / 2, top + 140, { font = "sans_18", color = DARK_TEXT })
        Text.draw(Text.labelled("RESULT_SCORE", Text.number(r.score or 0)), w / 2, top + 180,
            { font = "sans_bold_18", color = DARK_TEXT, plain = true })
    end
    ingame.resultMenu:draw()
end

function ingame.draw(dt)
    if ingame.running then
        Play.draw()
    else
        drawSky("meadow")
    end
    if ingame.phase == "result" then
        drawResult()
        return
    end
    ingame.drawHud()
    if ingame.phase == "paused" then
        local w, h = screenSize()
        drawVeil(0.5)
        Text.draw("PAUSE_TITLE", w / 2, h / 2 - 150, { font = "sans_bold_28", shadow = true })
        ingame.pauseMenu:draw()
    end
end

-- The window lost the focus: a level in play pauses.
function Flow.windowPaused()
    if Flow.current == ingame and ingame.phase == "playing" and not Demo.active then
        ingame.pause()
    end
end

Flow.ingame = ingame
