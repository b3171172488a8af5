-- The editing screen: the level in the middle, the tool bar above it (the
-- level's name, theme and birds, save, test and back) and the palette of the
-- block catalogue below. The mouse places, picks and drags; keys turn,
-- delete, nudge, undo and redo.

local editor = Editor
Flow.screens.editor = editor

local BAR_H = 44
local TILE, TILE_GAP = 40, 4
local BUTTON_H = 32
local NUDGE = 0.05 -- world units an arrow key moves a piece
local SLING_GRAB = 1.2 -- world units around the sling that pick it up
local MESSAGE_TIME = 6 -- seconds a message stays
local MAX_NAME = 32

local MATERIAL_ORDER = { gremlin = 1, armour = 2, wood = 3, stone = 4, ice = 5, fixed = 6 }
local WARN = { 1, 0.72, 0.6, 1 }

-- The catalogue's pieces in palette order: targets, then by material.
function Editor.paletteNames(catalogue)
    local names = {}
    for name in pairs(catalogue.blocks) do
        names[#names + 1] = name
    end
    local function rank(name)
        return MATERIAL_ORDER[catalogue.blocks[name].material] or 99
    end
    table.sort(names, function(a, b)
        if rank(a) ~= rank(b) then
            return rank(a) < rank(b)
        end
        return a < b
    end)
    return names
end

-- Starts editing name (the level table, or nil for a new level).
function Editor.start(name, level)
    editor.doc = EditorDoc.new(name, level)
    editor.nameText = name
    editor.selected, editor.armed, editor.drag = nil, nil, nil
    editor.typing = false
    editor.say(nil)
    EditorScene.resetView()
    Flow.go("editor")
end

-- A message under the tool bar: a text key, and a plain detail line.
function editor.say(key, detail)
    editor.message = key and { key = key, detail = detail, time = 0 } or nil
end

function editor.rebuild()
    local ok, problem = EditorScene.build(editor.doc.level)
    editor.builtVersion = editor.doc.version
    if not ok then
        editor.say("EDITOR_BUILD_FAILED", problem)
    end
end

function editor.enter(arg)
    Music.menu()
    -- The document outlives a reload of the scripts (Editor is kept); it takes
    -- the methods of the document script now loaded.
    if editor.doc then
        setmetatable(editor.doc, EditorDoc)
    end
    editor.palette = Editor.paletteNames(blockTable)
    editor.drag = nil
    editor.rebuild()
end

local function leave()
    EditorScene.leave()
    Flow.go("editorOpen")
end

---------------------------------------------------------------------------
-- What the tools do; the tests call these as the buttons and keys do.

-- Saves under the name in the name field. True when saved; otherwise the
-- reason is shown and the level stays as it is.
function Editor.save()
    local name = editor.nameText
    local result = saveLevelSource(name, EditorDoc.copy(editor.doc.level))
    if result == "BAD_NAME" then
        editor.say("EDITOR_BAD_NAME", name)
        return false
    elseif result ~= "" then
        editor.say("EDITOR_SAVE_FAILED", result)
        return false
    end
    editor.doc:rename(name)
    editor.doc.dirty = false
    editor.say("EDITOR_SAVED", "levels/" .. name .. ".lua")
    return true
end

-- Saves and plays the level through the game's own level screen; Back
-- from there comes back here (see editor.lua).
function Editor.test()
    if not Editor.save() then
        return false
    end
    local problem = Level.check(editor.doc.level, editor.doc.name .. ".lua", blockTable,
        Birds.kinds)
    if problem then
        editor.say("EDITOR_CANNOT_TEST", problem)
        return false
    end
    Editor.testing = editor.doc.name
    EditorScene.leave()
    Flow.go("play", editor.doc.name)
    return true
end

-- Unsaved edits are only left when Back is chosen again while it warns.
function Editor.back()
    local warned = editor.message and editor.message.key == "EDITOR_UNSAVED"
    if editor.doc.dirty and not warned then
        editor.say("EDITOR_UNSAVED")
        return false
    end
    leave()
    return true
end

function Editor.undo()
    editor.doc:undo()
    editor.forgetLost()
end

function Editor.redo()
    editor.doc:redo()
    editor.forgetLost()
end

-- The selection of a piece that an undo took away goes.
function editor.forgetLost()
    if editor.selected and not editor.doc.level.world[editor.selected] then
        editor.selected = nil
    end
end

---------------------------------------------------------------------------
-- Layout

local function toolButtons()
    local w = screenSize()
    local doc = editor.doc
    local buttons = {}
    local x = 6
    local function add(id, width, action, label, plain)
        buttons[#buttons + 1] = { id = id, x = x, y = 6, w = width, h = BUTTON_H, action = action,
                                  label = label, plain = plain }
        x = x + width + 6
    end
    local rightButtons = { { "back", "MENU_BACK", Editor.back },
                           { "test", "EDITOR_TEST", Editor.test },
                           { "save", "EDITOR_SAVE", Editor.save } }
    local right = w - 6
    add("name", 96, function() editor.typing = true end, editor.nameText, true)
    add("theme", 84, function() doc:cycleTheme(blockTable, 1) end,
        "EDITOR_THEME_" .. string.upper(doc.level.theme or ""))
    add("water", 96, function() doc:toggleWater() end,
        doc.level.water and "EDITOR_WATER_ON" or "EDITOR_WATER_OFF")
    -- The birds overlap more when many would reach the buttons on the right.
    local birds = #doc.level.birds
    local room = right - #rightButtons * 70 - x - 3 * 28
    local stride = math.max(4, math.min(24, math.floor(room / math.max(1, birds - 1))))
    for i = 1, birds do
        add("bird" .. i, 22, function() doc:cycleBird(i) end)
        x = x - 28 + stride
    end
    x = x + 28 - stride
    add("addBird", 22, function() doc:addBird("quill") end, "+", true)
    add("removeBird", 22, function() doc:removeBird() end, "-", true)
    for _, b in ipairs(rightButtons) do
        right = right - 70
        buttons[#buttons + 1] = { id = b[1], x = right, y = 6, w = 64, h = BUTTON_H,
                                  action = b[3], label = b[2] }
    end
    return buttons
end

local function paletteTiles()
    local w, h = screenSize()
    local columns = math.max(1, math.floor((w - 8) / (TILE + TILE_GAP)))
    local rows = math.ceil(#editor.palette / columns)
    local top = h - rows * (TILE + TILE_GAP) - 4
    local tiles = {}
    for i, name in ipairs(editor.palette) do
        local col, row = (i - 1) % columns, math.floor((i - 1) / columns)
        tiles[i] = { name = name, x = 6 + col * (TILE + TILE_GAP),
                     y = top + row * (TILE + TILE_GAP), w = TILE, h = TILE }
    end
    return tiles, top
end

function editor.layout()
    local w = screenSize()
    editor.buttons = toolButtons()
    local tiles, top = paletteTiles()
    editor.tiles = tiles
    editor.viewTop, editor.viewBottom = BAR_H, top - 4
    EditorScene.fit(editor.doc.level.bounds, 0, BAR_H + 18, w, editor.viewBottom - BAR_H - 18)
end

local function inside(box, x, y)
    return x >= box.x and x < box.x + box.w and y >= box.y and y < box.y + box.h
end

local function hit(list, x, y)
    for _, item in ipairs(list or {}) do
        if inside(item, x, y) then
            return item
        end
    end
    return nil
end

---------------------------------------------------------------------------
-- Input

-- A modifier counts when it is held or went down this frame: a quick
-- Ctrl+Z may press and let go of both between two frames.
local function modifier(name)
    return (type(keyHold) == "table" and keyHold[name] == true) or
        (type(keyPressed) == "table" and keyPressed[name] == true)
end

local function ctrl()
    return modifier("CONTROL")
end

local function shift()
    return modifier("SHIFT")
end

-- Letters, digits, '-' and '_' typed into the name field.
local function typeName()
    local text = editor.nameText
    if Input.key("BACKSPACE") then
        text = string.sub(text, 1, -2)
    end
    for code = string.byte("A"), string.byte("Z") do
        local key = string.char(code)
        if Input.key(key) then
            text = text .. (shift() and key or string.lower(key))
        end
    end
    for digit = 0, 9 do
        if Input.key(tostring(digit)) then
            text = text .. digit
        end
    end
    if Input.key("DASH") then
        text = text .. (shift() and "_" or "-")
    end
    editor.nameText = string.sub(text, 1, MAX_NAME)
    if Input.key("RETURN") or Input.key("ESCAPE") or Input.key("TAB") then
        editor.typing = false
    end
end

local function pointerWorld()
    return EditorScene.screenToWorld(Input.x, Input.y)
end

local function inView(y)
    return y >= editor.viewTop and y < editor.viewBottom
end

local function nearSling(x, y)
    local s = editor.doc.level.slingshot
    return type(s) == "table" and math.abs(x - s.x) < SLING_GRAB and math.abs(y - s.y) < SLING_GRAB
end

local function pressInView()
    local doc = editor.doc
    local x, y = pointerWorld()
    local piece = doc:pieceAt(blockTable, x, y)
    if piece then
        editor.selected = piece
        local entry = doc.level.world[piece]
        editor.drag = { piece = piece, dx = entry.x - x, dy = entry.y - y }
    elseif nearSling(x, y) then
        local s = doc.level.slingshot
        editor.drag = { sling = true, dx = s.x - x, dy = s.y - y }
    elseif editor.armed then
        editor.selected = doc:place(editor.armed, x, y)
        return
    else
        editor.selected = nil
        return
    end
    doc:beginDrag()
end

local function updateDrag()
    local drag = editor.drag
    if not drag then
        return
    end
    local x, y = pointerWorld()
    if Input.down then
        if drag.sling then
            editor.doc:moveSling(x + drag.dx, y + drag.dy)
        else
            editor.doc:move(drag.piece, x + drag.dx, y + drag.dy)
        end
    end
    if not Input.down or Input.released then
        editor.doc:endDrag()
        editor.drag = nil
    end
end

local function clickTools()
    local button = hit(editor.buttons, Input.x, Input.y)
    if button then
        editor.typing = button.id == "name"
        UiSound.play("click")
        button.action()
        return true
    end
    local tile = hit(editor.tiles, Input.x, Input.y)
    if tile then
        editor.typing = false
        editor.armed = editor.armed ~= tile.name and tile.name or nil
        UiSound.play("click")
        return true
    end
    return false
end

local function editKeys()
    local doc = editor.doc
    if ctrl() then
        if Input.key("Z") then
            if shift() then Editor.redo() else Editor.undo() end
        elseif Input.key("Y") then
            Editor.redo()
        elseif Input.key("S") then
            Editor.save()
        end
        return
    end
    local piece = editor.selected
    if piece then
        if Input.key("DELETE") or Input.key("BACKSPACE") then
            doc:remove(piece)
            editor.selected = nil
            return
        end
        local turn = (Input.key("E") and 1 or 0) - (Input.key("Q") and 1 or 0) + (Input.wheel or 0)
        if turn ~= 0 then
            doc:rotate(piece, turn)
        end
        local entry = doc.level.world[piece]
        for _, arrow in ipairs({ { "LEFT", -1, 0 }, { "RIGHT", 1, 0 }, { "UP", 0, -1 },
                                 { "DOWN", 0, 1 } }) do
            if entry and Input.key(arrow[1]) then
                doc:move(piece, entry.x + arrow[2] * NUDGE, entry.y + arrow[3] * NUDGE)
            end
        end
    end
    if Input.key("ESCAPE") then
        if editor.selected or editor.armed then
            editor.selected, editor.armed = nil, nil
        else
            Editor.back()
        end
    end
end

-- Ctrl and the wheel zoom about the pointer, the right or middle button
-- drags the view, Home shows the whole level again. True when it did any.
local function moveView()
    if ctrl() and (Input.wheel or 0) ~= 0 then
        EditorScene.zoomAt(Input.x, Input.y, 1.25 ^ Input.wheel)
        return true
    end
    local held = type(keyHold) == "table" and (keyHold.RBUTTON or keyHold.MBUTTON)
    if held and editor.panFrom then
        EditorScene.pan(Input.x - editor.panFrom[1], Input.y - editor.panFrom[2])
    end
    editor.panFrom = held and { Input.x, Input.y } or nil
    if Input.key("HOME") and not editor.typing then
        EditorScene.resetView()
        return true
    end
    return held
end

-- The pointer and the keys on the level and the tools.
local function editInput()
    if editor.drag then
        updateDrag()
    elseif Input.pressed then
        if not clickTools() then
            editor.typing = false
            if inView(Input.y) then
                pressInView()
                updateDrag()
            end
        end
    elseif editor.typing then
        typeName()
    else
        editKeys()
    end
end

function editor.update(dt)
    if editor.message then
        editor.message.time = editor.message.time + dt
        if editor.message.time > MESSAGE_TIME then
            editor.message = nil
        end
    end
    if not moveView() then
        editInput()
    end
    if Flow.current == editor and editor.builtVersion ~= editor.doc.version then
        editor.rebuild()
    end
end

---------------------------------------------------------------------------
-- Drawing

local function drawButton(b)
    local hover = inside(b, Input.x, Input.y)
    local sprite = hover and "UI_BUTTON_HOVER" or "UI_BUTTON"
    if b.id == "name" and editor.typing then
        sprite = "UI_BUTTON_PRESS"
    end
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    res.drawSprite(sprite, b.x, b.y, "TOP", "LEFT", b.w, b.h)
    if b.id:sub(1, 4) == "bird" and not b.label then
        local kind = editor.doc.level.birds[tonumber(b.id:sub(5))]
        local icon = "UI_BIRD_" .. string.upper(kind or "")
        if res.getSpriteBounds(icon) == 0 then
            icon = "UI_BIRD_QUILL"
        end
        res.drawSprite(icon, b.x + 1, b.y + 5, "TOP", "LEFT", 20, 20)
        return
    end
    local label = b.label
    if b.id == "name" and editor.typing and math.floor(Flow.time * 2) % 2 == 0 then
        label = label .. "|"
    end
    Text.draw(label, b.x + b.w / 2, b.y + b.h / 2, { font = "sans_14", shadow = true,
                                                     plain = b.plain })
end

local function drawTile(tile)
    local look = editor.armed == tile.name and "UI_TILE_PRESS" or
        (inside(tile, Input.x, Input.y) and "UI_TILE_HOVER" or "UI_TILE")
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    res.drawSprite(look, tile.x, tile.y, "TOP", "LEFT", tile.w, tile.h)
    local def = blockTable.blocks[tile.name]
    local sw, sh = res.getSpriteBounds(def.sprite)
    if sw > 0 and sh > 0 then
        local k = math.min((tile.w - 8) / sw, (tile.h - 8) / sh)
        local dw, dh = sw * k, sh * k
        res.drawSprite(def.sprite, tile.x + (tile.w - dw) / 2, tile.y + (tile.h - dh) / 2, "TOP",
            "LEFT", dw, dh)
    end
    if editor.armed == tile.name then
        drawRectLines(tile.x, tile.y, tile.x + tile.w, tile.y + tile.h, 2, 255, 210, 60, 255)
    end
end

local function drawMessage(w)
    local m = editor.message
    local key, detail = "EDITOR_HELP", nil
    local color = WHITE_TEXT
    if m then
        key, detail = m.key, m.detail
        color = (key == "EDITOR_SAVED") and { 0.8, 1, 0.75, 1 } or WARN
    end
    local line = Text.get(key)
    if detail and detail ~= "" then
        line = line .. ": " .. detail
    end
    Text.draw(line, w / 2, BAR_H + 9,
        { font = "sans_14", shadow = true, plain = true, color = color })
end

function editor.draw(dt)
    local w, h = screenSize()
    local doc = editor.doc
    EditorScene.draw(doc.level)
    -- The selection and the piece under the pointer.
    local x, y = pointerWorld()
    local hovered = inView(Input.y) and doc:pieceAt(blockTable, x, y)
    for name, color in pairs({ [hovered or ""] = { 255, 255, 255 },
                               [editor.selected or ""] = { 255, 210, 60 } }) do
        local entry = doc.level.world[name]
        local def = entry and blockTable.blocks[entry.definition]
        if def then
            EditorScene.outline(entry, def, color[1], color[2], color[3])
        end
    end
    -- The piece about to be placed, under the pointer.
    if editor.armed and inView(Input.y) and not hovered and not editor.drag then
        local def = blockTable.blocks[editor.armed]
        EditorScene.ghost(def, x, y)
        EditorScene.outline({ x = x, y = y }, def, 160, 230, 255)
    end
    drawRect(0.1, 0.08, 0.05, 0.7, 0, 0, w, BAR_H, false)
    drawRect(0.1, 0.08, 0.05, 0.35, 0, BAR_H, w, BAR_H + 18, false)
    drawRect(0.1, 0.08, 0.05, 0.7, 0, editor.viewBottom, w, h, false)
    for _, b in ipairs(editor.buttons) do
        drawButton(b)
    end
    for _, tile in ipairs(editor.tiles) do
        drawTile(tile)
    end
    drawMessage(w)
end
