-- What the game keeps when its scripts are reloaded: the level in play starts
-- again, seen from where the camera stood, with the settings unchanged.
-- Run with: quillfire build/bundle/config.lua --test tests/levels

test("a reload restarts the level in play and keeps the camera and settings", function()
    Flow.go("play", "m01")
    step(60)
    Play.fire(30, 0.8)
    step(40) -- the camera follows the bird away from its home view
    settings.volume = 0.35
    local before = Camera.state()
    local kept = scriptsReloading()
    scriptsReloaded(kept)
    local after = Camera.state()
    expect(Flow.currentName == "play", "the screen is " .. tostring(Flow.currentName))
    expect(Play.levelName() == "m01", "the level is " .. tostring(Play.levelName()))
    expect(Play.state() == "aiming", "the level did not start again: " .. tostring(Play.state()))
    expect(after and after.x == before.x and after.y == before.y and after.scale == before.scale,
           "the camera was not kept")
    expect(settings.volume == 0.35, "the settings changed: " .. tostring(settings.volume))
end)
