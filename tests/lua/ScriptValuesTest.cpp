#include "lua/ScriptValues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lua/LuaFixture.h"

namespace {

class ScriptValuesTest : public LuaFixture {
protected:
    ScriptValuesTest() {
        run("t = {yes = true, no = false, one = 1, text = 'x', five = '5', sub = {a = 1}}");
    }
    lua::LuaTable t() { return global("t"); }
};

TEST_F(ScriptValuesTest, OnlyTheBooleanTrueIsTrue) {
    const struct {
        const char* key;
        bool expected;
    } cases[] = {
        {"yes", true},   {"no", false},  {"one", false},
        {"text", false}, {"sub", false}, {"none", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lua::isTrue(t(), c.key), c.expected) << c.key;
    }
}

TEST_F(ScriptValuesTest, NumbersFallBackUnlessNumeric) {
    EXPECT_EQ(lua::numberOr(t(), "one", 7), 1);
    EXPECT_EQ(lua::numberOr(t(), "five", 7), 5);  // a numeric string is a number to Lua
    EXPECT_EQ(lua::numberOr(t(), "text", 7), 7);
    EXPECT_EQ(lua::numberOr(t(), "yes", 7), 7);
    EXPECT_EQ(lua::numberOr(t(), "none", 7), 7);
}

TEST_F(ScriptValuesTest, TableOrEmptyHandle) {
    EXPECT_EQ(lua::tableOrEmpty(t(), "sub").getNumber("a"), 1);
    EXPECT_TRUE(lua::tableOrEmpty(t(), "text").isEmpty());
    EXPECT_TRUE(lua::tableOrEmpty(t(), "none").isEmpty());
}

TEST_F(ScriptValuesTest, StringsStopAtTheFirstValueThatIsNoString) {
    const struct {
        const char* array;
        std::vector<std::string> expected;
    } cases[] = {
        {"{'a', 'b', 'c'}", {"a", "b", "c"}},
        {"{'a', 2, 'c'}", {"a"}},
        {"{'a', nil, 'c'}", {"a"}},
        {"{}", {}},
        {"{x = 'a'}", {}},
    };
    for (const auto& c : cases) {
        run(std::string("list = ") + c.array);
        const int top = state.getTop();
        EXPECT_EQ(lua::stringsOf(global("list")), c.expected) << c.array;
        EXPECT_EQ(state.getTop(), top) << c.array;
    }
}

TEST_F(ScriptValuesTest, HookGetsItsArgumentsInOrder) {
    run("function hook(...) got = {...} end");
    lua::LuaTable globals = state.getGlobals();
    const int top = state.getTop();
    lua::callHook(globals, "hook", 1.5f, true, std::string("s"), "c", t());
    EXPECT_EQ(state.getTop(), top);
    lua::LuaTable got = global("got");
    EXPECT_EQ(got.getNumber(1), 1.5f);
    EXPECT_TRUE(lua::isTrue(got, 2));
    EXPECT_EQ(got.getString(3), "s");
    EXPECT_EQ(got.getString(4), "c");
    EXPECT_EQ(got.getTable(5).getString("text"), "x");
}

TEST_F(ScriptValuesTest, AMissingHookIsNamedAndLeavesTheStackAlone) {
    lua::LuaTable globals = state.getGlobals();
    run("notAFunction = 3");
    for (const char* name : {"missing", "notAFunction"}) {
        const int top = state.getTop();
        try {
            lua::callHook(globals, name, 1.0f);
            ADD_FAILURE() << name;
        } catch (const lua::LuaException& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("Script function ") + name +
                                                 " is not defined"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(state.getTop(), top) << name;
    }
}

TEST_F(ScriptValuesTest, OptionalArgumentsTakeTheirDefaultWhenAbsentOrNil) {
    state.pushNil();
    state.pushNumber(4);
    state.pushBoolean(true);
    EXPECT_TRUE(lua::isAbsent(&state, 1));
    EXPECT_TRUE(lua::isAbsent(&state, 9));
    EXPECT_EQ(lua::optNumber(&state, 1, 3), 3);
    EXPECT_EQ(lua::optNumber(&state, 2, 3), 4);
    EXPECT_FALSE(lua::optBoolean(&state, 9, false));
    EXPECT_TRUE(lua::optBoolean(&state, 3, false));
    EXPECT_EQ(lua::optString(&state, 1), "");
    EXPECT_TRUE(lua::isTrue(&state, 3));
    EXPECT_FALSE(lua::isTrue(&state, 2));
    // Strict: a present value of another type is an error.
    EXPECT_THROW(lua::optBoolean(&state, 2, false), lua::LuaException);
    state.pop(3);
}

}  // namespace
