-- The LÖVE side of bench/run.sh: the same window as the bench bundle.
function love.conf(t)
    t.identity = "quillfire-bench"
    t.window.title = "bench"
    t.window.width = 1280
    t.window.height = 720
    t.window.vsync = 0
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
end
