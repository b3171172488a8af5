-- The level being edited, shown in the game's own world: its pieces are
-- built into the physics world as a level is, with the physics paused and
-- the world's editing mode on (no contacts, and the editor-only objects
-- drawn: the bird waiting in the sling). The view fits the level's bounds
-- into a rectangle of the screen.

EditorScene = {}

local UNIT = 20
local SLING_MARKER = "editor_sling"
local COLLIDER_EDITOR_ONLY = 7

local view = { x = 0, y = 0, scale = 1, left = 0, top = 0 }

-- Fits the bounds into the screen rectangle (left, top, width, height).
function EditorScene.fit(bounds, left, top, width, height)
    local w = (bounds.right - bounds.left) * UNIT
    local h = (bounds.bottom - bounds.top) * UNIT
    local scale = math.min(width / w, height / h)
    view.scale = scale
    -- The camera's top-left corner, in world pixels, that centres the bounds.
    view.x = bounds.left * UNIT - (left + (width - w * scale) / 2) / scale
    view.y = bounds.top * UNIT - (top + (height - h * scale) / 2) / scale
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
