// The world's per-frame publishing of N awake objects: poses, interpolation,
// moving detection and one updateObjectProperties call each. No physics step
// runs (physicsSpeedFactor 0), so only the game layer is timed.

#include <benchmark/benchmark.h>

#include <string>

#include "common/world/GameLua.h"
#include "gr/Context.h"
#include "lua/LuaState.h"

namespace {

const char* const HOOKS = R"(
deadBlocks = {}
physicsSpeedFactor = 0
function applyForcesAtPhysicsStep() end
function updatePhysicsStep(dt) end
function removeBlocks() end
function clearLuaForceFunctions() end
function update(dt1, dt2) end
function blockCollision() end
function birdCollision() end
)";

// The bench game's hook, and one that does nothing: the difference is the
// script's own share of publishing.
const char* const WRITING_HOOK = R"(
function updateObjectProperties(name, x, y, xVel, yVel, angle, asleep, outside)
    local t = objects.world[name]
    if t then
        t.x, t.y, t.angle = x, y, angle
    end
end
)";
const char* const EMPTY_HOOK = "function updateObjectProperties() end";

void run(lua::LuaState& state, GameLua& world, const std::string& code) {
    state.runBuffer(code.data(), code.size(), "bench.lua", &world);
}

void publishObjects(benchmark::State& state, const char* hook) {
    lua::LuaState lua;
    lang::Ptr<GameLua> world = new GameLua(lua, GameLua::Services());
    run(lua, *world, HOOKS);
    run(lua, *world, hook);
    run(lua, *world, "objects.world = {} setPhysicsEnabled(true)");
    world->bindLevelTables();
    run(lua, *world,
        "for i = 1, " + std::to_string(state.range(0)) +
            " do createBox(string.format('b%05d', i), '', (i % 100) * 2, -math.floor(i / 100) * 2,"
            " 1, 1, 1, 0.5, 0, true, false, 5) end");
    for (auto _ : state) {
        world->update(1.0f / 30);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    world.reset();
}

void BM_PublishObjects(benchmark::State& state) {
    publishObjects(state, WRITING_HOOK);
}
BENCHMARK(BM_PublishObjects)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_PublishObjectsEmptyHook(benchmark::State& state) {
    publishObjects(state, EMPTY_HOOK);
}
BENCHMARK(BM_PublishObjectsEmptyHook)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
