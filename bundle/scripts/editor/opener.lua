-- The editor's first screen: start a new level or open one of the level
-- sources. Reached from the title when the game has sources to edit.

local opener = {}
Flow.screens.editorOpen = opener

local COLUMNS = 5
local BUTTON_W, BUTTON_H, GAP = 112, 40, 10

-- The first of new01, new02, ... that names no level source yet.
function Editor.freeLevelName(names)
    local taken = {}
    for _, name in ipairs(names) do
        taken[name] = true
    end
    local n = 1
    while taken[string.format("new%02d", n)] do
        n = n + 1
    end
    return string.format("new%02d", n)
end

-- Opens the level source name in the editor; false (and the reason shown)
-- when it cannot be read.
function Editor.openLevel(name)
    local ok, level = pcall(readLevelSource, name)
    if not ok then
        opener.problem = tostring(level)
        return false
    end
    Editor.start(name, level)
    return true
end

function Editor.newLevel(name)
    Editor.start(name or Editor.freeLevelName(levelSourceNames()), nil)
end

function opener.enter()
    Music.menu()
    opener.problem = nil
    opener.names = levelSourceNames()
    local items = { { kind = "button", label = "EDITOR_NEW", w = 240, h = 48,
                      action = function() Editor.newLevel() end } }
    for _, name in ipairs(opener.names) do
        items[#items + 1] = { kind = "button", label = name, plain = true, w = BUTTON_W,
                              h = BUTTON_H, action = function() Editor.openLevel(name) end }
    end
    items[#items + 1] = { kind = "button", label = "MENU_BACK", w = 200, h = 48,
                          action = function() Flow.go("title") end }
    opener.menu = Menu.new(items, function() Flow.go("title") end)
    opener.menu:setFocus(1, true)
end

function opener.layout()
    local w, h = screenSize()
    local items = opener.menu.items
    local first = items[1]
    first.x, first.y = w / 2 - first.w / 2, h * 0.18
    local gridW = COLUMNS * BUTTON_W + (COLUMNS - 1) * GAP
    local top = first.y + first.h + 24
    local rows = 0
    for i = 2, #items - 1 do
        local k = i - 2
        local col, row = k % COLUMNS, math.floor(k / COLUMNS)
        items[i].x = w / 2 - gridW / 2 + col * (BUTTON_W + GAP)
        items[i].y = top + row * (BUTTON_H + GAP)
        rows = row + 1
    end
    local back = items[#items]
    back.x, back.y = w / 2 - back.w / 2, math.min(h - 60, top + rows * (BUTTON_H + GAP) + 16)
end

function opener.update(dt)
    opener.menu:update(dt)
end

function opener.draw(dt)
    local w, h = screenSize()
    drawTitleScene(Flow.time + 60)
    drawVeil(0.45)
    Text.draw("EDITOR_OPEN_TITLE", w / 2, h * 0.08, { font = "sans_bold_28", shadow = true })
    opener.menu:draw()
    if opener.problem then
        Text.draw("EDITOR_OPEN_FAILED", w / 2, h - 36, { font = "sans_14", shadow = true,
                                                          color = { 1, 0.7, 0.6, 1 } })
        Text.draw(opener.problem, w / 2, h - 18, { font = "sans_14", shadow = true, plain = true })
    end
end
