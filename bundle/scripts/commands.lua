-- Commands for the developer console and tools, run in the global table.
commands = {}

-- Starts the current level again.
function commands.restart()
    gamelua.startLevel(gamelua.game.levelName or "level1")
end

-- Launches the bird in the sling: angle in degrees above the horizon, power 0 to 1.
function commands.shoot(angle, power)
    if gamelua.game.state == "aiming" then
        gamelua.launchAtAngle(angle, power)
    end
end
