#include <gtest/gtest.h>

#include <string>

#include "LuaFixture.h"
#include "io/ByteArrayOutputStream.h"
#include "lua/LuaTable.h"

namespace {

using lua::LuaTable;

using LuaSerializeTest = LuaFixture;

struct SerializeCase {
    const char* build;  // Lua statements that fill the global t
    const char* text;   // t serialised at the top level
};

TEST_F(LuaSerializeTest, WritesLuaSource) {
    const SerializeCase cases[] = {
        {"t = {}", "\n"},
        {"t = { b = true, f = false }", nullptr},
        {"t = { n = 1234567 }", "n = 1234567\n"},
        {"t = { n = -0.5 }", "n = -0.5\n"},
        {"t = { n = 0/0 }", "n = 0/0\n"},
        {"t = { n = math.huge }", "n = 1/0\n"},
        {"t = { n = -math.huge }", "n = -1/0\n"},
        {"t = { t = { 1, 2, x = 3 } }", "t = {\n    1,2,\n    x = 3,\n}\n"},
        {"t = { e = {} }", "e = {\n\n}\n"},
        {"t = { a = { b = { 'x' } } }", "a = {\n    b = {\n        \"x\",\n    },\n}\n"},
        {"t = { t = { 'a' } }; t.t[3] = 'c'", "t = {\n    \"a\",\n    [3] = \"c\",\n}\n"},
        {"t = { t = {} }; t.t['my key'] = 1", "t = {\n    [\"my key\"] = 1,\n}\n"},
        {"t = { t = {} }; t.t[true] = 1", "t = {\n    [true] = 1,\n}\n"},
        {"t = { t = {} }; t.t['end'] = 1", "t = {\n    [\"end\"] = 1,\n}\n"},
        {"t = { ['end'] = 1 }", "\n"},
        {"t = { ['my key'] = 1 }", "\n"},
        {"t = { [7] = 1 }", "\n"},
        {"t = { 1, 2 }", "\n"},
        {"t = { _G = 1 }", ""},
        {"t = { this = 1 }", ""},
        {"t = { t = { _G = 1, this = 2 } }", "t = {\n}\n"},
        {"t = { f = print, u = coroutine.create(function() end) }", "\n"},
        {"t = { t = { 1, print, 3 } }", "t = {\n    1,\n    [3] = 3,\n}\n"},
        {"t = { s = '\\200' .. '1' }", "s = \"\\2001\"\n"},
        {"t = { s = '\\5a' }", "s = \"\\5a\"\n"},
        {"t = { s = '\\0' .. '7' }", "s = \"\\0007\"\n"},
        {"t = { s = '\\1' }", "s = \"\\1\"\n"},
        {"t = { s = '\\a\\b\\t\\n\\v\\f\\r' }", "s = \"\\a\\b\\t\\n\\v\\f\\r\"\n"},
        {"t = { s = [[\"'\\]] }", "s = \"\\\"\\'\\\\\"\n"},
        {"t = { s = '~ \\127' }", "s = \"~ \\127\"\n"},
    };
    for (const SerializeCase& c : cases) {
        run(c.build);
        std::string text = global("t").serializeToString();
        if (c.text) {
            EXPECT_EQ(text, c.text) << c.build;
        } else {
            EXPECT_TRUE(text == "b = true\nf = false\n" || text == "f = false\nb = true\n") << text;
        }
    }
}

TEST_F(LuaSerializeTest, NestedFormWritesIndexedKeysAndCommas) {
    run("t = { 'a', 'b' }; t.x = 1");
    EXPECT_EQ(global("t").serializeToString(8, true), "        \"a\",\"b\",\n        x = 1,\n");
}

TEST_F(LuaSerializeTest, CyclesAreCutInsteadOfRecursingForever) {
    run("t = { a = {} }; t.a.back = t; t.self = t");
    EXPECT_EQ(global("t").serializeToString(), "a = {\n\n}\n");
}

TEST_F(LuaSerializeTest, OutputRebuildsTheTable) {
    run("t = { name = 'it\\'s \\200\\0', list = { 1, 2.5, 'x', { deep = true } },"
        "      opts = { speed = -3, [5] = 'five', ['two words'] = false } }");
    std::string text = global("t").serializeToString();
    LuaTable copy(state);
    state.runBuffer(text.data(), text.size(), "copy", &copy);
    EXPECT_EQ(copy.getString("name"), std::string("it's \xC8\0", 7));
    EXPECT_EQ(copy.getTable("list").getNumber(2), 2.5f);
    EXPECT_EQ(copy.getTable("opts").getString(5), "five");
    EXPECT_FALSE(copy.getTable("opts").getBoolean("two words"));
    EXPECT_TRUE(copy.getTable("list").getTable(4).getBoolean("deep"));
}

TEST_F(LuaSerializeTest, StreamReceivesTheSameText) {
    run("t = { a = 1, t = { 'x' } }");
    io::ByteArrayOutputStream out;
    int top = state.getTop();
    global("t").serialize(out, 0, false);
    EXPECT_EQ(state.getTop(), top);
    EXPECT_EQ(out.toString(), global("t").serializeToString());
}

}  // namespace
