-- The level being edited: a level table in the form of the files in levels/,
-- the edits the editor makes to it, and their undo and redo. Every edit goes
-- through EditorDoc:edit, which keeps a copy of the level before it; the
-- history holds at most HISTORY_LIMIT such copies.

EditorDoc = {}
EditorDoc.__index = EditorDoc

EditorDoc.HISTORY_LIMIT = 100
EditorDoc.SNAP = 0.05 -- world units: positions land on this grid
EditorDoc.TURN_STEP = math.pi / 12 -- one step of a rotation (15 degrees)

local BIRD_ORDER = { "quill", "burr", "gale", "bubbler", "anvil" }
EditorDoc.BIRD_ORDER = BIRD_ORDER
local MAX_BIRDS = 8

function EditorDoc.copy(value)
    if type(value) ~= "table" then
        return value
    end
    local out = {}
    for k, v in pairs(value) do
        out[k] = EditorDoc.copy(v)
    end
    return out
end

function EditorDoc.same(a, b)
    if type(a) ~= type(b) then
        return false
    end
    if type(a) ~= "table" then
        return a == b
    end
    for k, v in pairs(a) do
        if not EditorDoc.same(v, b[k]) then
            return false
        end
    end
    for k in pairs(b) do
        if a[k] == nil then
            return false
        end
    end
    return true
end

local function snap(v)
    return math.floor(v / EditorDoc.SNAP + 0.5) * EditorDoc.SNAP
end

-- What a new level starts as: the sling where the shipped levels have it,
-- three plain birds, and the usual bounds.
function EditorDoc.blank(name)
    return { filename = name .. ".lua", theme = "meadow", slingshot = { x = 3, y = -3.2 },
             birds = { "quill", "quill", "quill" },
             bounds = { left = -2, right = 32, top = -20, bottom = 4 }, world = {} }
end

-- name: the level's file name without ".lua"; level: its table (a blank
-- level when nil); catalogue: the block table (blockTable when nil). The
-- document keeps its own copy of the level.
function EditorDoc.new(name, level, catalogue)
    local doc = setmetatable({ name = name, undoList = {}, redoList = {}, version = 0,
                               dirty = false, catalogue = catalogue or blockTable }, EditorDoc)
    doc.level = EditorDoc.copy(level or EditorDoc.blank(name))
    doc.level.world = doc.level.world or {}
    doc.level.birds = doc.level.birds or {}
    return doc
end

local function remember(list, level)
    list[#list + 1] = level
    if #list > EditorDoc.HISTORY_LIMIT then
        table.remove(list, 1)
    end
end

local function changed(doc)
    doc.version = doc.version + 1
    doc.dirty = true
end

-- Runs change(level); when it changed anything, the level before it can be
-- had back with undo. Returns what change returned.
function EditorDoc:edit(change)
    local before = EditorDoc.copy(self.level)
    local result = change(self.level)
    if not EditorDoc.same(before, self.level) then
        remember(self.undoList, before)
        self.redoList = {}
        changed(self)
    end
    return result
end

function EditorDoc:canUndo()
    return #self.undoList > 0
end

function EditorDoc:canRedo()
    return #self.redoList > 0
end

-- Takes the level last put on one history list and puts the current one on
-- the other: an undo and a redo are the same step in opposite directions.
local function travel(doc, from, to)
    local level = table.remove(from)
    if not level then
        return false
    end
    remember(to, doc.level)
    doc.level = level
    changed(doc)
    return true
end

function EditorDoc:undo()
    return travel(self, self.undoList, self.redoList)
end

function EditorDoc:redo()
    return travel(self, self.redoList, self.undoList)
end

-- A drag is one edit however many frames it lasts: the level before it is
-- kept from beginDrag, and endDrag records it when the drag moved anything.
function EditorDoc:beginDrag()
    self.dragStart = EditorDoc.copy(self.level)
end

function EditorDoc:endDrag()
    local before = self.dragStart
    self.dragStart = nil
    if before and not EditorDoc.same(before, self.level) then
        remember(self.undoList, before)
        self.redoList = {}
        changed(self)
    end
end

-- A change made within a drag goes straight into the level (endDrag records
-- the whole drag); outside one it is an edit of its own.
function EditorDoc:dragOrEdit(change)
    if self.dragStart then
        change(self.level)
        self.version = self.version + 1
    else
        self:edit(change)
    end
end

-- Names like the hand-written levels': greml01, wood02, ...
local PREFIXES = { { "^GREMLIN", "greml" }, { "^WOOD_", "wood" }, { "^STONE_", "stone" },
                   { "^ICE_", "ice" }, { "^PORTAL_", "portal" }, { "^HOVER_PAD", "hover" } }

function EditorDoc:freeName(definition)
    local prefix = string.lower(definition)
    for _, p in ipairs(PREFIXES) do
        if string.find(definition, p[1]) then
            prefix = p[2]
            break
        end
    end
    local n = 1
    while self.level.world[string.format("%s%02d", prefix, n)] do
        n = n + 1
    end
    return string.format("%s%02d", prefix, n)
end

-- Half the height a piece takes up at its angle.
local function halfHeightAt(def, angle)
    local hw, hh = EditorDoc.halfSize(def)
    return math.abs(hw * math.sin(angle)) + math.abs(hh * math.cos(angle))
end

-- A piece stands on the ground, never in it: the ground's top is y = 0.
local function aboveGround(doc, entry)
    local def = doc.catalogue.blocks[entry.definition]
    if def then
        local lowest = -halfHeightAt(def, entry.angle or 0)
        -- The grid line at or above the lowest place; a rounded angle may miss it by a hair.
        entry.y = math.min(entry.y, math.floor(lowest / EditorDoc.SNAP + 1e-3) * EditorDoc.SNAP)
    end
end

-- Places a piece of the catalogue at (x, y); returns its name.
function EditorDoc:place(definition, x, y)
    local name = self:freeName(definition)
    self:edit(function(level)
        level.world[name] = { definition = definition, x = snap(x), y = snap(y) }
        aboveGround(self, level.world[name])
    end)
    return name
end

-- Moves a piece (during a drag, between beginDrag and endDrag; else as an edit).
function EditorDoc:move(name, x, y)
    self:dragOrEdit(function(level)
        local entry = level.world[name]
        if entry then
            entry.x, entry.y = snap(x), snap(y)
            aboveGround(self, entry)
        end
    end)
end

-- Turns a piece by steps of TURN_STEP (negative: the other way).
function EditorDoc:rotate(name, steps)
    self:edit(function(level)
        local entry = level.world[name]
        if not entry then
            return
        end
        local angle = (entry.angle or 0) + steps * EditorDoc.TURN_STEP
        angle = math.fmod(angle, 2 * math.pi)
        if angle > math.pi + 1e-6 then
            angle = angle - 2 * math.pi
        elseif angle <= -math.pi + 1e-6 then
            angle = angle + 2 * math.pi
        end
        angle = math.floor(angle * 10000 + 0.5) / 10000
        entry.angle = math.abs(angle) > 1e-6 and angle or nil
        aboveGround(self, entry)
    end)
end

-- Deletes a piece with the joints that hold it and the portal links to it.
function EditorDoc:remove(name)
    self:edit(function(level)
        level.world[name] = nil
        for jointName, joint in pairs(level.joints or {}) do
            if type(joint) == "table" and (joint.end1 == name or joint.end2 == name) then
                level.joints[jointName] = nil
            end
        end
        for _, entry in pairs(level.world) do
            if type(entry) == "table" and entry.target == name then
                entry.target = nil
            end
        end
    end)
end

-- The scenery themes of the catalogue, without their water variants, sorted.
function EditorDoc.themeNames(catalogue)
    local names = {}
    for name in pairs(catalogue.themes or {}) do
        if not string.find(name, "_water$") then
            names[#names + 1] = name
        end
    end
    table.sort(names)
    return names
end

function EditorDoc:setTheme(theme)
    self:edit(function(level)
        level.theme = theme
    end)
end

-- The next (step 1) or previous (-1) theme of the catalogue.
function EditorDoc:cycleTheme(catalogue, step)
    local names = EditorDoc.themeNames(catalogue)
    local index = 0
    for i, name in ipairs(names) do
        if name == self.level.theme then
            index = i
        end
    end
    index = (index - 1 + step) % #names + 1
    self:setTheme(names[index])
end

-- Where a pool the editor adds stands: its surface this far above the ground,
-- deep enough to float a raft of planks.
local NEW_WATER_LEVEL = 2.5

-- A pool of water under the whole level, or none.
function EditorDoc:toggleWater()
    self:edit(function(level)
        if level.water then
            level.water = nil
        else
            level.water = { waterLevel = NEW_WATER_LEVEL }
        end
    end)
end

function EditorDoc:setBirds(birds)
    self:edit(function(level)
        level.birds = EditorDoc.copy(birds)
    end)
end

function EditorDoc:addBird(kind)
    if #self.level.birds >= MAX_BIRDS then
        return false
    end
    self:edit(function(level)
        level.birds[#level.birds + 1] = kind or "quill"
    end)
    return true
end

-- Takes the last bird away; a level keeps at least one.
function EditorDoc:removeBird()
    if #self.level.birds <= 1 then
        return false
    end
    self:edit(function(level)
        level.birds[#level.birds] = nil
    end)
    return true
end

-- The bird at index becomes the next kind.
function EditorDoc:cycleBird(index)
    local kind = self.level.birds[index]
    if not kind then
        return
    end
    local next = 1
    for i, k in ipairs(BIRD_ORDER) do
        if k == kind then
            next = i % #BIRD_ORDER + 1
        end
    end
    self:edit(function(level)
        level.birds[index] = BIRD_ORDER[next]
    end)
end

-- Moves the sling (as move does a piece, also within a drag).
function EditorDoc:moveSling(x, y)
    self:dragOrEdit(function(level)
        level.slingshot = { x = snap(x), y = snap(y) }
    end)
end

-- Half the extent of a piece along its own axes, from the catalogue.
function EditorDoc.halfSize(def)
    if def.shape == "circle" then
        return def.radius, def.radius
    end
    return (def.width or 1) / 2, (def.height or 1) / 2
end

-- Whether the point (x, y) lies on the piece entry of the catalogue.
function EditorDoc.covers(entry, def, x, y)
    local dx, dy = x - entry.x, y - entry.y
    if def.shape == "circle" then
        return dx * dx + dy * dy <= def.radius * def.radius
    end
    local a = -(entry.angle or 0)
    local lx = dx * math.cos(a) - dy * math.sin(a)
    local ly = dx * math.sin(a) + dy * math.cos(a)
    local hw, hh = EditorDoc.halfSize(def)
    return math.abs(lx) <= hw and math.abs(ly) <= hh
end

-- The piece under (x, y): of several, the smallest, so that a gremlin on a
-- plank can be had. nil when there is none.
function EditorDoc:pieceAt(catalogue, x, y)
    local best, bestArea
    for _, name in ipairs(Level.sortedKeys(self.level.world)) do
        local entry = self.level.world[name]
        local def = type(entry) == "table" and catalogue.blocks[entry.definition]
        if def and type(entry.x) == "number" and type(entry.y) == "number" and
            EditorDoc.covers(entry, def, x, y) then
            local hw, hh = EditorDoc.halfSize(def)
            local area = hw * hh
            if not bestArea or area < bestArea then
                best, bestArea = name, area
            end
        end
    end
    return best
end

-- Renaming is no edit of the level: it says where the next save goes.
function EditorDoc:rename(name)
    self.name = name
    self.level.filename = name .. ".lua"
end
