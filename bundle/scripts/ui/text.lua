-- Text on screen: the bitmap fonts, the language, and drawing a text key or
-- a line composed from texts and numbers.

Text = {}

local FONTS = { "sans_14", "sans_18", "sans_24", "sans_bold_18", "sans_bold_28", "sans_bold_48" }
local GROUP = "texts"
-- A group no set is loaded under: its "keys" are drawn as they are, which is
-- how composed lines (a label and a number) reach the screen.
local PLAIN = ""

function Text.load()
    local dir = isHDVersion and fontPath .. "/hd" or fontPath
    for _, name in ipairs(FONTS) do
        res.createBitmapFont(dir .. "/" .. name .. ".dat")
    end
    res.createTextGroupSet(localizationPath .. "/texts.dat")
end

function Text.setLanguage(language)
    res.loadLocale(GROUP, language)
    res.useLocale(language)
    Text.language = language
end

function Text.get(key)
    return res.getString(GROUP, key)
end

function Text.width(text, font)
    res.useFont(font or "sans_18")
    return res.getStringWidth(text)
end

local shadow = { 0, 0, 0, 0.45 }
local white = { 1, 1, 1, 1 }
-- One text table for every call: the screens draw dozens of texts a frame.
local t = { visible = true, scaleX = 1, scaleY = 1, x = 0, y = 0, floorCoordinates = true }

-- Draws a text key (opts.plain: an already composed line) at x, y.
-- opts: font, color {r, g, b, a}, h ("LEFT", "HCENTER", "RIGHT"),
-- v ("TOP", "VCENTER", "BOTTOM"), shadow (true: a soft drop shadow).
local noOptions = {}

function Text.draw(key, x, y, opts)
    opts = opts or noOptions
    t.group = opts.plain and PLAIN or GROUP
    t.text = key
    t.font = opts.font or "sans_18"
    t.hanchor = opts.h or "HCENTER"
    t.vanchor = opts.v or "VCENTER"
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    if opts.shadow then
        t.color = shadow
        drawUITextNative(t, x + 2, y + 2)
    end
    t.color = opts.color or white
    drawUITextNative(t, x, y)
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
end

-- A composed line: the text of a key, a separator and a value.
function Text.labelled(key, value)
    return Text.get(key) .. ": " .. tostring(value)
end

-- Whole numbers with thin grouping, e.g. 12 500.
function Text.number(n)
    local s = tostring(math.floor((tonumber(n) or 0) + 0.5))
    local sign, digits = string.match(s, "^(%-?)(%d+)$")
    if not digits then
        return s
    end
    local out = string.reverse((string.gsub(string.reverse(digits), "(%d%d%d)", "%1 ")))
    out = string.gsub(out, "^ ", "")
    return sign .. out
end
