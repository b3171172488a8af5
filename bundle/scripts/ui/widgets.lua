-- Pointer and keys for the screens, and the widgets they are built of:
-- buttons, level tiles, icon buttons, sliders, switches and choices. The
-- mouse hovers and presses; the arrow keys move the focus to the nearest
-- widget in their direction, Enter or Space activates it, Esc goes back.

Input = { down = false, pressed = false, released = false, moved = false }

local keyRepeat = {}
local ARROWS = { "UP", "DOWN", "LEFT", "RIGHT" }

function Input.update(dt)
    Input.lastDt = dt
    local x, y = Input.x or 0, Input.y or 0
    if type(cursor) == "table" then
        x, y = tonumber(cursor.x) or x, tonumber(cursor.y) or y
    end
    local touch = type(touches) == "table" and touches["1"] or nil
    if touch then
        x, y = touch.x, touch.y
    end
    local down = (touchcount or 0) > 0
    -- The first frame only learns where the pointer is; it has not moved.
    Input.moved = Input.x ~= nil and (x ~= Input.x or y ~= Input.y)
    Input.x, Input.y = x, y
    -- A quick click may go down and up between two frames: the button's key
    -- edges still show it.
    local clickDown = type(keyPressed) == "table" and keyPressed.LBUTTON
    local clickUp = type(keyReleased) == "table" and keyReleased.LBUTTON
    Input.pressed = (down and not Input.down) or clickDown == true
    Input.released = ((not down) and Input.down) or (clickUp == true and not down)
    Input.down = down
    Input.wheel = type(cursor) == "table" and cursor.wheelTriggered and cursor.wheel or 0
    -- A held arrow repeats, so a slider or a long list can be swept.
    for _, name in ipairs(ARROWS) do
        if type(keyHold) == "table" and keyHold[name] then
            keyRepeat[name] = (keyRepeat[name] or 0) + dt
        else
            keyRepeat[name] = nil
        end
    end
end

local REPEAT_DELAY, REPEAT_EVERY = 0.4, 0.08

-- The key went down this frame (arrows also repeat while held).
function Input.key(name)
    if type(keyPressed) == "table" and keyPressed[name] then
        return true
    end
    local held = keyRepeat[name]
    if held and held > REPEAT_DELAY then
        local before = held - (Input.lastDt or 0)
        return math.floor((held - REPEAT_DELAY) / REPEAT_EVERY) ~=
            math.floor(math.max(0, before - REPEAT_DELAY) / REPEAT_EVERY)
    end
    return false
end

function Input.confirm()
    return Input.key("RETURN") or Input.key("SPACE")
end

function Input.back()
    return Input.key("ESCAPE") or Input.key("BACKSPACE")
end

-- Screen size now (the window may have been resized).
function screenSize()
    return g_updatedScreenWidth or screenWidth or 640, g_updatedScreenHeight or screenHeight or 480
end

Menu = {}
Menu.__index = Menu

-- items: widget tables (below); back: called on Esc. A menu made with
-- pointerOnly takes the mouse alone and leaves the keys to the screen under it.
function Menu.new(items, back, pointerOnly)
    local m = setmetatable({ items = items or {}, back = back, focus = nil, flash = 0,
                             pointerOnly = pointerOnly or false }, Menu)
    return m
end

function Menu:add(item)
    self.items[#self.items + 1] = item
    return item
end

local function inside(item, x, y)
    return x >= item.x and x < item.x + item.w and y >= item.y and y < item.y + item.h
end

function Menu:itemAt(x, y)
    for i = #self.items, 1, -1 do
        local item = self.items[i]
        if not item.hidden and inside(item, x, y) then
            return i
        end
    end
    return nil
end

function Menu:setFocus(index, quiet)
    if index ~= self.focus then
        self.focus = index
        if index and not quiet then
            UiSound.play("hover")
        end
    end
end

local function centre(item)
    return item.x + item.w / 2, item.y + item.h / 2
end

-- The widget nearest the focused one in direction (dx, dy); rows and columns
-- are preferred over diagonals.
function Menu:neighbour(dx, dy)
    local from = self.items[self.focus or 0]
    if not from then
        for i, item in ipairs(self.items) do
            if not item.hidden and not item.disabled then
                return i
            end
        end
        return nil
    end
    local fx, fy = centre(from)
    local best, bestCost
    for i, item in ipairs(self.items) do
        if i ~= self.focus and not item.hidden and not item.disabled then
            local x, y = centre(item)
            local along = (x - fx) * dx + (y - fy) * dy
            if along > 1 then
                local across = math.abs((x - fx) * dy) + math.abs((y - fy) * dx)
                local cost = along + across * 3
                if not bestCost or cost < bestCost then
                    best, bestCost = i, cost
                end
            end
        end
    end
    return best
end

local function stepValue(item, direction)
    if item.kind == "slider" then
        local v = item.get() + direction * (item.step or 0.1)
        item.set(math.max(0, math.min(1, math.floor(v * 20 + 0.5) / 20)))
        UiSound.play("hover")
        return true
    elseif item.kind == "toggle" or item.kind == "choice" then
        item.action(direction)
        UiSound.play("click")
        return true
    end
    return false
end

function Menu:activate(index)
    local item = self.items[index]
    if not item or item.disabled then
        return
    end
    self.flash = 0.12
    self.flashed = index
    UiSound.play("click")
    if item.action then
        item.action(1)
    end
end

local DIRECTIONS = { { "UP", 0, -1 }, { "DOWN", 0, 1 }, { "LEFT", -1, 0 }, { "RIGHT", 1, 0 } }

-- One frame of input; false when the input was not for this menu.
function Menu:update(dt)
    self.flash = math.max(0, self.flash - dt)
    local hovered = self:itemAt(Input.x, Input.y)
    if hovered and self.items[hovered].disabled then
        hovered = nil
    end
    self.hovered = hovered
    if Input.moved and hovered then
        self:setFocus(hovered)
    end
    if Input.pressed then
        self.pressedItem = hovered
    end
    local pressedItem = self.items[self.pressedItem or 0]
    if pressedItem and pressedItem.kind == "slider" and Input.down then
        local track = pressedItem.trackX
        local v = (Input.x - track) / pressedItem.trackW
        pressedItem.set(math.max(0, math.min(1, v)))
    end
    if Input.released then
        local index = self.pressedItem
        self.pressedItem = nil
        if index and index == hovered and self.items[index].kind ~= "slider" then
            self:activate(index)
            return true
        end
    end
    if self.pointerOnly then
        return false
    end
    local focused = self.items[self.focus or 0]
    for _, dir in ipairs(DIRECTIONS) do
        if Input.key(dir[1]) then
            if focused and dir[3] == 0 and stepValue(focused, dir[2]) then
                return true
            end
            local n = self:neighbour(dir[2], dir[3])
            if n then
                self:setFocus(n)
            end
            return true
        end
    end
    if Input.confirm() and focused then
        self:activate(self.focus)
        return true
    end
    if Input.back() and self.back then
        UiSound.play("click")
        self.back()
        return true
    end
    return false
end

-- Widget look: "normal", "hover" (pointer or keyboard focus) or "press".
function Menu:look(index)
    local item = self.items[index]
    if item.disabled then
        return "disabled"
    end
    if (self.pressedItem == index and self.hovered == index) or
        (self.flash > 0 and self.flashed == index) then
        return "press"
    end
    if self.focus == index then
        return "hover"
    end
    return "normal"
end

local BUTTON_SPRITES = { normal = "UI_BUTTON", hover = "UI_BUTTON_HOVER", press = "UI_BUTTON_PRESS",
                         disabled = "UI_BUTTON" }
local TILE_SPRITES = { normal = "UI_TILE", hover = "UI_TILE_HOVER", press = "UI_TILE_PRESS",
                       disabled = "UI_TILE_LOCKED" }
local DARK = { 0.27, 0.16, 0.08, 1 }
local WHITE = { 1, 1, 1, 1 }

local function sprite(name, x, y, w, h)
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    res.drawSprite(name, x, y, "TOP", "LEFT", w, h)
end

-- A sprite drawn into a box grown or shrunk about its centre.
local function spriteScaled(name, item, scale)
    local w, h = item.w * scale, item.h * scale
    sprite(name, item.x + (item.w - w) / 2, item.y + (item.h - h) / 2, w, h)
end

local function drawButton(item, look)
    sprite(BUTTON_SPRITES[look], item.x, item.y, item.w, item.h)
    local dy = look == "press" and 3 or 0
    Text.draw(item.label, item.x + item.w / 2, item.y + item.h / 2 + dy,
        { font = "sans_bold_18", shadow = true, plain = item.plain })
end

local function drawTile(item, look)
    sprite(TILE_SPRITES[item.locked and "disabled" or look], item.x, item.y, item.w, item.h)
    local dy = look == "press" and 3 or 0
    if item.locked then
        setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
        res.drawSprite("UI_LOCK", item.x + item.w / 2, item.y + item.h / 2 - 4)
    else
        Text.draw(item.label, item.x + item.w / 2, item.y + item.h / 2 - 8 + dy,
            { font = "sans_bold_28", shadow = true, plain = true })
        for s = 1, 3 do
            setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
            res.drawSprite(s <= (item.stars or 0) and "UI_STAR" or "UI_STAR_EMPTY",
                item.x + item.w / 2 + (s - 2) * 20, item.y + item.h - 16 + dy)
        end
    end
    if look == "hover" and item.locked then
        drawRectLines(item.x, item.y, item.x + item.w, item.y + item.h, 2, 255, 244, 194, 255)
    end
end

local function drawIcon(item, look)
    local scale = look == "hover" and 1.12 or (look == "press" and 0.92 or 1)
    spriteScaled(item.sprite, item, scale)
end

local function drawRowLabel(item)
    Text.draw(item.label, item.x + 8, item.y + item.h / 2, { font = "sans_18", h = "LEFT",
                                                              color = DARK })
end

local function drawRowFocus(item, look)
    if look == "hover" or look == "press" then
        drawRect(1, 0.93, 0.75, 0.9, item.x, item.y, item.x + item.w, item.y + item.h, false)
    end
end

local function drawSlider(item, look)
    drawRowFocus(item, look)
    drawRowLabel(item)
    local v = item.get()
    local tx, tw = item.x + item.w - 250, 190
    item.trackX, item.trackW = tx, tw
    local cy = item.y + item.h / 2
    sprite("UI_SLIDER_TRACK", tx, cy - 7, tw, 14)
    if v > 0.02 then
        sprite("UI_SLIDER_FILL", tx, cy - 7, tw * v, 14)
    end
    sprite("UI_SLIDER_KNOB", tx + tw * v - 15, cy - 15, 30, 30)
    Text.draw(Text.number(v * 100), item.x + item.w - 8, cy, { font = "sans_bold_18", h = "RIGHT",
                                                                 color = DARK, plain = true })
end

local function drawToggle(item, look)
    drawRowFocus(item, look)
    drawRowLabel(item)
    local on = item.get()
    local cy = item.y + item.h / 2
    sprite(on and "UI_SWITCH_ON" or "UI_SWITCH_OFF", item.x + item.w - 72, cy - 17, 64, 34)
    Text.draw(on and "SETTINGS_ON" or "SETTINGS_OFF", item.x + item.w - 84, cy,
        { font = "sans_bold_18", h = "RIGHT", color = DARK })
end

local function drawChoice(item, look)
    drawRowFocus(item, look)
    drawRowLabel(item)
    local cy = item.y + item.h / 2
    local bw = 150
    local box = { x = item.x + item.w - bw - 8, y = cy - 18, w = bw, h = 36 }
    sprite(look == "press" and "UI_BUTTON_PRESS" or "UI_BUTTON", box.x, box.y, box.w, box.h)
    Text.draw(item.value(), box.x + bw / 2, cy, { font = "sans_bold_18", shadow = true })
end

local DRAW = { button = drawButton, tile = drawTile, icon = drawIcon, slider = drawSlider,
               toggle = drawToggle, choice = drawChoice }

function Menu:draw()
    for i, item in ipairs(self.items) do
        if not item.hidden then
            DRAW[item.kind](item, self:look(i))
        end
    end
end

-- A vertical column of buttons centred on x, starting at y.
function Menu.column(x, y, entries, w, h, gap)
    w, h, gap = w or 240, h or 52, gap or 14
    local items = {}
    for i, entry in ipairs(entries) do
        items[i] = { kind = "button", label = entry[1], action = entry[2], x = x - w / 2,
                     y = y + (i - 1) * (h + gap), w = w, h = h }
    end
    return items
end

-- A dark veil over the whole screen, under a dialog.
function drawVeil(alpha)
    local w, h = screenSize()
    drawRect(0.05, 0.04, 0.08, alpha or 0.55, 0, 0, w, h, false)
end

-- The parchment panel, centred.
function drawPanel(cx, cy, w, h)
    sprite("UI_PANEL", cx - w / 2, cy - h / 2, w, h)
end

WHITE_TEXT = WHITE
DARK_TEXT = DARK
