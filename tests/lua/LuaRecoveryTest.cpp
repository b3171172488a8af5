#include <gtest/gtest.h>

#include <string>

#include "LuaFixture.h"
#include "io/IOException.h"
#include "lua/LuaException.h"
#include "lua/LuaObject.h"

namespace {

using lua::LuaException;
using lua::LuaState;

// Natives that fail in every way a native can, and one that re-enters Lua.
class Faulty : public lua::LuaObject {
public:
    explicit Faulty(LuaState& state) : LuaObject(state), state_(state) {
        bindMethod("throwIO", this, &Faulty::throwIO);
        bindMethod("wantsString", this, &Faulty::wantsString);
        bindMethod("enter", this, &Faulty::enter);
    }

    void throwIO() { throw io::IOException(lang::Format("disk gone")); }
    void wantsString(std::string) {}
    // Calls the global function `name` with depth - 1; scripts recurse through it.
    float enter(std::string name, float depth) {
        state_.getGlobals().pushField(name);
        state_.pushNumber(depth - 1);
        state_.call(1, 1);
        float result = state_.toNumber(-1);
        state_.pop(1);
        return result;
    }

private:
    LuaState& state_;
};

class LuaRecoveryTest : public LuaFixture {
protected:
    LuaRecoveryTest() : faulty(state) {
        state.getGlobals().set("faulty", &faulty);
        run("function runtime() local t = nil; return t.x end\n"
            "function raise() error('raised') end\n"
            "function native() faulty.throwIO() end\n"
            "function badArgument() faulty.wantsString(1) end\n"
            "function nested(d) if d <= 0 then return runtime() end\n"
            "  return faulty.enter('nested', d) end\n"
            "function nestedIO(d) if d <= 0 then faulty.throwIO() end\n"
            "  return faulty.enter('nestedIO', d) end\n"
            "function deep(d) if d <= 0 then return 0 end\n"
            "  return faulty.enter('deep', d) + 1 end\n");
    }

    // Calls the global function with one number argument.
    void callGlobal(const char* name, float argument) {
        state.getGlobals().pushField(name);
        state.pushNumber(argument);
        state.call(1, 0);
    }

    Faulty faulty;
};

TEST_F(LuaRecoveryTest, TenThousandErrorsLeaveTheStateUsable) {
    const char* scriptErrors[] = {"runtime", "raise", "badArgument", "nested"};
    const char* nativeErrors[] = {"native", "nestedIO"};
    int top = state.getTop();
    for (int i = 0; i < 10000; ++i) {
        if (i % 3 == 0) {
            EXPECT_THROW(callGlobal(nativeErrors[i / 3 % 2], 3), io::IOException);
        } else {
            EXPECT_THROW(callGlobal(scriptErrors[i % 4], 3), LuaException);
        }
        ASSERT_EQ(state.getTop(), top) << "after error " << i;
    }
    // Deep native re-entry needs the C-call budget that leaked errors would eat up.
    state.getGlobals().pushField("deep");
    state.pushNumber(150);
    state.call(1, 1);
    EXPECT_EQ(state.toNumber(-1), 150.0f);
    state.pop(1);
    run("ok = true");
    EXPECT_TRUE(state.getGlobals().getBoolean("ok"));
}

TEST_F(LuaRecoveryTest, RecursionPastTheCStackLimitIsAScriptError) {
    int top = state.getTop();
    try {
        callGlobal("deep", 1000);
        FAIL();
    } catch (const LuaException& e) {
        EXPECT_NE(std::string(e.what()).find("stack overflow"), std::string::npos) << e.what();
    }
    EXPECT_EQ(state.getTop(), top);
    callGlobal("deep", 100);
}

}  // namespace
