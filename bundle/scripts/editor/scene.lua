-- The level being edited, shown in the game's own world: its pieces are
-- built into the physics world as a level is, with the physics paused and
-- the world's editing mode on (no contacts, and the editor-only objects
-- drawn: the bird waiting in the sling). The view fits the level's bounds
-- into a rectangle of the screen.

EditorScene = {}

local UNIT = 20
local SLING_MARKER = "editor_sling"
local COLLIDER_EDITOR_ONLY = 7

local MAX_ZOOM = 6

-- x, y: the camera's top-left corner in world pixels; zoom: times the scale
-- at which the bounds fit; cx, cy: the world point at the middle of the
-- view rectangle (nil: the middle of the bounds).
local view = { x = 0, y = 0, scale = 1, zoom = 1 }

-- Shows the bounds in the screen rectangle (left, top, width, height): all
-- of them at zoom 1, around the chosen middle when zoomed in.
function EditorScene.fit(bounds, left, top, width, height)
    local w = (bounds.right - bounds.left) * UNIT
    local h = (bounds.bottom - bounds.top) * UNIT
    local scale = math.min(width / w, height / h) * view.zoom
    view.scale = scale
    view.rect = { left = left, top = top, width = width, height = height }
    local cx = view.cx or (bounds.left + bounds.right) / 2
    local cy = view.cy or (bounds.top + bounds.bottom) / 2
    view.x = cx * UNIT - (left + width / 2) / scale
    view.y = cy * UNIT - (top + height / 2) / scale
end

local function middle()
    local r = view.rect
    return r.left + r.width / 2, r.top + r.height / 2
end

-- Zooms by factor, keeping the world point under the screen point (sx, sy).
function EditorScene.zoomAt(sx, sy, factor)
    if not view.rect then
        return
    end
    local zoom = math.max(1, math.min(MAX_ZOOM, view.zoom * factor))
    local wx, wy = EditorScene.screenToWorld(sx, sy)
    local scale = view.scale / view.zoom * zoom
    local mx, my = middle()
    view.zoom = zoom
    view.cx, view.cy = wx - (sx - mx) / scale / UNIT, wy - (sy - my) / scale / UNIT
end

-- Moves the view with the pointer by (dx, dy) screen pixels.
function EditorScene.pan(dx, dy)
    local mx, my = middle()
    local cx, cy = EditorScene.screenToWorld(mx, my)
    view.cx, view.cy = cx - dx / view.scale / UNIT, cy - dy / view.scale / UNIT
end

function EditorScene.resetView()
    view.zoom, view.cx, view.cy = 1, nil, nil
end

function EditorScene.screenToWorld(x, y)
    return (x / view.scale + view.x) / UNIT, (y / view.scale + view.y) / UNIT
end

function EditorScene.worldToScreen(x, y)
    return (x * UNIT - view.x) * view.scale, (y * UNIT - view.y) * view.scale
end

function EditorScene.scale()
    return view.scale
end

-- Everything of the last build goes.
function EditorScene.clear()
    setPhysicsEnabled(false)
    for _, name in ipairs(Level.sortedKeys(objects.world or {})) do
        removeObject(name)
    end
    objects.world = {}
    objects.joints = {}
    objects.water = nil
    World.reset()
end

-- Builds the level into the world; false and a message when a piece of it
-- cannot be made (a hand-written level may name what the catalogue lacks).
function EditorScene.build(level)
    EditorScene.clear()
    Scenery.loadSheets()
    setEditing(true)
    local ok, problem = pcall(Level.buildFrom, level)
    setPhysicsEnabled(false)
    local s = level.slingshot
    local kind = Birds.kinds[level.birds[1] or ""] or Birds.kinds.quill
    if type(s) == "table" and type(s.x) == "number" and type(s.y) == "number" then
        createCircle(SLING_MARKER, kind.sprite, s.x, s.y, kind.radius, 0, 0.5, 0, false, 10)
        setColliderType(SLING_MARKER, COLLIDER_EDITOR_ONLY)
    end
    if not ok then
        return false, tostring(problem)
    end
    return true
end

-- The editor is left: the world is emptied and back to normal.
function EditorScene.leave()
    EditorScene.clear()
    setEditing(false)
end

-- The scene behind the editor's tools: sky, pieces, ground, the sling.
function EditorScene.draw(level)
    minWorldScale = view.scale
    setWorldScale(view.scale)
    setCameraViewport(view.x, view.y, 0, 0)
    drawBackgroundNative()
    local s = level.slingshot
    if type(s) == "table" then
        setRenderState(-view.x, -view.y, view.scale, view.scale, 0, 0, 0, 1)
        res.drawSprite("SLINGSHOT", s.x * UNIT, s.y * UNIT + 30)
        setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    end
    drawGameNative()
    drawForegroundNative()
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    -- The bounds: what the camera of the level shows.
    local b = level.bounds
    local x1, y1 = EditorScene.worldToScreen(b.left, b.top)
    local x2, y2 = EditorScene.worldToScreen(b.right, b.bottom)
    drawRectLines(x1, y1, x2, y2, 1, 255, 255, 255, 90)
end

-- A frame around a piece on screen.
function EditorScene.outline(entry, def, r, g, b)
    local hw, hh = EditorDoc.halfSize(def)
    local a = entry.angle or 0
    local c, s = math.cos(a), math.sin(a)
    local ex = math.abs(hw * c) + math.abs(hh * s) + 0.15
    local ey = math.abs(hw * s) + math.abs(hh * c) + 0.15
    local x1, y1 = EditorScene.worldToScreen(entry.x - ex, entry.y - ey)
    local x2, y2 = EditorScene.worldToScreen(entry.x + ex, entry.y + ey)
    drawRectLines(x1, y1, x2, y2, 2, r, g, b, 255)
end

-- A see-through picture of a piece about to be placed at (x, y).
function EditorScene.ghost(def, x, y)
    local hw, hh = EditorDoc.halfSize(def)
    setRenderState(-view.x, -view.y, view.scale, view.scale, 0, 0, 0, 0.55)
    res.drawSprite(def.sprite, (x - hw) * UNIT, (y - hh) * UNIT, "TOP", "LEFT", 2 * hw * UNIT,
        2 * hh * UNIT)
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
end
