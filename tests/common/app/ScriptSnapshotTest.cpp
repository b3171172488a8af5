// Taking back a set of scripts that failed halfway: whatever the new set did
// to the tables reachable from the globals is undone, and the old functions
// find their own state again.

#include <gtest/gtest.h>

#include <string>

#include "common/app/ScriptSnapshot.h"
#include "lua/LuaState.h"

namespace {

void run(lua::LuaState& state, const lua::LuaTable& env, const std::string& code) {
    state.runBuffer(code.data(), code.size(), "test", &env);
}

// A table of globals as the game's world is: the standard library shows
// through its metatable, which the snapshot leaves alone.
lua::LuaTable scriptGlobals(lua::LuaState& state) {
    const std::string code = "scripts = setmetatable({}, { __index = _G })";
    state.runBuffer(code.data(), code.size(), "globals", nullptr);
    return state.getGlobals().getTable("scripts");
}

struct UndoCase {
    const char* name;
    const char* before;  // the scripts that ran first
    const char* change;  // what the failed set did before it failed
    const char* check;   // true once the snapshot is restored
};

const UndoCase CASES[] = {
    {"a new global goes", "a = 1", "b = 2", "b == nil and a == 1"},
    {"a replaced global comes back", "a = 'old'", "a = 'new'", "a == 'old'"},
    {"a removed global comes back", "a = 1", "a = nil", "a == 1"},
    {"a function replaced in a table kept in place",
     "Play = Play or {} local n = 0 function Play.count() n = n + 1 return n end Play.count()",
     "Play = Play or {} function Play.count() return -1 end Play.extra = true",
     "Play.count() == 2 and Play.extra == nil"},
    {"a nested field, in the very same table",
     "Flow = { screens = { play = { level = 'm01' } } } same = Flow.screens",
     "Flow.screens.play.level = 'broken' Flow.screens.title = {}",
     "Flow.screens == same and Flow.screens.play.level == 'm01' and Flow.screens.title == nil"},
    {"a table replaced by a new one", "Flow = { time = 3 } old = Flow", "Flow = { time = 0 }",
     "Flow == old and Flow.time == 3"},
    {"tables that refer to each other", "a = {} a.self = a b = { a = a } a.b = b",
     "a.self = nil b.a = 5", "a.self == a and b.a == a and a.b == b"},
    {"a table reachable only as a key", "k = {} map = { [k] = 1 } k = nil",
     "for key in pairs(map) do key.x = 1 end",
     "(function() for key in pairs(map) do return key.x == nil end end)()"},
    {"array parts", "list = { 1, 2, 3 }", "list[4] = 4 list[1] = nil table.remove(list, 2)",
     "#list == 3 and list[1] == 1 and list[2] == 2 and list[3] == 3"},
};

TEST(ScriptSnapshot, RestoreUndoesWhatTheFailedSetDid) {
    for (const UndoCase& c : CASES) {
        SCOPED_TRACE(c.name);
        lua::LuaState state;
        const lua::LuaTable env = scriptGlobals(state);
        run(state, env, c.before);
        const ScriptSnapshot snapshot(env);
        run(state, env, c.change);
        snapshot.restore();
        run(state, env, std::string("restored = ") + c.check);
        EXPECT_TRUE(env.getBoolean("restored"));
    }
}

TEST(ScriptSnapshot, TablesMadeAfterTheSnapshotAreNotTouched) {
    lua::LuaState state;
    const lua::LuaTable env = scriptGlobals(state);
    run(state, env, "a = 1");
    const ScriptSnapshot snapshot(env);
    run(state, env, "made = { x = 1 }");
    lua::LuaTable made = env.getTable("made");
    snapshot.restore();
    EXPECT_TRUE(env.isNil("made"));
    EXPECT_EQ(made.getNumber("x"), 1);
}

}  // namespace
