#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "LuaFixture.h"
#include "io/ByteArrayInputStream.h"
#include "io/IOException.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"

namespace {

using lua::LuaException;
using lua::LuaState;

using LuaStateTest = LuaFixture;

TEST_F(LuaStateTest, OpensOnlyTheAllowedLibraries) {
    run("has = { table = table ~= nil, string = string ~= nil, math = math ~= nil,"
        "  os = os ~= nil, io = io ~= nil, package = package ~= nil, debug = debug ~= nil,"
        "  require = require ~= nil, print = print ~= nil }");
    lua::LuaTable has = global("has");
    for (const char* name : {"table", "string", "math", "os", "print"}) {
        EXPECT_TRUE(has.getBoolean(name)) << name;
    }
    for (const char* name : {"io", "package", "debug", "require"}) {
        EXPECT_FALSE(has.getBoolean(name)) << name;
    }
}

TEST_F(LuaStateTest, NumbersAreSinglePrecision) {
    run("big = 16777217; text = tostring(0.1)");
    EXPECT_EQ(global("_G").getNumber("big"), 16777216.0f);
    EXPECT_EQ(state.getGlobals().getString("text"), "0.100000001");
}

TEST_F(LuaStateTest, TypeNames) {
    const char* expected[] = {"NIL",   "BOOLEAN",  "LIGHTUSERDATA", "NUMBER", "STRING",
                              "TABLE", "FUNCTION", "USERDATA",      "THREAD"};
    for (int type = 0; type < 9; ++type) {
        EXPECT_STREQ(LuaState::typeName(type), expected[type]);
    }
    EXPECT_STREQ(LuaState::typeName(-1), "INVALID");
    EXPECT_STREQ(LuaState::typeName(9), "INVALID");
}

struct ReaderCase {
    std::function<void(LuaState&)> push;
    std::function<void(LuaState&, int)> read;
    const char* expected;
    const char* found;
};

TEST_F(LuaStateTest, StrictReadersRefuseOtherTypes) {
    auto toString = [](LuaState& s, int i) { s.toString(i); };
    auto toNumber = [](LuaState& s, int i) { s.toNumber(i); };
    auto toBoolean = [](LuaState& s, int i) { s.toBoolean(i); };
    auto toTable = [](LuaState& s, int i) { s.toTable(i); };
    auto toLight = [](LuaState& s, int i) { s.toLightUserData(i); };
    const ReaderCase cases[] = {
        {[](LuaState& s) { s.pushNumber(5); }, toString, "STRING", "NUMBER"},
        {[](LuaState& s) { s.pushString("5"); }, toNumber, "NUMBER", "STRING"},
        {[](LuaState& s) { s.pushNumber(0); }, toBoolean, "BOOLEAN", "NUMBER"},
        {[](LuaState& s) { s.pushNil(); }, toBoolean, "BOOLEAN", "NIL"},
        {[](LuaState& s) { s.pushBoolean(true); }, toTable, "TABLE", "BOOLEAN"},
        {[](LuaState& s) { s.newTable(); }, toLight, "LIGHTUSERDATA", "TABLE"},
        {[](LuaState& s) { s.pushLightUserData(&s); }, toString, "STRING", "LIGHTUSERDATA"},
    };
    for (const ReaderCase& c : cases) {
        int top = state.getTop();
        c.push(state);
        for (int index : {top + 1, -1}) {
            std::string expected = std::string("Excepted type ") + c.expected +
                                   " at stack position " + std::to_string(index) + " but found " +
                                   c.found + " (call stack not available)";
            try {
                c.read(state, index);
                ADD_FAILURE() << "no exception for " << expected;
            } catch (const LuaException& e) {
                EXPECT_EQ(e.what(), expected);
            }
            EXPECT_EQ(state.getTop(), top + 1);
        }
        state.pop(1);
    }
}

TEST_F(LuaStateTest, EmptySlotIsInvalid) {
    try {
        state.toNumber(3);
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_STREQ(e.what(),
                     "Excepted type NUMBER at stack position 3 but found INVALID (call stack not "
                     "available)");
    }
}

TEST_F(LuaStateTest, StrictReadersReturnMatchingValues) {
    int marker = 0;
    state.pushBoolean(false);
    state.pushNumber(2.5f);
    state.pushString(std::string("a\0b", 3));
    state.pushLightUserData(&marker);
    state.newTable();
    EXPECT_FALSE(state.toBoolean(1));
    EXPECT_EQ(state.toNumber(2), 2.5f);
    EXPECT_STREQ(state.toString(3), "a");
    EXPECT_EQ(state.toLightUserData(4), &marker);
    EXPECT_FALSE(state.toTable(5).isEmpty());
    EXPECT_EQ(state.getTop(), 5);
}

TEST_F(LuaStateTest, TypeTestsFollowLuaRules) {
    state.pushString("12");
    state.pushNumber(3);
    state.pushNumber(0);
    EXPECT_TRUE(state.isNumber(1));
    EXPECT_TRUE(state.isString(2));
    EXPECT_FALSE(state.isBoolean(3));
    EXPECT_EQ(state.getType(2), LUA_TNUMBER);
    state.pop(3);
}

TEST_F(LuaStateTest, CompileErrorNamesTheChunk) {
    int top = state.getTop();
    EXPECT_EQ(errorOf("x = = 1"),
              "Error while compiling Lua: [string \"test.lua\"]:1: unexpected symbol near '='");
    EXPECT_EQ(state.getTop(), top);
}

TEST_F(LuaStateTest, MalformedChunksFailCleanly) {
    const std::string inputs[] = {
        std::string("\0", 1),
        "x = [[unterminated",
        std::string(300, '(') + "1" + std::string(300, ')'),
        "\xff\xfe\x01garbage",
        "\033Lua\x51\x00\x01\x04\x08\x04\x08\x00",
        "local s = 'no end",
    };
    int top = state.getTop();
    for (const std::string& input : inputs) {
        try {
            state.runBuffer(input.data(), input.size(), "bad", nullptr);
            ADD_FAILURE() << "accepted: " << input;
        } catch (const LuaException& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, 27), "Error while compiling Lua: ");
        }
        EXPECT_EQ(state.getTop(), top);
    }
    state.runBuffer(nullptr, 0, "empty", nullptr);
}

TEST_F(LuaStateTest, PrecompiledChunksAreRefused) {
    run("code = string.dump(function() compiled = true end)");
    std::string code = state.getGlobals().getString("code");
    try {
        state.runBuffer(code.data(), code.size(), "dumped", nullptr);
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_STREQ(e.what(),
                     "Error while compiling Lua: dumped: precompiled chunks are not accepted");
    }
    EXPECT_TRUE(state.getGlobals().isNil("compiled"));
}

TEST_F(LuaStateTest, RuntimeErrorCarriesMessageAndCallStack) {
    int top = state.getTop();
    const char* code =
        "local function inner()\n"
        "  return nil + 1\n"
        "end\n"
        "inner()\n";
    EXPECT_EQ(errorOf(code),
              "[string \"test.lua\"]:2: attempt to perform arithmetic on a nil value\n"
              "Call stack:\ntest.lua(2)\ntest.lua(4)\n(end)\n");
    EXPECT_EQ(state.getTop(), top);
}

// Strings and numbers come through unchanged; anything else is described,
// since an empty message tells the developer nothing.
TEST_F(LuaStateTest, ErrorFunctionRaisesItsFirstArgumentUnchanged) {
    const char* code =
        "local function fail(m)\n"
        "  error(m, 2)\n"
        "end\n"
        "fail(msg)\n";
    struct {
        const char* setup;
        const char* message;
    } cases[] = {
        {"msg = 'boom'", "boom"},
        {"msg = 12", "12"},
        {"msg = {}", "(error object is a table value)"},
        {"msg = nil", "(error object is a nil value)"},
        {"msg = true", "(error object is a boolean value)"},
        {"msg = setmetatable({}, {__tostring = function() return 'custom' end})", "custom"},
    };
    for (const auto& c : cases) {
        run(c.setup);
        EXPECT_EQ(errorOf(code),
                  std::string(c.message) + "\nCall stack:\ntest.lua(2)\ntest.lua(4)\n(end)\n")
            << c.setup;
    }
}

TEST_F(LuaStateTest, ScriptsCatchTheirOwnErrors) {
    run("ok, err = pcall(error, {code = 7})\n"
        "code = err.code\n"
        "ok2, err2 = pcall(function() local x = nil; return x.y end)");
    EXPECT_FALSE(state.getGlobals().getBoolean("ok"));
    EXPECT_EQ(state.getGlobals().getNumber("code"), 7.0f);
    EXPECT_EQ(state.getGlobals().getString("err2"),
              "[string \"test.lua\"]:3: attempt to index local 'x' (a nil value)");
}

TEST_F(LuaStateTest, EnvironmentTableReceivesTheChunksGlobals) {
    lua::LuaTable env(state);
    env.set("base", 2.0f);
    run("x = base * 21", &env);
    EXPECT_EQ(env.getNumber("x"), 42.0f);
    EXPECT_TRUE(state.getGlobals().isNil("x"));
}

TEST_F(LuaStateTest, CallLeavesResultsAndRemovesFunctionOnFailure) {
    run("function twice(a) return a * 2, a end");
    int top = state.getTop();
    state.getGlobals().pushField("twice");
    state.pushNumber(4);
    state.call(1, 2);
    EXPECT_EQ(state.getTop(), top + 2);
    EXPECT_EQ(state.toNumber(-2), 8.0f);
    state.pop(2);

    state.pushNil();
    state.pushNumber(1);
    EXPECT_THROW(state.call(1, 0), LuaException);
    EXPECT_EQ(state.getTop(), top);
}

TEST_F(LuaStateTest, SetTableRunsMetamethodsProtected) {
    run("guarded = setmetatable({}, {__newindex = function(t, k, v) error('read-only ' .. k) "
        "end})\n"
        "logged = setmetatable({}, {__newindex = function(t, k, v) rawset(t, k, v * 10) end})");
    int top = state.getTop();
    global("logged").push();
    state.pushString("a");
    state.pushNumber(2);
    state.setTable(-3);
    EXPECT_EQ(state.getTop(), top + 1);
    state.pop(1);
    EXPECT_EQ(global("logged").getNumber("a"), 20.0f);

    global("guarded").push();
    state.pushString("a");
    state.pushNumber(2);
    try {
        state.setTable(-3);
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 11), "read-only a");
    }
    EXPECT_EQ(state.getTop(), top + 1);
    state.pop(1);
}

TEST_F(LuaStateTest, CallStackOutsideScriptsIsNotAvailable) {
    EXPECT_EQ(state.getCallStack(), " (call stack not available)");
}

// Hands out its bytes in small reads and can fail on a chosen read.
class ChunkyStream : public io::InputStream {
public:
    ChunkyStream(std::string text, int failAt)
        : io::InputStream(lang::Ptr<io::InputStream>()), text_(std::move(text)), failAt_(failAt) {}
    int read(void* buffer, int count) override {
        if (++reads_ == failAt_) {
            throw io::IOException(lang::Format("Read error in {0}", getName()));
        }
        int n = std::min<int>(count, static_cast<int>(text_.size() - pos_));
        text_.copy(static_cast<char*>(buffer), n, pos_);
        pos_ += n;
        return n;
    }
    int available() override { return static_cast<int>(text_.size() - pos_); }
    std::string getName() const override { return "chunky.lua"; }
    int reads() const { return reads_; }

private:
    std::string text_;
    size_t pos_ = 0;
    int failAt_;
    int reads_ = 0;
};

std::string longScript() {
    std::string code;
    for (int i = 0; i < 400; ++i) {
        code += "total = (total or 0) + " + std::to_string(i) + "\n";
    }
    return code;
}

TEST_F(LuaStateTest, RunStreamReadsBlocksUntilAvailableIsUsed) {
    std::string code = longScript();
    ASSERT_GT(code.size(), 4096u);
    ChunkyStream stream(code, 0);
    state.runStream(stream, stream.getName(), nullptr);
    EXPECT_EQ(state.getGlobals().getNumber("total"), 79800.0f);
    EXPECT_EQ(stream.reads(), static_cast<int>((code.size() + 2047) / 2048));
}

TEST_F(LuaStateTest, RunStreamPassesStreamFailuresThrough) {
    int top = state.getTop();
    ChunkyStream stream(longScript(), 2);
    try {
        state.runStream(stream, stream.getName(), nullptr);
        FAIL();
    } catch (const io::IOException& e) {
        EXPECT_STREQ(e.what(), "Read error in chunky.lua");
    }
    EXPECT_EQ(state.getTop(), top);
    EXPECT_TRUE(state.getGlobals().isNil("total"));
}

TEST_F(LuaStateTest, RunScriptUsesTheStreamNameAndTable) {
    lua::LuaTable env(state);
    const std::string code = "value = 5\nlocal n = nil + 1";
    io::ByteArrayInputStream stream(code.data(), static_cast<int>(code.size()));
    try {
        env.runScript(stream);
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_STREQ(e.what(),
                     "[string \"ByteArrayInputStream\"]:2: attempt to perform arithmetic on a nil "
                     "value\nCall stack:\nByteArrayInputStream(2)\n(end)\n");
    }
    EXPECT_EQ(env.getNumber("value"), 5.0f);
}

}  // namespace

// pushKey keeps the texts it pushes often; what it pushes is always the text
// as it reads now: a buffer rewritten at the same address, a long text, a
// coroutine's stack and table keys of the same names all see the right string.
TEST_F(LuaStateTest, PushKeyPushesTheTextAsItReadsNow) {
    lua_State* L = state.getLua();
    char buffer[64] = "first";
    const std::string longText(200, 'k');
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {{"first", "other"}, {"same", "same"}, {"a", ""}};
    for (const Case& c : cases) {
        std::snprintf(buffer, sizeof buffer, "%s", c.before);
        state.pushKey(L, buffer);
        std::snprintf(buffer, sizeof buffer, "%s", c.after);
        state.pushKey(L, buffer);
        EXPECT_STREQ(lua_tostring(L, -2), c.before);
        EXPECT_STREQ(lua_tostring(L, -1), c.after);
        lua_pop(L, 2);
    }
    for (int i = 0; i < 2; ++i) {
        state.pushKey(L, longText.c_str());
        EXPECT_EQ(lua_tostring(L, -1), longText);
        lua_pop(L, 1);
    }
    state.pushKey(L, nullptr);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);

    lua_State* thread = lua_newthread(L);
    state.pushKey(thread, "shared");
    state.pushKey(thread, "shared");
    EXPECT_TRUE(lua_rawequal(thread, -1, -2));
    EXPECT_STREQ(lua_tostring(thread, -1), "shared");
    lua_pop(L, 1);

    run("t = {shared = 1, first = 2}");
    lua::LuaTable t = global("t");
    EXPECT_EQ(t.getNumber("shared"), 1.0f);
    EXPECT_EQ(t.getNumber("first"), 2.0f);
    t.set("shared", 3.0f);
    run("seen = t.shared");
    EXPECT_EQ(state.getGlobals().getNumber("seen"), 3.0f);
}
