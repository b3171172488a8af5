-- The screens around the levels: the title with its main menu, the level
-- select of each episode, the settings and the notice about a damaged save.
-- Flow switches between them and the level screen of ui/ingame.lua.

Flow = { screens = {}, time = 0 }

function Flow.go(name, arg)
    local screen = Flow.screens[name]
    Flow.current = screen
    Flow.currentName = name
    Flow.time = 0
    if screen.enter then
        screen.enter(arg)
    end
end

function Flow.update(dt)
    Flow.time = Flow.time + dt
    local screen = Flow.current
    if not screen then
        return
    end
    if Flow.notice then
        if screen.layout then
            screen.layout()
        end
        screen.draw(dt, false)
        Flow.drawNotice(dt)
        return
    end
    if screen.layout then
        screen.layout()
    end
    screen.update(dt)
    -- The screen may have switched during its update; a new one is laid out
    -- before its first picture.
    screen = Flow.current
    if screen.layout then
        screen.layout()
    end
    screen.draw(dt, true)
end

-- Background colours of each episode's theme, top and bottom of the sky.
local SKIES = {
    meadow = { { 0.45, 0.75, 0.93 }, { 0.80, 0.93, 0.98 } },
    frost = { { 0.20, 0.45, 0.55 }, { 0.70, 0.88, 0.90 } },
    dusk = { { 0.45, 0.22, 0.38 }, { 0.98, 0.62, 0.35 } },
}

function drawSky(theme)
    local sky = SKIES[theme] or SKIES.meadow
    local w, h = screenSize()
    local bands = 16
    for i = 0, bands - 1 do
        local u = i / (bands - 1)
        local r = sky[1][1] + (sky[2][1] - sky[1][1]) * u
        local g = sky[1][2] + (sky[2][2] - sky[1][2]) * u
        local b = sky[1][3] + (sky[2][3] - sky[1][3]) * u
        drawRect(r, g, b, 1, 0, math.floor(h * i / bands), w, math.floor(h * (i + 1) / bands) + 1,
            false)
    end
end

local function draw(name, x, y, scale, angle)
    setRenderState(x, y, scale or 1, scale or 1, angle or 0, 0, 0, 1)
    res.drawSprite(name, 0, 0)
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
end

-- Rolling hills, drifting clouds, a gremlin on its tower and a bird looping
-- over them; t is the seconds since the screen appeared.
function drawTitleScene(t)
    local w, h = screenSize()
    drawSky("meadow")
    for i, c in ipairs({ { 0.12, 14, 0.9 }, { 0.3, -9, 0.7 }, { 0.18, 22, 1.1 } }) do
        local span = w + 260
        local x = (c[2] * t + i * span / 3) % span - 130
        draw("UI_SCENE_CLOUD", x, h * c[1], c[3])
    end
    -- Far hills scroll slower than near ones.
    for layer = 1, 2 do
        local speed = layer == 1 and 6 or 14
        local y = h - (layer == 1 and 120 or 70)
        local offset = (t * speed) % 480
        for x = -offset, w, 480 do
            setRenderState(0, 0, 1, 1, 0, 0, 0, layer == 1 and 0.75 or 1)
            res.drawSprite("UI_SCENE_HILL", x, y, "TOP", "LEFT")
        end
    end
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    drawRect(0.31, 0.54, 0.18, 1, 0, h - 10, w, h, false)
    local tx, ty = w * 0.8, h - 60
    draw("UI_SCENE_TOWER", tx, ty)
    -- The gremlin bobs on the roof and ducks as the bird swoops past.
    local loop = 6
    local u = (t % loop) / loop
    local bx = -80 + u * (w + 160)
    local by = h * 0.55 - math.sin(u * math.pi) * h * 0.25 + math.sin(t * 5) * 6
    local near = math.abs(bx - tx) < 90
    local duck = near and 10 or 0
    draw("UI_SCENE_GREMLIN", tx, ty - 52 + duck + math.sin(t * 3) * 2)
    local climb = math.cos(u * math.pi) * 0.5
    draw("UI_SCENE_BIRD", bx, by, 1, -climb)
    -- A few feathers trail behind it.
    for k = 1, 3 do
        local fu = u - k * 0.02
        if fu > 0 then
            local fx = -80 + fu * (w + 160)
            local fy = h * 0.55 - math.sin(fu * math.pi) * h * 0.25 + k * 8
            setRenderState(0, 0, 1, 1, 0, 0, 0, 1 - k * 0.28)
            res.drawSprite("UI_STAR", fx - 20, fy + 10)
        end
    end
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
end

---------------------------------------------------------------------------
-- Title and main menu

local title = { menu = nil }
Flow.screens.title = title

function title.enter()
    Music.menu()
    local entries = {
        { "MENU_PLAY", function() Flow.go("levels") end },
        { "MENU_SETTINGS", function() Flow.go("settings", "title") end },
        { "MENU_QUIT", function() requestExit() end },
    }
    -- Last, so that the entries before it keep their places.
    if launch and launch.editor then
        entries[#entries + 1] = { "MENU_EDITOR", function() Flow.go("editorOpen") end }
    end
    title.menu = Menu.new(Menu.column(0, 0, entries))
    title.menu:setFocus(1, true)
end

local function layoutColumn(menu, x, y, h, gap)
    for i, item in ipairs(menu.items) do
        item.x = x - item.w / 2
        item.y = y + (i - 1) * ((h or 52) + (gap or 14))
    end
end

function title.layout()
    local w, h = screenSize()
    -- A fourth entry closes the column up, clear of the line of controls.
    layoutColumn(title.menu, w / 2, h * 0.42, 52, #title.menu.items > 3 and 6 or 14)
end

function title.update(dt)
    title.menu:update(dt)
end

function title.draw(dt)
    local w, h = screenSize()
    drawTitleScene(Flow.time)
    local rise = math.min(1, Flow.time / 0.8)
    local y = h * 0.16 - (1 - rise) * 40
    Text.draw("GAME_TITLE", w / 2, y, { font = "sans_bold_48", shadow = true,
                                        color = { 1, 0.96, 0.85, rise } })
    Text.draw("GAME_TAGLINE", w / 2, y + 44, { font = "sans_18", shadow = true })
    title.menu:draw()
    Text.draw("MENU_CONTROLS", w / 2, h - 24, { font = "sans_14", shadow = true })
end

---------------------------------------------------------------------------
-- Level select

local levels = { episode = 1 }
Flow.screens.levels = levels

local COLUMNS = 5
local TILE = 76
local GAP = 18

local function episodeList()
    return episodes or {}
end

local function buildLevelMenu()
    local list = episodeList()
    local episode = list[levels.episode]
    local items = {}
    items[#items + 1] = { kind = "icon", sprite = "UI_ARROW_LEFT", w = 48, h = 48,
                          action = function() levels.turn(-1) end }
    items[#items + 1] = { kind = "icon", sprite = "UI_ARROW_RIGHT", w = 48, h = 48,
                          action = function() levels.turn(1) end }
    levels.firstTile = #items + 1
    for i, name in ipairs(episode and episode.levels or {}) do
        local open = Progress.isUnlocked(name, list)
        items[#items + 1] = { kind = "tile", label = tostring(i), level = name, w = TILE, h = TILE,
                              locked = not open, disabled = not open,
                              stars = progress.stars[name] or 0,
                              action = function() Flow.go("play", name) end }
    end
    items[#items + 1] = { kind = "button", label = "MENU_BACK", w = 200, h = 48,
                          action = function() Flow.go("title") end }
    local menu = Menu.new(items, function() Flow.go("title") end)
    return menu
end

function levels.turn(step)
    local count = #episodeList()
    if count == 0 then
        return
    end
    levels.episode = (levels.episode - 1 + step) % count + 1
    levels.menu = buildLevelMenu()
    levels.focusFirstOpen()
end

-- Focus the first level not yet won, else the first one.
function levels.focusFirstOpen()
    local menu = levels.menu
    local pick
    for i = levels.firstTile, #menu.items do
        local item = menu.items[i]
        if item.kind == "tile" and not item.locked then
            pick = pick or i
            if (item.stars or 0) == 0 then
                pick = i
                break
            end
        end
    end
    menu:setFocus(pick or #menu.items, true)
end

-- Opens on the episode of the given level, if any.
function levels.enter(levelName)
    Music.menu()
    for e, episode in ipairs(episodeList()) do
        for _, name in ipairs(episode.levels or {}) do
            if name == levelName then
                levels.episode = e
            end
        end
    end
    if levels.episode > #episodeList() then
        levels.episode = 1
    end
    levels.menu = buildLevelMenu()
    levels.focusFirstOpen()
    if levelName then
        for i, item in ipairs(levels.menu.items) do
            if item.level == levelName and not item.locked then
                levels.menu:setFocus(i, true)
            end
        end
    end
end

function levels.layout()
    local w, h = screenSize()
    local menu = levels.menu
    local tiles = {}
    for _, item in ipairs(menu.items) do
        if item.kind == "tile" then
            tiles[#tiles + 1] = item
        end
    end
    -- Rows as even as the count allows: six levels are two rows of three.
    local rows = math.max(1, math.ceil(#tiles / COLUMNS))
    local columns = math.max(1, math.ceil(#tiles / rows))
    local gridW = columns * TILE + (columns - 1) * GAP
    local top = h * 0.30
    for i, item in ipairs(tiles) do
        local col = (i - 1) % columns
        local row = math.floor((i - 1) / columns)
        item.x = w / 2 - gridW / 2 + col * (TILE + GAP)
        item.y = top + row * (TILE + GAP)
    end
    local left, right = menu.items[1], menu.items[2]
    local midY = top + (rows * (TILE + GAP) - GAP) / 2 - 24
    left.x, left.y = w / 2 - gridW / 2 - 80, midY
    right.x, right.y = w / 2 + gridW / 2 + 32, midY
    local single = #episodeList() < 2
    left.hidden, right.hidden = single, single
    local back = menu.items[#menu.items]
    back.x, back.y = w / 2 - back.w / 2, math.min(h - 70, top + rows * (TILE + GAP) + 30)
end

function levels.update(dt)
    -- A turned page is a new menu: it takes input once it has been laid out.
    if Input.key("PAGEUP") then
        levels.turn(-1)
        return
    elseif Input.key("PAGEDOWN") then
        levels.turn(1)
        return
    end
    levels.menu:update(dt)
end

function levels.draw(dt)
    local w, h = screenSize()
    local episode = episodeList()[levels.episode]
    drawSky(episode and episode.theme)
    drawRect(0, 0, 0, 0.18, 0, h * 0.22, w, h, false)
    Text.draw("LEVELS_TITLE", w / 2, h * 0.08, { font = "sans_bold_28", shadow = true })
    if episode then
        Text.draw(episode.title, w / 2, h * 0.17, { font = "sans_bold_18", shadow = true,
                                                    color = { 1, 0.93, 0.7, 1 } })
        local earned, total = 0, 0
        for _, name in ipairs(episode.levels or {}) do
            earned = earned + (progress.stars[name] or 0)
            total = total + 3
        end
        Text.draw(Text.get("LEVELS_STARS") .. " " .. earned .. " / " .. total, w - 16, 16,
            { font = "sans_14", h = "RIGHT", v = "TOP", shadow = true, plain = true })
    end
    levels.menu:draw()
    local focused = levels.menu.items[levels.menu.focus or 0]
    if focused and focused.level then
        local best = highscores[focused.level]
        local line = Text.get("LEVEL_" .. string.upper(focused.level))
        if best then
            line = line .. "  ·  " .. Text.labelled("HUD_HIGHSCORE", Text.number(best))
        end
        Text.draw(line, w / 2, h * 0.25, { font = "sans_18", shadow = true, plain = true })
    end
end

---------------------------------------------------------------------------
-- Settings, from the title or from the pause menu

local settingsScreen = {}
Flow.screens.settings = settingsScreen

local LANGUAGE_ORDER = { "en", "de" }

local function setAndSave(field, value)
    settings[field] = value
    Progress.saveSettings()
end

function applyLanguage()
    Text.setLanguage(settings.language)
end

function applyFullscreen()
    if not (launch and launch.headless) then
        setFullScreenMode(settings.fullscreen == true)
    end
end

function settingsScreen.enter(from)
    settingsScreen.from = from or "title"
    if settingsScreen.from == "title" then
        Music.menu()
    end
    local items = {
        { kind = "slider", label = "SETTINGS_VOLUME", get = function() return settings.volume end,
          set = function(v)
              settings.volume = v
              UiSound.applyVolume()
              settingsScreen.dirty = true
          end },
        { kind = "toggle", label = "SETTINGS_SFX", get = function() return settings.sfx end,
          action = function() setAndSave("sfx", not settings.sfx) end },
        { kind = "toggle", label = "SETTINGS_MUSIC", get = function() return settings.music end,
          action = function()
              setAndSave("music", not settings.music)
              if settingsScreen.from == "title" then
                  Music.menu()
              end
          end },
        { kind = "choice", label = "SETTINGS_LANGUAGE",
          value = function() return "LANGUAGE_" .. string.upper(settings.language) end,
          action = function(step)
              local index = 1
              for i, l in ipairs(LANGUAGE_ORDER) do
                  if l == settings.language then
                      index = i
                  end
              end
              index = (index - 1 + (step or 1)) % #LANGUAGE_ORDER + 1
              setAndSave("language", LANGUAGE_ORDER[index])
              applyLanguage()
          end },
        { kind = "toggle", label = "SETTINGS_FULLSCREEN",
          get = function() return settings.fullscreen end,
          action = function()
              setAndSave("fullscreen", not settings.fullscreen)
              applyFullscreen()
          end },
        { kind = "button", label = "MENU_BACK", w = 200, h = 48,
          action = function() settingsScreen.leave() end },
    }
    settingsScreen.menu = Menu.new(items, function() settingsScreen.leave() end)
    settingsScreen.menu:setFocus(1, true)
end

function settingsScreen.leave()
    if settingsScreen.dirty then
        Progress.saveSettings()
        settingsScreen.dirty = false
    end
    if settingsScreen.from == "pause" then
        Flow.go("play", { resumePause = true })
    else
        Flow.go("title")
    end
end

local PANEL_W, PANEL_H = 520, 400

function settingsScreen.layout()
    local w, h = screenSize()
    local x0, y0 = w / 2 - PANEL_W / 2 + 30, h / 2 - PANEL_H / 2 + 80
    for i, item in ipairs(settingsScreen.menu.items) do
        if item.kind == "button" then
            item.x, item.y = w / 2 - item.w / 2, h / 2 + PANEL_H / 2 - 72
        else
            item.x, item.y, item.w, item.h = x0, y0 + (i - 1) * 48, PANEL_W - 60, 44
        end
    end
end

function settingsScreen.update(dt)
    local was = settingsScreen.menu.pressedItem
    settingsScreen.menu:update(dt)
    -- The volume is saved when the slider is let go, not on every step.
    if was and not settingsScreen.menu.pressedItem and settingsScreen.dirty then
        Progress.saveSettings()
        settingsScreen.dirty = false
        UiSound.play("click")
    end
end

function settingsScreen.draw(dt)
    local w, h = screenSize()
    if settingsScreen.from == "pause" and Play then
        Play.draw()
        drawVeil(0.5)
    else
        drawTitleScene(Flow.time + 30)
        drawVeil(0.25)
    end
    drawPanel(w / 2, h / 2, PANEL_W, PANEL_H)
    Text.draw("SETTINGS_TITLE", w / 2, h / 2 - PANEL_H / 2 + 42, { font = "sans_bold_28",
                                                                   color = DARK_TEXT })
    settingsScreen.menu:draw()
end

---------------------------------------------------------------------------
-- The notice about a damaged save, over whatever screen is showing

function Flow.showNotice(key)
    Flow.notice = { key = key, menu = Menu.new({ { kind = "button", label = "NOTICE_OK", w = 160,
                                                   h = 48, action = function() Flow.notice = nil end } },
        function() Flow.notice = nil end) }
    Flow.notice.menu:setFocus(1, true)
end

function Flow.drawNotice(dt)
    local notice = Flow.notice
    local w, h = screenSize()
    local pw, ph = 460, 230
    local ok = notice.menu.items[1]
    ok.x, ok.y = w / 2 - ok.w / 2, h / 2 + ph / 2 - 70
    notice.menu:update(dt)
    drawVeil(0.55)
    drawPanel(w / 2, h / 2, pw, ph)
    res.useFont("sans_18")
    clipText("texts", notice.key, pw - 70)
    local lines = clippedText and clippedText.lines or {}
    for i, line in ipairs(lines) do
        Text.draw(line, w / 2, h / 2 - ph / 2 + 40 + (i - 1) * 24,
            { font = "sans_18", color = DARK_TEXT, plain = true })
    end
    if Flow.notice then
        notice.menu:draw()
    end
end
