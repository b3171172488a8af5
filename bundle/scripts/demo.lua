-- Demo mode (`--demo`): every level in order, played by the shots recorded in
-- demoShots.lua. The next shot goes once the sling has been ready for a
-- second of game time; a shot's `ability` is the seconds after its launch at
-- which the bird's trick is used. Each level ends on its result panel, which
-- is captured to the shots folder when one was given, and one line is
-- written to standard output: name, won or lost, score, stars. The run exits
-- with 0 only when every level was won.

Demo = { active = false }

local AIM_WAIT = 1.0 -- seconds the sling is ready before a shot
local LEVEL_TIMEOUT = 180 -- seconds of game time before a level counts as lost
local PANEL_HOLD = 0.5 -- seconds the finished panel stays before the capture

function Demo.setUp()
    Demo.active = type(launch) == "table" and launch.demo == true
    if not Demo.active then
        return
    end
    Demo.order = Progress.levelOrder(episodes)
    Demo.index = 0
    Demo.failures = 0
    Demo.played = 0
end

-- Starts the next level, or ends the run after the last one.
function Demo.next()
    Demo.index = Demo.index + 1
    local entry = Demo.order[Demo.index]
    if not entry then
        Demo.finishRun()
        return
    end
    Flow.go("play", entry.name)
end

function Demo.finishRun()
    local code = (Demo.failures == 0 and Demo.played > 0) and 0 or 1
    Demo.done = true
    requestExit(code)
end

function Demo.levelStarted(name)
    Demo.level = name
    Demo.shots = (type(demoShots) == "table" and demoShots[name]) or {}
    Demo.shot = 0
    Demo.aimTime = 0
    Demo.flightTime = nil
    Demo.abilityAt = nil
    Demo.levelTime = 0
    Demo.hold = 0
    Demo.reported = false
end

-- One frame inside a level, before Play.update.
function Demo.update(dt)
    Demo.levelTime = Demo.levelTime + dt
    local state = Play.state()
    if Demo.flightTime then
        Demo.flightTime = Demo.flightTime + dt
        if Demo.abilityAt and Demo.flightTime >= Demo.abilityAt then
            Demo.abilityAt = nil
            Play.useAbility()
        end
    end
    if state == "aiming" then
        Demo.aimTime = Demo.aimTime + dt
        if Demo.aimTime >= AIM_WAIT then
            local shot = Demo.shots[Demo.shot + 1]
            if shot then
                Demo.shot = Demo.shot + 1
                Demo.aimTime = 0
                Play.fire(shot.angle, shot.power)
                Demo.flightTime = 0
                Demo.abilityAt = tonumber(shot.ability)
            elseif Demo.aimTime >= AIM_WAIT + 1 then
                -- Out of recorded shots with birds to spare: the level is lost.
                Demo.forceEnd()
            end
        end
    else
        Demo.aimTime = 0
    end
    if Demo.levelTime > LEVEL_TIMEOUT and state ~= "won" and state ~= "lost" then
        Demo.forceEnd()
    end
end

function Demo.forceEnd()
    Flow.ingame.finish({ won = false, score = Play.score() or 0, baseScore = Play.score() or 0,
                         birdBonus = 0, birdsLeft = 0 })
end

-- One frame of the result panel: once it has counted up, capture and report.
function Demo.updateResult(dt)
    if not Flow.ingame.countDone() or Demo.reported then
        if Demo.reported then
            Demo.next()
        end
        return
    end
    Demo.hold = Demo.hold + dt
    if Demo.hold < PANEL_HOLD then
        return
    end
    local result = Flow.ingame.result
    local name = Flow.ingame.level
    if type(launch.shots) == "string" and launch.shots ~= "" then
        -- Taken after this frame is drawn, so the panel is in the picture.
        captureScreen(launch.shots .. "/" .. name .. ".png")
    end
    Demo.played = Demo.played + 1
    if not result.won then
        Demo.failures = Demo.failures + 1
    end
    writeLine(string.format("%s %s %d %d", name, result.won and "won" or "lost",
        math.floor(result.score or 0), Flow.ingame.stars or 0))
    Demo.reported = true
end
