-- The first level, played through the engine's input as a player would.
-- Run with: quillfire build/bundle/config.lua --test tests/levels

-- Steps frames until done() holds or limit frames have passed.
local function playUntil(done, limit)
    for _ = 1, limit do
        if done() then
            return true
        end
        step(1)
    end
    return done()
end

local function over()
    return game.state == "won" or game.state == "lost"
end

test("the level opens with three gremlins and the first bird ready", function()
    step(10)
    expect(countTargets() == 3, "targets standing: " .. countTargets())
    expect(game.state == "aiming", "state: " .. game.state)
end)

test("a bird dragged back from the sling and let go knocks out a gremlin", function()
    step(20)
    drag(100, 336, 43, 393, 20) -- a full pull, 45 degrees up
    expect(game.state == "flying", "state after the release: " .. game.state)
    playUntil(function() return game.state ~= "flying" end, 600)
    expect(countTargets() < 3, "every gremlin still stands")
end)

test("three good shots win the level", function()
    autoShot = { next = 1, shots = { { angle = 40, power = 0.8, atFrame = 0 },
                                     { angle = 10, power = 0.8, atFrame = 0 },
                                     { angle = 30, power = 1, atFrame = 0 } } }
    expect(playUntil(over, 1200), "the level did not end")
    expect(game.state == "won", "state: " .. game.state)
end)

test("three feeble shots lose it", function()
    autoShot = { next = 1, shots = { { angle = 10, power = 0.3, atFrame = 0 },
                                     { angle = 10, power = 0.3, atFrame = 0 },
                                     { angle = 10, power = 0.3, atFrame = 0 } } }
    expect(playUntil(over, 1200), "the level did not end")
    expect(game.state == "lost", "state: " .. game.state)
    expect(countTargets() == 3, "targets standing: " .. countTargets())
end)
