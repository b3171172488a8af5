-- The first level, opened as the level select opens it and played through the
-- engine's input as a player would.
-- Run with: quillfire build/bundle/config.lua --test tests/levels

local function over()
    return Play.state() == "won" or Play.state() == "lost"
end

local function open()
    Flow.go("play", "m01")
    step(10)
end

-- Fires each shot once the sling is ready, until the level ends.
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

test("the level opens with two gremlins and the first bird ready", function()
    open()
    expect(Level.countTargets() == 2, "gremlins standing: " .. Level.countTargets())
    expect(Play.state() == "aiming", "state: " .. Play.state())
end)

test("a bird dragged back from the sling and let go is in flight", function()
    open()
    drag(94, 345, 34, 375, 20) -- pulled back and down: a shot upwards
    expect(Play.state() == "flying", "state after the release: " .. Play.state())
    expect(stepUntil(function() return Play.state() ~= "flying" end, 900), "it never landed")
end)

test("the recorded shot wins the level", function()
    open()
    expect(shoot(demoShots.m01), "the level did not end")
    expect(Play.state() == "won", "state: " .. Play.state())
end)

test("feeble shots lose it", function()
    open()
    expect(shoot({ { angle = 10, power = 0.1 }, { angle = 10, power = 0.1 },
                   { angle = 10, power = 0.1 } }), "the level did not end")
    expect(Play.state() == "lost", "state: " .. Play.state())
    expect(Level.countTargets() == 2, "gremlins standing: " .. Level.countTargets())
end)
