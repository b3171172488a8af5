-- A game run from its own build is a development game: its title offers the
-- level editor, whose sources are the repository's bundle/.
-- Run with: quillfire build/bundle/config.lua --test tests/levels

test("a game run from its own build offers the level editor", function()
    expect(launch.editor == true, "launch.editor is " .. tostring(launch.editor))
    Flow.go("title")
    step(2)
    local items = Flow.screens.title.menu.items
    expect(items[#items].label == "MENU_EDITOR", "last entry: " .. tostring(items[#items].label))
end)
