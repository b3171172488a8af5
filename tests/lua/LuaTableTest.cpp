#include <gtest/gtest.h>

#include <string>

#include "LuaFixture.h"
#include "lua/LuaException.h"
#include "lua/LuaTable.h"

namespace {

using lua::LuaException;
using lua::LuaTable;

using LuaTableTest = LuaFixture;

TEST_F(LuaTableTest, ValuesRoundTripUnderEveryKeyForm) {
    LuaTable t(state);
    LuaTable inner(state);
    int top = state.getTop();
    t.set("name", "text");
    t.set(std::string("count"), 3.5f);
    t.set(2, true);
    t.set("inner", &inner);
    t.set(std::string("s"), std::string("a\0b", 3));
    EXPECT_EQ(t.getString(std::string("name")), "text");
    EXPECT_EQ(t.getNumber("count"), 3.5f);
    EXPECT_TRUE(t.isBoolean(2));
    EXPECT_TRUE(t.getBoolean(2));
    EXPECT_TRUE(t.isTable("inner"));
    EXPECT_EQ(t.getString("s"), std::string("a\0b", 3));
    t.getTable("inner").set(1, "deep");
    EXPECT_EQ(inner.getString(1), "deep");
    t.remove("name");
    EXPECT_TRUE(t.isNil("name"));
    t.set("inner", static_cast<const LuaTable*>(nullptr));
    EXPECT_TRUE(t.isNil("inner"));
    EXPECT_EQ(state.getTop(), top);
}

TEST_F(LuaTableTest, LenientReadersGiveDefaults) {
    run("t = { zero = 0, numeric = '12.5', word = 'abc', flag = false, n = 7 }");
    LuaTable t = global("t");
    EXPECT_EQ(t.getNumber("missing"), 0.0f);
    EXPECT_EQ(t.getNumber("numeric"), 12.5f);
    EXPECT_EQ(t.getNumber("word"), 0.0f);
    EXPECT_EQ(t.getString("missing"), "");
    EXPECT_EQ(t.getString("flag"), "");
    EXPECT_TRUE(t.getBoolean("zero"));
    EXPECT_FALSE(t.getBoolean("flag"));
    EXPECT_FALSE(t.getBoolean("missing"));
    EXPECT_TRUE(t.isNumber("numeric"));
    EXPECT_TRUE(t.isString("n"));
    EXPECT_FALSE(t.isString("flag"));
    // Reading a number as text converts only the copy.
    EXPECT_EQ(t.getString("n"), "7");
    run("kind = type(t.n)");
    EXPECT_EQ(state.getGlobals().getString("kind"), "number");
}

TEST_F(LuaTableTest, AccessesAreRaw) {
    run("t = setmetatable({}, {__index = function() return 99 end,"
        "                      __newindex = function() error('no') end})");
    LuaTable t = global("t");
    EXPECT_TRUE(t.isNil("x"));
    t.set("x", 1.0f);
    EXPECT_EQ(t.getNumber("x"), 1.0f);
}

TEST_F(LuaTableTest, GetTableOfOtherTypesThrows) {
    run("t = { cfg = 5, [3] = 'x' }");
    LuaTable t = global("t");
    struct {
        LuaTable::Key key;
        const char* message;
    } cases[] = {
        {"cfg", "Tried to get value cfg from table, but type was NUMBER instead of TABLE"},
        {3, "Tried to get value 3 from table, but type was STRING instead of TABLE"},
        {"none", "Tried to get value none from table, but type was NIL instead of TABLE"},
    };
    int top = state.getTop();
    for (const auto& c : cases) {
        try {
            t.getTable(c.key);
            ADD_FAILURE() << c.message;
        } catch (const LuaException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(state.getTop(), top);
    }
}

TEST_F(LuaTableTest, EmptyHandlePushesNilAndRefusesAccess) {
    LuaTable empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.count(), 0);
    EXPECT_THROW(empty.getNumber("x"), LuaException);
    // From a stack that already holds a value, so that a missing push shows.
    state.pushString("below");
    const int top = state.getTop();
    state.pushTable(&empty);
    EXPECT_EQ(state.getTop(), top + 1);
    EXPECT_EQ(state.getType(-1), LUA_TNIL);
    state.pushTable(nullptr);
    EXPECT_EQ(state.getTop(), top + 2);
    EXPECT_EQ(state.getType(-1), LUA_TNIL);
    state.pop(3);
}

TEST_F(LuaTableTest, NullNameIsRefused) {
    LuaTable t(state);
    int top = state.getTop();
    const char* none = nullptr;
    EXPECT_THROW(t.set(none, 1.0f), LuaException);
    EXPECT_THROW(t.getNumber(none), LuaException);
    EXPECT_EQ(state.getTop(), top);
    EXPECT_EQ(t.count(), 0);
}

TEST_F(LuaTableTest, HandlesKeepTheirTableAliveUntilReleased) {
    run("weak = setmetatable({}, {__mode = 'v'})\n"
        "weak.t = { v = 1 }");
    lua::LuaTable* handle = new LuaTable(global("weak").getTable("t"));
    LuaTable copy;
    copy = *handle;
    LuaTable assigned(state);
    assigned = copy;
    assigned = assigned;
    run("collectgarbage()");
    delete handle;
    copy = LuaTable();
    run("collectgarbage()");
    EXPECT_FALSE(global("weak").isNil("t"));
    EXPECT_EQ(assigned.getNumber("v"), 1.0f);
    assigned = LuaTable();
    run("collectgarbage()");
    EXPECT_TRUE(global("weak").isNil("t"));
}

TEST_F(LuaTableTest, CountsEveryEntry) {
    run("t = { 1, 2, 3, a = 1, [true] = 2, [0.5] = 3 }");
    EXPECT_EQ(global("t").count(), 6);
    EXPECT_EQ(LuaTable(state).count(), 0);
}

TEST_F(LuaTableTest, CallFunctionRunsTheStoredFunction) {
    run("t = { hits = 0 }\n"
        "function t.hook() t.hits = t.hits + 1 end");
    LuaTable t = global("t");
    t.callFunction("hook");
    t.callFunction("hook");
    EXPECT_EQ(t.getNumber("hits"), 2.0f);
    int top = state.getTop();
    try {
        t.callFunction("missing");
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 27), "attempt to call a nil value");
    }
    EXPECT_EQ(state.getTop(), top);
}

TEST_F(LuaTableTest, PushFieldLeavesTheValue) {
    run("t = { x = 'y' }");
    int top = state.getTop();
    global("t").pushField("x");
    EXPECT_EQ(state.getTop(), top + 1);
    EXPECT_STREQ(state.toString(-1), "y");
    state.pop(1);
}

}  // namespace
