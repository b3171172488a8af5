-- A game without level sources (an installed one) has no level editor.

test("the title offers no editor and there are no level sources", function()
    Flow.go("title")
    step(2)
    expect(launch.editor == false, "launch.editor: " .. tostring(launch.editor))
    for _, item in ipairs(Flow.screens.title.menu.items) do
        expect(item.label ~= "MENU_EDITOR", "the title offers the editor")
    end
    expect(#levelSourceNames() == 0, "level sources are listed")
    expect(saveLevelSource("x1", EditorDoc.blank("x1")) ~= "", "a level was saved")
end)
