-- The level editor, driven as a game maker drives it and through its own
-- functions. Run by tests/e2e/editor_tests.sh with level sources in a fresh
-- folder (--sources), on a copy of the bundle whose levels/ it may write.

local function over()
    return Play.state() == "won" or Play.state() == "lost"
end

local function shoot(shots)
    for _, shot in ipairs(shots) do
        if not stepUntil(function() return Play.state() == "aiming" or over() end, 900) or
            over() then
            break
        end
        step(30)
        Play.fire(shot.angle, shot.power)
    end
    return stepUntil(over, 1800)
end

local function labels(menu)
    local out = {}
    for i, item in ipairs(menu.items) do
        out[i] = item.label
    end
    return out
end

-- The first level's fort, placed piece by piece in the order of its names.
local function buildFort(doc)
    for _, p in ipairs({ { "GREMLIN", 21.5, -0.6 }, { "GREMLIN", 21.5, -5.1 },
                         { "WOOD_POST", 20, -1.5 }, { "WOOD_POST", 23, -1.5 },
                         { "WOOD_PLANK", 21.5, -3.25 }, { "WOOD_BOX", 21.5, -4 } }) do
        doc:place(p[1], p[2], p[3])
    end
end

local function centre(box)
    return box.x + box.w / 2, box.y + box.h / 2
end

local function click(x, y)
    press(x, y)
    step(1)
    release()
    step(1)
end

test("the title's last entry opens the editor, which offers a new level", function()
    Flow.go("title")
    step(2)
    local menu = Flow.screens.title.menu
    local names = labels(menu)
    expect(names[1] == "MENU_PLAY", "first entry: " .. tostring(names[1]))
    expect(names[#names] == "MENU_EDITOR", "last entry: " .. tostring(names[#names]))
    menu:setFocus(#names, true)
    key("RETURN")
    expect(Flow.currentName == "editorOpen", "screen: " .. tostring(Flow.currentName))
    key("RETURN") -- the first entry: a new level
    expect(Flow.currentName == "editor", "screen: " .. tostring(Flow.currentName))
    expect(Editor.doc.name == "new01", "name: " .. tostring(Editor.doc.name))
    expect(isEditing(), "the world is not in its editing mode")
    expect(not isPhysicsEnabled(), "the physics runs while editing")
end)

test("a level made with the editor is saved, reads back the same and is won by a shot", function()
    Editor.newLevel("made01")
    buildFort(Editor.doc)
    expect(Editor.save(), "not saved: " .. tostring(Editor.message and Editor.message.detail))
    local back = readLevelSource("made01")
    expect(EditorDoc.same(back, Editor.doc.level), "the saved text reads back otherwise")
    expect(Editor.test(), "no test-play: " .. tostring(Editor.message and Editor.message.detail))
    step(10)
    expect(Flow.currentName == "play" and Play.levelName() == "made01",
        "not playing made01: " .. tostring(Flow.currentName))
    expect(Level.countTargets() == 2, "gremlins standing: " .. Level.countTargets())
    expect(shoot(demoShots.m01), "the level did not end")
    expect(Play.state() == "won", "state: " .. Play.state())
    -- Esc on the result panel leaves the level: back to the editor.
    expect(stepUntil(function() return Flow.ingame.phase == "result" end, 300), "no result panel")
    local title, plain = Flow.ingame.title("made01")
    expect(title == "made01" and plain, "a new level's title: " .. tostring(title))
    key("ESCAPE")
    expect(Flow.currentName == "editor" and Editor.doc.name == "made01",
        "not back in the editor: " .. tostring(Flow.currentName))
end)

test("a test-play of a shipped level leaves the player's highscores and goes back", function()
    local before = highscores.m01
    local shipped = Level.build("m01") -- the level as its sources would give it
    Editor.start("m01", EditorDoc.copy(shipped))
    expect(Editor.test(), "no test-play: " .. tostring(Editor.message and Editor.message.detail))
    step(10)
    expect(shoot(demoShots.m01), "the level did not end")
    expect(Play.state() == "won", "state: " .. Play.state())
    expect(stepUntil(function() return Flow.ingame.phase == "result" end, 300), "no result panel")
    expect(highscores.m01 == before, "the test-play is in the highscores: " ..
        tostring(highscores.m01))
    local entries = table.concat(labels(Flow.ingame.resultMenu), " ")
    expect(not string.find(entries, "RESULT_NEXT"), "the panel offers the next level: " .. entries)
    key("ESCAPE")
    expect(Flow.currentName == "editor", "not back in the editor: " .. tostring(Flow.currentName))
end)

test("Back from a test-play returns to the editor with the edits and their history", function()
    Editor.newLevel("made02")
    local doc = Editor.doc
    buildFort(doc)
    doc:rotate("wood04", 1)
    doc:moveSling(4, -3)
    local before = EditorDoc.copy(doc.level)
    local steps = #doc.undoList
    expect(Editor.test(), "no test-play")
    step(20)
    key("ESCAPE") -- the pause menu: Resume, Restart, Levels, Settings
    key("DOWN")
    key("DOWN")
    key("RETURN")
    step(2)
    expect(Flow.currentName == "editor", "screen after Back: " .. tostring(Flow.currentName))
    expect(Editor.doc == doc and EditorDoc.same(doc.level, before), "the edits are lost")
    expect(#doc.undoList == steps, "history: " .. #doc.undoList .. " of " .. steps)
    expect(isEditing() and objects.world.greml01 ~= nil, "the level is not shown for editing")
    expect(doc:undo() and doc.level.slingshot.x == 3, "the last edit does not undo")
end)

test("every kind of edit is undone and redone in one step", function()
    local base = EditorDoc.blank("undo")
    base.world.wood01 = { definition = "WOOD_PLANK", x = 10, y = -1 }
    local edits = {
        { "place", function(d) d:place("ICE_BOX", 10, -2) end },
        { "move", function(d) d:move("wood01", 12, -2) end },
        { "rotate", function(d) d:rotate("wood01", 2) end },
        { "delete", function(d) d:remove("wood01") end },
        { "theme", function(d) d:cycleTheme(blockTable, 1) end },
        { "water", function(d) d:toggleWater() end },
        { "add a bird", function(d) d:addBird("gale") end },
        { "change a bird", function(d) d:cycleBird(1) end },
        { "remove a bird", function(d) d:removeBird() end },
        { "move the sling", function(d) d:moveSling(5, -4) end },
        { "a drag over frames", function(d)
            d:beginDrag()
            d:move("wood01", 13, -1)
            d:move("wood01", 14, -1.5)
            d:endDrag()
        end },
    }
    for _, e in ipairs(edits) do
        local doc = EditorDoc.new("undo", base)
        local before = EditorDoc.copy(doc.level)
        e[2](doc)
        local after = EditorDoc.copy(doc.level)
        expect(not EditorDoc.same(before, after), e[1] .. " changed nothing")
        expect(doc:undo() and EditorDoc.same(doc.level, before), e[1] .. " is not undone")
        expect(not doc:undo(), e[1] .. " took more than one step")
        expect(doc:redo() and EditorDoc.same(doc.level, after), e[1] .. " is not redone")
        expect(not doc:redo(), e[1] .. " redid more than it did")
    end
end)

test("water toggled on is shown, saved as a pool and read back; off removes it", function()
    Editor.newLevel("pool01")
    local doc = Editor.doc
    buildFort(doc)
    doc:toggleWater()
    step(1)
    expect(objects.water and objects.water.waterLevel == doc.level.water.waterLevel,
        "the water is not in the world being edited")
    expect(not Level.check(doc.level, "pool01.lua", blockTable, Birds.kinds),
        "a level with the editor's water fails the check")
    expect(Editor.save(), "not saved: " .. tostring(Editor.message and Editor.message.detail))
    local back = readLevelSource("pool01")
    expect(type(back.water) == "table" and back.water.waterLevel > 0, "no water in the file")
    doc:toggleWater()
    step(1)
    expect(doc.level.water == nil and objects.water == nil, "the water stays")
end)

test("a new edit drops what was undone, and the history is bounded", function()
    local doc = EditorDoc.new("history")
    doc:place("GREMLIN", 10, -1)
    doc:place("GREMLIN", 12, -1)
    doc:undo()
    doc:place("WOOD_BOX", 14, -1)
    expect(not doc:canRedo(), "the undone edit can still be redone over a new one")
    local limit = EditorDoc.HISTORY_LIMIT
    for i = 1, limit + 30 do
        doc:move("greml01", 10 + i * 0.1, -1)
    end
    local undos = 0
    while doc:undo() do
        undos = undos + 1
    end
    expect(undos == limit, "undo steps kept: " .. undos)
    -- The oldest edits are the ones forgotten.
    local x = doc.level.world.greml01.x
    expect(math.abs(x - (10 + 30 * 0.1)) < 1e-3 and doc.level.world.wood01 ~= nil,
        "the history does not begin where it should: x = " .. x)
end)

test("a piece placed, dragged or turned into the ground stands on it", function()
    local cases = {
        { "a gremlin placed under the ground", function(d)
            return d.level.world[d:place("GREMLIN", 10, 2)]
        end, -0.6 },
        { "a post placed half in it", function(d)
            return d.level.world[d:place("WOOD_POST", 10, -1)]
        end, -1.5 },
        { "a plank turned upright", function(d)
            local name = d:place("WOOD_PLANK", 10, -0.25)
            d:rotate(name, 6)
            return d.level.world[name]
        end, -2 },
        { "a box dragged down", function(d)
            local name = d:place("WOOD_BOX", 10, -5)
            d:beginDrag()
            d:move(name, 12, 3)
            d:endDrag()
            return d.level.world[name]
        end, -0.5 },
        { "a box left above it", function(d)
            return d.level.world[d:place("WOOD_BOX", 10, -5)]
        end, -5 },
    }
    for _, c in ipairs(cases) do
        local entry = c[2](EditorDoc.new("ground"))
        expect(math.abs(entry.y - c[3]) < 1e-4, c[1] .. ": y = " .. entry.y)
    end
end)

test("deleting a piece takes its joints and the portal links to it with it", function()
    local level = EditorDoc.blank("links")
    level.world = {
        pivot = { definition = "PIVOT", x = 10, y = -5 },
        board = { definition = "WOOD_PLANK", x = 10, y = -5 },
        portalIn = { definition = "PORTAL_BLUE", x = 5, y = -4, target = "portalOut" },
        portalOut = { definition = "PORTAL_ORANGE", x = 15, y = -4 },
    }
    level.joints = { hinge = { type = 3, end1 = "pivot", end2 = "board" } }
    local doc = EditorDoc.new("links", level)
    doc:remove("board")
    doc:remove("portalOut")
    expect(doc.level.joints.hinge == nil, "the hinge of a deleted board stays")
    expect(doc.level.world.portalIn.target == nil, "the portal leads to a deleted one")
    local ok = EditorScene.build(doc.level)
    expect(ok, "what is left cannot be built")
end)

test("the mouse places from the palette, drags, and keys turn and delete", function()
    Editor.newLevel("mouse01")
    step(2)
    local tile
    for _, t in ipairs(Editor.tiles) do
        if t.name == "GREMLIN" then
            tile = t
        end
    end
    click(centre(tile))
    expect(Editor.armed == "GREMLIN", "armed: " .. tostring(Editor.armed))
    local x, y = EditorScene.worldToScreen(15, -6)
    click(x, y)
    local g = Editor.doc.level.world.greml01
    expect(g and math.abs(g.x - 15) < 0.2 and math.abs(g.y + 6) < 0.2, "not placed at 15, -6")
    step(60)
    expect(objects.world.greml01 and math.abs(objects.world.greml01.y + 6) < 0.2,
        "the placed gremlin is not shown where it is, or it fell")
    local x2, y2 = EditorScene.worldToScreen(20, -1)
    drag(x, y, x2, y2, 10)
    step(1)
    g = Editor.doc.level.world.greml01
    expect(math.abs(g.x - 20) < 0.2 and math.abs(g.y + 1) < 0.2,
        "not dragged: " .. g.x .. ", " .. g.y)
    expect(Editor.selected == "greml01", "the dragged piece is not selected")
    key("E")
    expect(math.abs((Editor.doc.level.world.greml01.angle or 0) - EditorDoc.TURN_STEP) < 1e-3,
        "E does not turn it")
    Editor.undo()
    Editor.undo()
    g = Editor.doc.level.world.greml01
    expect(math.abs(g.x - 15) < 0.2 and g.angle == nil, "the drag is not one undo step")
    key("DELETE")
    expect(Editor.doc.level.world.greml01 == nil, "Delete does not remove it")
    step(1)
    expect(objects.world.greml01 == nil, "the removed piece is still shown")
end)

test("a name is typed, a bad one is refused and shown, and nothing is lost", function()
    Editor.newLevel("typed01")
    step(2)
    Editor.doc:place("GREMLIN", 20, -0.6)
    local name
    for _, b in ipairs(Editor.buttons) do
        if b.id == "name" then
            name = b
        end
    end
    click(centre(name))
    expect(Editor.typing, "the name field does not take the keys")
    for _ = 1, 8 do
        key("BACKSPACE")
    end
    for _, k in ipairs({ "A", "B", "1", "DASH", "C" }) do
        key(k)
    end
    key("RETURN")
    expect(Editor.nameText == "ab1-c", "typed: " .. Editor.nameText)
    local before = EditorDoc.copy(Editor.doc.level)
    Editor.nameText = "9 lives"
    expect(not Editor.save(), "a bad name was saved")
    expect(Editor.message and Editor.message.key == "EDITOR_BAD_NAME", "the bad name is not shown")
    expect(EditorDoc.same(before, Editor.doc.level) and Editor.doc.dirty, "the level changed")
    expect(Editor.doc:canUndo(), "the history is gone")
    for _, n in ipairs(levelSourceNames()) do
        expect(n ~= "9 lives", "a file was written under the bad name")
    end
    Editor.nameText = "ab1-c"
    expect(Editor.save() and not Editor.doc.dirty and Editor.doc.name == "ab1-c", "not saved")
end)

test("an opened level keeps what the editor does not touch", function()
    local level = EditorDoc.blank("hand01")
    level.hint = "HINT_M01"
    level.tint = { r = 214, g = 232, b = 246 }
    level.water = { waterLevel = 1.5 }
    level.world = {
        pivot = { definition = "PIVOT", x = 26, y = -5 },
        board = { definition = "WOOD_PLANK", x = 26, y = -5, toughness = 2 },
        greml01 = { definition = "GREMLIN", x = 20, y = -0.6 },
    }
    level.joints = { hinge = { type = 3, end1 = "pivot", end2 = "board", x1 = 0, y1 = 0,
                               breakable = true, breakForce = 5 } }
    expect(saveLevelSource("hand01", level) == "", "the fixture was not saved")
    expect(Editor.openLevel("hand01"), "not opened")
    expect(Flow.currentName == "editor", "screen: " .. tostring(Flow.currentName))
    Editor.doc:move("greml01", 22, -0.6)
    expect(Editor.save(), "not saved")
    local back = readLevelSource("hand01")
    level.world.greml01.x = 22
    expect(EditorDoc.same(back, level), "more than the moved gremlin changed")
end)

test("Back leaves unsaved edits only when chosen twice", function()
    Editor.newLevel("leave01")
    Editor.doc:place("GREMLIN", 20, -0.6)
    expect(not Editor.back() and Flow.currentName == "editor", "left without a warning")
    expect(Editor.message.key == "EDITOR_UNSAVED", "no warning shown")
    expect(Editor.back() and Flow.currentName == "editorOpen", "not left the second time")
    expect(not isEditing(), "the world is still in its editing mode")
end)

test("zooming keeps the point under the pointer, and a piece is picked where it shows", function()
    Editor.newLevel("view01")
    Editor.doc:place("GREMLIN", 20, -1)
    step(2)
    local scale = EditorScene.scale()
    local x, y = EditorScene.worldToScreen(20, -1)
    EditorScene.zoomAt(x, y, 2)
    step(1)
    local zx, zy = EditorScene.worldToScreen(20, -1)
    expect(math.abs(EditorScene.scale() - 2 * scale) < 1e-3, "scale " .. EditorScene.scale())
    expect(math.abs(zx - x) < 1 and math.abs(zy - y) < 1, "the point under the pointer moved")
    EditorScene.pan(-60, 20)
    step(1)
    local px, py = EditorScene.worldToScreen(20, -1)
    expect(math.abs(px - (x - 60)) < 1 and math.abs(py - (y + 20)) < 1, "the view did not pan")
    click(px, py)
    expect(Editor.selected == "greml01", "the piece is not picked where it shows")
    key("HOME")
    expect(math.abs(EditorScene.scale() - scale) < 1e-3, "Home does not show the whole level")
end)

test("a failed write is shown, and the level and its history stay", function()
    -- A folder where the sealed copy would go: the game's level cannot be replaced.
    createDirectory(levelPath .. "/blocked01.lua")
    Editor.newLevel("blocked01")
    Editor.doc:place("GREMLIN", 20, -0.6)
    local before = EditorDoc.copy(Editor.doc.level)
    expect(not Editor.save(), "the save did not fail")
    local m = Editor.message
    expect(m and m.key == "EDITOR_SAVE_FAILED" and m.detail ~= "", "the failure is not shown")
    expect(EditorDoc.same(before, Editor.doc.level) and Editor.doc:canUndo(), "the level changed")
    expect(not Editor.test() and Flow.currentName == "editor", "a level that failed to save is played")
end)

test("a reload of the scripts keeps the level being edited and its history", function()
    Editor.newLevel("kept01")
    local doc = Editor.doc
    buildFort(doc)
    doc:moveSling(4, -3)
    local before = EditorDoc.copy(doc.level)
    local steps = #doc.undoList
    local oldMethods = getmetatable(doc)
    EditorDoc = setmetatable({}, { __index = oldMethods }) -- as a rerun document script makes it
    EditorDoc.__index = EditorDoc
    scriptsReloaded(scriptsReloading())
    step(1)
    expect(Flow.currentName == "editor", "screen: " .. tostring(Flow.currentName))
    expect(Editor.doc == doc and EditorDoc.same(doc.level, before), "the edits are lost")
    expect(#doc.undoList == steps, "history: " .. #doc.undoList .. " of " .. steps)
    expect(getmetatable(doc) == EditorDoc, "the document keeps the old scripts' methods")
    expect(isEditing() and objects.world.greml01 ~= nil, "the level is not shown for editing")
    expect(doc:undo() and doc.level.slingshot.x == 3, "the last edit does not undo")
end)

