#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "LuaFixture.h"
#include "lang/Exception.h"
#include "lua/JSONExporter.h"
#include "lua/LuaException.h"
#include "lua/LuaJSON.h"
#include "lua/LuaTable.h"

namespace {

using lua::exportJSON;
using lua::importJSON;
using lua::LuaTable;

// Deep comparison of two Lua values, available to the snippets as same(a, b).
const char* kSame = R"(
function same(a, b)
    if type(a) ~= type(b) then return false end
    if type(a) ~= 'table' then return a == b end
    for k, v in pairs(a) do if not same(v, b[k]) then return false end end
    for k in pairs(b) do if a[k] == nil then return false end end
    return true
end)";

class LuaJSONTest : public LuaFixture {
protected:
    void SetUp() override { run(kSame); }

    bool truth(const std::string& expression) {
        run("result = (" + expression + ") == true");
        return state.getGlobals().getBoolean("result");
    }

    // The message of the lang::Exception that importing text throws.
    std::string importError(const std::string& text) {
        LuaTable t(state);
        try {
            importJSON(text, t);
        } catch (const lang::Exception& e) {
            return e.what();
        }
        ADD_FAILURE() << "no exception from: " << text;
        return std::string();
    }
};

TEST_F(LuaJSONTest, ImportFillsScalarsArraysAndObjects) {
    LuaTable t(state);
    state.getGlobals().set("t", &t);
    importJSON(R"({"a": 1, "b": [true, null, "x"], "c": {}, "d": {"e": [[1], {"f": -2.5}]}})", t);
    EXPECT_TRUE(truth("t.a == 1 and t.b[1] == true and t.b[2] == nil and t.b[3] == 'x'"));
    EXPECT_TRUE(truth("type(t.c) == 'table' and next(t.c) == nil"));
    EXPECT_TRUE(truth("same(t.d, {e = {{1}, {f = -2.5}}})"));
    EXPECT_EQ(t.count(), 4);
}

TEST_F(LuaJSONTest, ImportMergesIntoTheTargetAndNullRemovesKeys) {
    run("t = {keep = 'k', gone = 1, over = 2}");
    importJSON(R"({"gone": null, "over": "new", "added": false})", global("t"));
    EXPECT_TRUE(truth("same(t, {keep = 'k', over = 'new', added = false})"));
}

TEST_F(LuaJSONTest, ImportConvertsNumbersAndStrings) {
    LuaTable t(state);
    importJSON(R"({"big": 1e300, "small": -1e300, "tenth": 0.1, "int": 16777217,)"
               R"( "text": "\u00e9\t\"q\"\/", "nul": "a\u0000b"})",
               t);
    EXPECT_EQ(t.getNumber("big"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(t.getNumber("small"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(t.getNumber("tenth"), 0.1f);
    EXPECT_EQ(t.getNumber("int"), 16777216.0f);
    EXPECT_EQ(t.getString("text"), "\xc3\xa9\t\"q\"/");
    EXPECT_EQ(t.getString("nul"), "a");
}

TEST_F(LuaJSONTest, ImportReadsOnlyTheGivenBytes) {
    // No terminator after the buffer: the parser must stop at its end.
    std::string text = R"({"a": 1})";
    std::vector<char> bytes(text.begin(), text.end());
    LuaTable t(state);
    importJSON(bytes.data(), bytes.size(), t);
    EXPECT_EQ(t.getNumber("a"), 1.0f);

    std::vector<char> cut(bytes.begin(), bytes.begin() + 6);
    EXPECT_THROW(importJSON(cut.data(), cut.size(), t), lang::Exception);
}

TEST_F(LuaJSONTest, ParseFailuresNameWhereParsingStopped) {
    EXPECT_EQ(importError(R"({"a": 1, "b": nope})"), "JSON parsing failed here: nope}");
    const std::vector<std::string> bad = {"",
                                          "{",
                                          "{\"a\":}",
                                          "[1,",
                                          "\"open",
                                          "{\"a\" 1}",
                                          std::string(3000, '['),
                                          std::string(3000, '{')};
    for (const std::string& text : bad) {
        EXPECT_EQ(importError(text).rfind("JSON parsing failed here: ", 0), 0u)
            << text.substr(0, 20);
    }
}

TEST_F(LuaJSONTest, DamagedTextFailsCleanly) {
    const std::string valid = R"({"a": [1, {"b": "x\u00e9"}, null], "c": {"d": -1.5e3}})";
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::string text = valid;
        for (int k = 0; k < 3; ++k) {
            text[random() % text.size()] = static_cast<char>(random());
        }
        text.resize(random() % (text.size() + 1));
        LuaTable t(state);
        try {
            importJSON(text, t);
        } catch (const lang::Exception&) {
            // Parse errors and arrays at the root are reported, nothing else.
        }
    }
}

TEST_F(LuaJSONTest, RootThatIsNotAnObject) {
    LuaTable t(state);
    // Elements of an array root have no name to be stored under.
    EXPECT_THROW(importJSON("[1, 2]", t), lua::LuaException);
    EXPECT_THROW(importJSON("[[1]]", t), lua::LuaException);
    // Scalars and empty arrays have no members: nothing is stored.
    for (const char* text : {"5", "\"s\"", "null", "[]", "true"}) {
        EXPECT_NO_THROW(importJSON(text, t)) << text;
    }
    EXPECT_EQ(t.count(), 0);
    EXPECT_THROW(importJSON("{}", LuaTable()), lua::LuaException);
}

TEST_F(LuaJSONTest, ExportWritesArraysObjectsAndScalars) {
    struct Case {
        const char* table;
        const char* json;
    };
    const Case cases[] = {
        {"{}", "{}"},
        {"{1, 2, 3}", "[1,2,3]"},
        {"{x = 0.5}", R"({"x":0.5})"},
        {"{x = 0.1}", R"({"x":0.1000000014901161})"},
        {"{s = 'a\\tb\\195\\169'}", "{\"s\":\"a\\tb\xc3\xa9\"}"},
        {"{s = '\\b\\f\\n\\r\"/\\\\\\1\\31\\127'}", R"({"s":"\b\f\n\r\"\/\\\u0001\u001f)"
                                                    "\x7f\"}"},
        {"{t = true, f = false}", ""},  // order checked below
        {"{{}, {1}, {a = {}}}", R"([{},[1],{"a":{}}])"},
        {"{x = {{y = 1}}}", R"({"x":[{"y":1}]})"},
        {"{n = 0/0, i = 1/0}", ""},
        {"{1e7, -3, 2^24}", "[10000000,-3,16777216]"},
        {"{f = print, [true] = 1, u = newproxy(), c = coroutine.create(function() end)}", "{}"},
    };
    for (const Case& c : cases) {
        run(std::string("t = ") + c.table);
        std::string json = exportJSON(global("t"));
        if (*c.json) {
            EXPECT_EQ(json, c.json) << c.table;
        } else {
            EXPECT_TRUE(json == R"({"t":true,"f":false})" || json == R"({"f":false,"t":true})" ||
                        json == R"({"n":null,"i":null})" || json == R"({"i":null,"n":null})")
                << c.table << " -> " << json;
        }
    }
}

TEST_F(LuaJSONTest, DeepTreesWithinTheParserLimitRoundTrip) {
    const int depth = 900;
    std::string text = "{\"a\":" + std::string(depth, '[') + "7" + std::string(depth, ']') + "}";
    LuaTable t(state);
    importJSON(text, t);
    EXPECT_EQ(exportJSON(t), text);
}

TEST_F(LuaJSONTest, ExportSkipsTheGlobalsLinkAndCycles) {
    run("t = {_G = _G, name = 'n'}; t.self = t");
    EXPECT_EQ(exportJSON(global("t")), R"({"name":"n"})");
    EXPECT_EQ(exportJSON(LuaTable()), "{}");
}

TEST_F(LuaJSONTest, MixedTablesBecomeValidObjects) {
    run("t = {10, 20, x = 'y'}");
    std::string json = exportJSON(global("t"));
    LuaTable back(state);
    state.getGlobals().set("back", &back);
    importJSON(json, back);
    EXPECT_TRUE(truth("same(back, {['1'] = 10, ['2'] = 20, x = 'y'})")) << json;

    // A table under a number key has no key in the walk: arrays keep it, objects
    // cannot.
    run("t = {{1}, x = 2}");
    EXPECT_EQ(exportJSON(global("t")), R"({"x":2})");
}

TEST_F(LuaJSONTest, RoundTripKeepsTrees) {
    const char* texts[] = {
        R"({"name": "bird", "hp": 3, "flags": [true, false], "pos": {"x": 1.5, "y": -2}})",
        R"({"levels": [{"id": "a", "stars": [1, 2, 3]}, {"id": "b", "stars": []}]})",
        R"({"deep": {"deeper": {"deepest": {"s": "\n\t\\\"/\u0001"}}}})",
    };
    for (const char* text : texts) {
        LuaTable first(state);
        LuaTable second(state);
        state.getGlobals().set("first", &first);
        state.getGlobals().set("second", &second);
        importJSON(text, first);
        std::string json = exportJSON(first);
        importJSON(json, second);
        EXPECT_TRUE(truth("same(first, second)")) << text << " -> " << json;
    }
}

}  // namespace
