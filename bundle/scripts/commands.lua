-- Commands for the developer console and tools, run in the global table.
commands = {}

-- Starts the level in play again.
function commands.restart()
    local level = gamelua.Play.levelName()
    if level then
        gamelua.Flow.go("play", level)
    end
end

-- Launches the bird in the sling: angle in degrees above the horizon, power 0 to 1.
function commands.shoot(angle, power)
    gamelua.Play.fire(angle, power)
end
