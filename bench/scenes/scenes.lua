-- The benchmark scenes in world units (y down), for the bench bundle and the
-- LÖVE side; bench/scenes/Scenes.cpp builds the same for the raw stepper.
-- Returns { statics = { {x, y, hw, hh}... }, bodies = { {circle, x, y}... } }.
local scenes = {}

function scenes.pyramid(n)
    local scene = { statics = { { 0, 0.5, 100, 0.5 } }, bodies = {} }
    local b = 0
    while b * (b + 1) / 2 < n do
        b = b + 1
    end
    local placed = 0
    for r = 0, b - 1 do
        for j = 0, b - r - 1 do
            if placed >= n then
                return scene
            end
            placed = placed + 1
            scene.bodies[placed] = { false, (j - (b - r - 1) * 0.5) * 1.05, -0.5 - r }
        end
    end
    return scene
end

function scenes.container(n)
    local c = math.ceil(math.sqrt(n))
    local rows = math.ceil(n / c)
    local hw = 0.75 * c + 1
    local h = 1.5 * rows + 10
    local scene = { statics = { { 0, 0.5, hw + 1, 0.5 }, { -(hw + 0.5), -h / 2, 0.5, h / 2 },
                                { hw + 0.5, -h / 2, 0.5, h / 2 } }, bodies = {} }
    for i = 0, n - 1 do
        local col, row = i % c, math.floor(i / c)
        scene.bodies[i + 1] = { i % 2 == 1, (col - (c - 1) / 2) * 1.5 + (row % 2) * 0.375,
                                -(3 + 1.5 * row) }
    end
    return scene
end

-- Global for the engine's loadLuaFile, which returns nothing.
benchScenes = scenes
return scenes
