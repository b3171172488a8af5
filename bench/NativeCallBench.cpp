// A typed native through the LuaObject trampoline against a plain
// lua_CFunction doing the same work, both called the same way from C.

#include <benchmark/benchmark.h>

#include "lang/Ptr.h"
#include "lua.h"
#include "lua/LuaObject.h"
#include "lua/LuaState.h"

namespace {

class Adder : public lua::LuaObject {
public:
    explicit Adder(lua::LuaState& state) : LuaObject(state) {
        bindMethod("add", this, &Adder::add);
    }
    float add(float a, float b) { return a + b; }
};

int rawAdd(lua_State* L) {
    lua_pushnumber(L, lua_tonumber(L, 1) + lua_tonumber(L, 2));
    return 1;
}

// Calls the function on top of the stack with (i, 2) once per iteration.
void callLoop(benchmark::State& state, lua_State* L) {
    const int function = lua_gettop(L);
    float i = 0;
    for (auto _ : state) {
        lua_pushvalue(L, function);
        lua_pushnumber(L, i);
        lua_pushnumber(L, 2);
        lua_call(L, 2, 1);
        benchmark::DoNotOptimize(lua_tonumber(L, -1));
        lua_pop(L, 1);
        i += 1;
    }
    lua_pop(L, 1);
}

void BM_NativeCallRaw(benchmark::State& state) {
    lua::LuaState lua;
    lua_State* L = lua.getLua();
    lua_pushcfunction(L, rawAdd);
    callLoop(state, L);
}
BENCHMARK(BM_NativeCallRaw);

void BM_NativeCallTyped(benchmark::State& state) {
    lua::LuaState lua;
    lang::Ptr<Adder> adder = new Adder(lua);
    adder->pushField("add");
    callLoop(state, lua.getLua());
}
BENCHMARK(BM_NativeCallTyped);

}  // namespace
