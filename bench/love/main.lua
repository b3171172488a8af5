-- The LÖVE side of bench/run.sh. LOVE_BENCH picks what it does, as
-- QUILLFIRE_BENCH does for the bench bundle: "pyramid N", "container N",
-- "sprites N SIZE", "spritebatch N SIZE" or "empty". LOVE_BENCH_FRAMES frames
-- run, then it quits; LOVE_BENCH_STATS names the file of per-frame times,
-- in the columns of the engine's --stats file.
local scenes = require("scenes")

local UNIT = 20
local ORIGIN_X, ORIGIN_Y = 640, 700

local mode, count, size = "empty", 0, 32
do
    local m, n, s = string.match(os.getenv("LOVE_BENCH") or "empty", "^(%a+)%s*(%d*)%s*(%d*)$")
    mode = m or "empty"
    count = tonumber(n) or 0
    size = tonumber(s) or 32
end
local frames = tonumber(os.getenv("LOVE_BENCH_FRAMES") or "") or 600

local wallMicros
do
    local ok, ffi = pcall(require, "ffi")
    if ok then
        ffi.cdef("typedef struct { long tv_sec; long tv_nsec; } qf_timespec;"
            .. "int clock_gettime(int clk, qf_timespec* ts);")
        local ts = ffi.new("qf_timespec")
        wallMicros = function()
            ffi.C.clock_gettime(0, ts)
            return tonumber(ts.tv_sec) * 1000000 + math.floor(tonumber(ts.tv_nsec) / 1000)
        end
    else
        wallMicros = function() return os.time() * 1000000 end
    end
end

local world, bodies, images, sprites, batch

local function build(scene)
    love.physics.setMeter(1)
    world = love.physics.newWorld(0, 20, true)
    local ground = love.physics.newBody(world, 0, 0, "static")
    for _, box in ipairs(scene.statics) do
        local fixture = love.physics.newFixture(ground,
            love.physics.newRectangleShape(box[1], box[2], box[3] * 2, box[4] * 2, 0), 0)
        fixture:setFriction(0.5)
    end
    bodies = {}
    local square = love.physics.newRectangleShape(1, 1)
    local circle = love.physics.newCircleShape(0.5)
    for i, b in ipairs(scene.bodies) do
        local body = love.physics.newBody(world, b[2], b[3], "dynamic")
        body:setAngularDamping(1)
        local fixture = love.physics.newFixture(body, b[1] and circle or square, 1)
        fixture:setFriction(0.5)
        fixture:setRestitution(0)
        bodies[i] = { body, b[1] and images.ball or images.box }
    end
end

function love.load()
    images = { box = love.graphics.newImage("BENCH_BOX.png"),
               ball = love.graphics.newImage("BENCH_BALL.png"),
               dot = love.graphics.newImage("BENCH_DOT.png") }
    if mode == "pyramid" or mode == "container" then
        build(scenes[mode](count))
    elseif mode == "sprites" or mode == "spritebatch" then
        local seed = 12345
        local function nextRandom()
            seed = (seed * 1103515245 + 12345) % 2147483648
            return seed / 2147483648
        end
        sprites = {}
        for i = 1, count do
            sprites[i] = { nextRandom() * 1280, nextRandom() * 720 }
        end
        batch = love.graphics.newSpriteBatch(size == 4 and images.dot or images.box, count, "stream")
    end
end

local function drawScene()
    local draw = love.graphics.draw
    for i = 1, #bodies do
        local entry = bodies[i]
        local x, y = entry[1]:getPosition()
        draw(entry[2], x * UNIT + ORIGIN_X, y * UNIT + ORIGIN_Y, entry[1]:getAngle(), 1, 1, 16, 16)
    end
end

-- Sprites are drawn at their centre, as the engine's drawSprite does.
local function drawSprites()
    local image = size == 4 and images.dot or images.box
    local half = size / 2
    if mode == "spritebatch" then
        batch:clear()
        for i = 1, count do
            local p = sprites[i]
            batch:add(p[1], p[2], 0, 1, 1, half, half)
        end
        love.graphics.draw(batch)
    else
        local draw = love.graphics.draw
        for i = 1, count do
            local p = sprites[i]
            draw(image, p[1], p[2], 0, 1, 1, half, half)
        end
    end
end

function love.run()
    love.load()
    local out = io.open(os.getenv("LOVE_BENCH_STATS") or "love-stats.txt", "w")
    out:write("frame physics_us hooks_us publish_us draw_us present_us frame_us wall_us\n")
    local now = love.timer.getTime
    local last = now()
    local frame = 0
    return function()
        love.event.pump()
        for name in love.event.poll() do
            if name == "quit" then
                out:close()
                return 0
            end
        end
        local t0 = now()
        if world then
            world:update(1 / 30, 10, 10)
        end
        local t1 = now()
        love.graphics.origin()
        love.graphics.clear(0, 0, 0)
        if world then
            drawScene()
        elseif sprites then
            drawSprites()
        end
        local t2 = now()
        love.graphics.present()
        local t3 = now()
        out:write(string.format("%d %.1f 0 0 %.1f %.1f %.1f %d\n", frame, (t1 - t0) * 1e6,
            (t2 - t1) * 1e6, (t3 - t2) * 1e6, (t3 - last) * 1e6, wallMicros()))
        last = t3
        frame = frame + 1
        if frame >= frames then
            out:close()
            return 0
        end
    end
end
