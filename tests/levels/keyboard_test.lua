-- The keyboard as the README promises it: Page Up and Page Down turn the level
-- select, the arrows and Space aim and launch the bird.
-- Run with: quillfire build/bundle/config.lua --test tests/levels

test("Page Down and Page Up turn the level select", function()
    Flow.go("levels")
    step(5)
    local first = Flow.screens.levels.episode
    key("PAGEDOWN")
    step(5)
    expect(Flow.current == Flow.screens.levels, "still on the level select")
    expect(Flow.screens.levels.episode ~= first, "the episode did not change")
    key("PAGEUP")
    step(5)
    expect(Flow.screens.levels.episode == first, "Page Up did not turn back")
end)

test("the arrows then Space launch the bird instead of pausing", function()
    Flow.go("play", "m01")
    step(90)
    expect(Play.state() == "aiming", "the sling is not ready: " .. tostring(Play.state()))
    key("UP")
    step(2)
    key("SPACE")
    step(2)
    expect(Flow.ingame.phase ~= "paused", "the pause menu opened")
    expect(Play.state() ~= "aiming", "the bird was not launched: " .. tostring(Play.state()))
end)
