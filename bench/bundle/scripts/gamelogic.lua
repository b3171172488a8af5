-- The bench game. QUILLFIRE_BENCH picks what it does:
--   "pyramid N", "container N"   the scene as ordinary game objects, drawn as
--                                32 x 32 sprites through the engine's object pass;
--   "sprites N SIZE"             N sprites of SIZE (32 or 4) drawn from the script
--                                with one res.drawSprites call a frame;
--   "spritecalls N SIZE"         the same with one res.drawSprite call a sprite;
--   "empty"                      nothing but the cleared screen.
physicsToWorld = 20
deadBlocks = {}
g_safeToQuit = true

local UNIT = 20
-- World (0, 0) sits at this pixel; the LÖVE side draws with the same offset.
local ORIGIN_X, ORIGIN_Y = 640, 700

local mode, count, size = "empty", 0, 32
do
    local text = os.getenv("QUILLFIRE_BENCH") or "empty"
    local m, n, s = string.match(text, "^(%a+)%s*(%d*)%s*(%d*)$")
    mode = m or "empty"
    count = tonumber(n) or 0
    size = tonumber(s) or 32
end

loadLuaFile(commonScriptPath .. "/scenes.lua", "")
local scenes = benchScenes

local sprites = {}
local spritePoints = {}  -- x1, y1, x2, y2, ... for res.drawSprites

local function buildScene(scene)
    objects.world = {}
    objects.joints = {}
    loadLevel("/levels/bench", "")
    for i, box in ipairs(scene.statics) do
        local name = string.format("static%d", i)
        createBox(name, "", box[1], box[2], box[3] * 2, box[4] * 2, 0, 0.5, 0, true, false, 0)
        setColliderType(name, 2)
    end
    for i, body in ipairs(scene.bodies) do
        local name = string.format("b%05d", i)
        if body[1] then
            createCircle(name, "BENCH_BALL", body[2], body[3], 0.5, 1, 0.5, 0, false, 5)
        else
            createBox(name, "BENCH_BOX", body[2], body[3], 1, 1, 1, 0.5, 0, true, false, 5)
        end
        local t = objects.world[name]
        t.strength = 1e9
        t.maxStrength = 1e9
        t.defence = 1
    end
    setLevelLimits(-1000, 0, 1000, 0)
    setWorldScale(1)
    setCameraViewport(-ORIGIN_X, -ORIGIN_Y, 0, 0)
    setPhysicsEnabled(true)
end

function createStartUpAssets()
    res.createSpriteSheet(imagePath .. "/bench.dat")
    if mode == "pyramid" or mode == "container" then
        buildScene(scenes[mode](count))
    elseif mode == "sprites" or mode == "spritecalls" then
        -- A fixed scatter over the screen, the same on both sides.
        local seed = 12345
        local function nextRandom()
            seed = (seed * 1103515245 + 12345) % 2147483648
            return seed / 2147483648
        end
        for i = 1, count do
            sprites[i] = { nextRandom() * 1280, nextRandom() * 720 }
            spritePoints[2 * i - 1], spritePoints[2 * i] = sprites[i][1], sprites[i][2]
        end
    end
end

function update(dt)
    if mode == "pyramid" or mode == "container" then
        drawGameNative()
    elseif mode == "sprites" then
        res.drawSprites(size == 4 and "BENCH_DOT" or "BENCH_BOX", spritePoints)
    elseif mode == "spritecalls" then
        local sprite = size == 4 and "BENCH_DOT" or "BENCH_BOX"
        local draw = res.drawSprite
        for i = 1, count do
            local p = sprites[i]
            draw(sprite, p[1], p[2])
        end
    end
end

function updateObjectProperties(name, x, y, xVel, yVel, angle, asleep, outsideLevel)
    local t = objects.world[name]
    if t then
        t.x, t.y, t.angle = x, y, angle
    end
end

function removeBlocks()
    for name in pairs(deadBlocks) do
        deadBlocks[name] = nil
    end
end

function updateValues() end
function loadParticles(reload) end
function birdCollision(bird, other, damage, dealt) end
function blockCollision(a, b, damage, dealt) end
function applyForcesAtPhysicsStep() end
function updatePhysicsStep(dt) end
function clearLuaForceFunctions() end
function playWaterSplash(isBird) end
function trappedInBubble(bird) end
function drawZOrdered(z) end
function destroyJointDeferred(name) end
function resolutionChanged(width, height) end
function gamePaused() end
function gameResumed() end
function calculatePlaytime() end
function latestVersionNumberReceived(version, text) end
function updateAvailable(available) end
function nativecallback_urlResponse(url, response) end
function birdTravellingThroughPortal(name) end
function objectTeleportationAborted(name) end
function objectExitingThroughPortal(name) end
function onObjectRemoved(name) end
function notifyEventManager(event, data) end
