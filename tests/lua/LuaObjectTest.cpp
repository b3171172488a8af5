#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "LuaFixture.h"
#include "io/IOException.h"
#include "lang/Exception.h"
#include "lang/Ptr.h"
#include "lua/LuaException.h"
#include "lua/LuaObject.h"

namespace {

using lua::LuaException;
using lua::LuaObject;
using lua::LuaState;
using lua::LuaTable;

class NotAStdException {};

// A scripted object with one native of each supported shape.
class Gadget : public LuaObject {
public:
    explicit Gadget(LuaState& state) : LuaObject(state), state_(state) {
        bindMethod("add", this, &Gadget::add);
        bindMethod("greet", this, &Gadget::greet);
        bindMethod("negate", this, &Gadget::negate);
        bindMethod("tag", this, &Gadget::tag);
        bindMethod("nothing", this, &Gadget::nothing);
        bindMethod("note", this, &Gadget::note);
        bindMethod("noted", this, &Gadget::noted);
        bindMethod("fail", this, &Gadget::fail);
        bindMethod("callBack", this, &Gadget::callBack);
        setNativeTopic("Numbers");
        addMethod("sum", this, &Gadget::sum, "(n...) -> n, n");
        addMethod("where", this, &Gadget::where);
    }

    float add(float a, float b) { return a + b; }
    std::string greet(const std::string& name) { return "hello " + name; }
    bool negate(bool value) { return !value; }
    LuaTable tag(LuaTable table, std::string label) {
        table.set("label", label);
        return table;
    }
    LuaTable nothing(std::string) { return LuaTable(); }
    void note(std::string text) { notes += text; }
    std::string noted() const { return notes; }

    // Throws an exception of the kind named.
    void fail(std::string kind) {
        if (kind == "io") {
            throw io::IOException(lang::Format("Cannot open {0}", "save.dat"));
        }
        if (kind == "lang") {
            throw lang::Exception(lang::Format("Engine failure {0}", 7));
        }
        if (kind == "std") {
            throw std::runtime_error("plain failure");
        }
        throw NotAStdException();
    }

    // Calls the global function named, from inside a native.
    float callBack(std::string function, float value) {
        state_.getGlobals().pushField(function);
        state_.pushNumber(value);
        state_.call(1, 1);
        float result = state_.toNumber(-1);
        state_.pop(1);
        return result;
    }

    // Raw native: sums all its number arguments, returns the sum and the count.
    int sum(LuaState* state) {
        float total = 0;
        int count = state->getTop();
        for (int i = 1; i <= count; ++i) {
            total += state->toNumber(i);
        }
        state->pushNumber(total);
        state->pushNumber(static_cast<float>(count));
        return 2;
    }

    int where(LuaState* state) {
        state->pushString(state->getCallStack());
        return 1;
    }

    std::string notes;

private:
    LuaState& state_;
};

class LuaObjectTest : public LuaFixture {
protected:
    LuaObjectTest() : gadget(new Gadget(state)) { state.getGlobals().set("gadget", gadget.get()); }
    ~LuaObjectTest() override { gadget.reset(); }

    lang::Ptr<Gadget> gadget;
};

TEST_F(LuaObjectTest, TableHoldsObjectGlobalsAndSelf) {
    gadget->pushField(0);
    EXPECT_EQ(state.toLightUserData(-1), static_cast<LuaObject*>(gadget.get()));
    state.pop(1);
    run("sameG = gadget._G == _G; sameThis = gadget.this == gadget");
    EXPECT_TRUE(state.getGlobals().getBoolean("sameG"));
    EXPECT_TRUE(state.getGlobals().getBoolean("sameThis"));

    run("mine = 1; this.viaThis = 2; _G.viaG = 3", gadget.get());
    EXPECT_EQ(gadget->getNumber("mine"), 1.0f);
    EXPECT_EQ(gadget->getNumber("viaThis"), 2.0f);
    EXPECT_EQ(state.getGlobals().getNumber("viaG"), 3.0f);
}

TEST_F(LuaObjectTest, TypedNativesConvertArgumentsAndResults) {
    run("a = gadget.add(2, 3.5)\n"
        "g = gadget.greet('you')\n"
        "z = gadget.greet('a\\0b')\n"
        "n = gadget.negate(false)\n"
        "t = gadget.tag({}, 'x')\n"
        "r = gadget.note('one'); gadget.note('two')\n"
        "k = gadget.noted()\n"
        "s, c = gadget.sum(1, 2, 3)\n");
    LuaTable g = state.getGlobals();
    EXPECT_EQ(g.getNumber("a"), 5.5f);
    EXPECT_EQ(g.getString("g"), "hello you");
    EXPECT_EQ(g.getString("z"), std::string("hello a\0b", 9));
    EXPECT_TRUE(g.isBoolean("n"));
    EXPECT_TRUE(g.getBoolean("n"));
    EXPECT_EQ(g.getTable("t").getString("label"), "x");
    EXPECT_TRUE(g.isNil("r"));
    EXPECT_EQ(g.getString("k"), "onetwo");
    EXPECT_EQ(g.getNumber("s"), 6.0f);
    EXPECT_EQ(g.getNumber("c"), 3.0f);
}

TEST_F(LuaObjectTest, ListingShowsEveryNativeWithItsTypes) {
    std::vector<std::pair<std::string, std::string>> expected = {
        {"add", "(n, n) -> n"},        {"greet", "(s) -> s"},   {"negate", "(b) -> b"},
        {"tag", "(t, s) -> t"},        {"nothing", "(s) -> t"}, {"note", "(s)"},
        {"noted", "() -> s"},          {"fail", "(s)"},         {"callBack", "(s, n) -> n"},
        {"sum", "raw (n...) -> n, n"}, {"where", "raw"},
    };
    // Published again: the name keeps its first place.
    gadget->bindMethod("add", gadget.get(), &Gadget::noted);
    expected[0].second = "() -> s";
    std::vector<std::pair<std::string, std::string>> listed;
    for (const LuaObject::Native& native : gadget->nativeList()) {
        listed.emplace_back(native.name, native.signature);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(gadget->nativeList()[1].topic, "");
    EXPECT_EQ(gadget->nativeList().back().topic, "Numbers");
    EXPECT_EQ(gadget->nativeList().front().topic, "Numbers");
}

// A typed native that returns an empty handle gives the script nil, not the
// argument left on the stack.
TEST_F(LuaObjectTest, AnEmptyTableResultIsNil) {
    run("e, f = gadget.nothing('stale'), 'after'");
    EXPECT_TRUE(state.getGlobals().isNil("e"));
    EXPECT_EQ(state.getGlobals().getString("f"), "after");
}

TEST_F(LuaObjectTest, WrongArgumentTypesNameTheSlot) {
    struct {
        const char* call;
        const char* message;
    } cases[] = {
        {"gadget.greet(5)", "Excepted type STRING at stack position 1 but found NUMBER"},
        {"gadget.add(1, '2')", "Excepted type NUMBER at stack position 2 but found STRING"},
        {"gadget.add(1)", "Excepted type NUMBER at stack position 2 but found INVALID"},
        {"gadget.negate(nil)", "Excepted type BOOLEAN at stack position 1 but found NIL"},
        {"gadget.tag('x', 'y')", "Excepted type TABLE at stack position 1 but found STRING"},
        {"gadget.sum(1, {})", "Excepted type NUMBER at stack position 2 but found TABLE"},
    };
    for (const auto& c : cases) {
        std::string code = std::string("local x = 1\n") + c.call + "\n";
        EXPECT_EQ(errorOf(code), std::string(c.message) + "\nCall stack:\ntest.lua(2)\n(end)\n");
    }
}

TEST_F(LuaObjectTest, NativeExceptionsComeOutUnchanged) {
    int top = state.getTop();
    try {
        run("gadget.fail('io')");
        FAIL();
    } catch (const io::IOException& e) {
        EXPECT_STREQ(e.what(), "Cannot open save.dat");
        EXPECT_EQ(e.getFormat().pattern(), "Cannot open {0}");
    }
    try {
        run("gadget.fail('lang')");
        FAIL();
    } catch (const lua::LuaException&) {
        FAIL() << "became a script error";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ(e.what(), "Engine failure 7");
    }
    try {
        run("gadget.fail('std')");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "plain failure");
    }
    EXPECT_THROW(run("gadget.fail('other')"), NotAStdException);
    EXPECT_EQ(state.getTop(), top);
}

TEST_F(LuaObjectTest, ExceptionsCrossNestedScriptCalls) {
    run("function relay(v) return gadget.callBack('leaf', v) + 1 end\n"
        "function leaf(v) if v < 0 then gadget.fail('io') end return v * 2 end");
    run("ok = gadget.callBack('relay', 4)");
    EXPECT_EQ(state.getGlobals().getNumber("ok"), 9.0f);
    EXPECT_THROW(run("gadget.callBack('relay', -1)"), io::IOException);
    // A script error below a native keeps the stack of the place it happened.
    run("function broken(v)\n  return v .. nil\nend");
    EXPECT_EQ(errorOf("local x = 1\ngadget.callBack('broken', 1)"),
              "[string \"test.lua\"]:2: attempt to concatenate a nil value\n"
              "Call stack:\ntest.lua(2)\ntest.lua(2)\n(end)\n");
}

TEST_F(LuaObjectTest, ScriptsCanCatchNativeFailures) {
    run("ok, err = pcall(gadget.fail, 'io')");
    EXPECT_FALSE(state.getGlobals().getBoolean("ok"));
    EXPECT_EQ(state.getGlobals().getString("err"), "Cannot open save.dat");
    // The caught failure is over: later script errors are script errors.
    run("after = 1");
    EXPECT_EQ(errorOf("pcall(gadget.fail, 'io'); local x = nil; x()").substr(0, 20),
              "[string \"test.lua\"]:");
    EXPECT_EQ(errorOf("pcall(gadget.fail, 'io'); error('Cannot open save.dat')"),
              "Cannot open save.dat\nCall stack:\ntest.lua(1)\n(end)\n");
}

TEST_F(LuaObjectTest, NativesWorkInsideCoroutines) {
    run("co = coroutine.create(function(a)\n"
        "  local b = coroutine.yield(gadget.add(a, 1))\n"
        "  return gadget.greet(b)\n"
        "end)\n"
        "ok1, r1 = coroutine.resume(co, 1)\n"
        "ok2, r2 = coroutine.resume(co, 'co')\n"
        "bad = coroutine.create(function() gadget.fail('io') end)\n"
        "ok3, r3 = coroutine.resume(bad)\n");
    LuaTable g = state.getGlobals();
    EXPECT_TRUE(g.getBoolean("ok1"));
    EXPECT_EQ(g.getNumber("r1"), 2.0f);
    EXPECT_TRUE(g.getBoolean("ok2"));
    EXPECT_EQ(g.getString("r2"), "hello co");
    EXPECT_FALSE(g.getBoolean("ok3"));
    EXPECT_EQ(g.getString("r3"), "Cannot open save.dat");
    run("later = gadget.add(1, 1)");
    EXPECT_EQ(g.getNumber("later"), 2.0f);
}

TEST_F(LuaObjectTest, NativesSeeTheCallStackOfTheirCaller) {
    run("local function f()\n"
        "  return gadget.where()\n"
        "end\n"
        "stack = f()\n");
    EXPECT_EQ(state.getGlobals().getString("stack"),
              "\nCall stack:\ntest.lua(2)\ntest.lua(4)\n(end)\n");
}

TEST_F(LuaObjectTest, MethodsOfAReleasedObjectRaiseScriptErrors) {
    run("saved = gadget.add");
    gadget.reset();
    std::string message = errorOf("saved(1, 2)");
    EXPECT_EQ(message,
              "Script method called after its native object was released\nCall stack:\n"
              "test.lua(1)\n(end)\n");
}

// Each object's natives follow that object alone: typed and raw natives of a
// released object fail, those of another object of the same class still work,
// also after a garbage collection has run.
TEST_F(LuaObjectTest, ReleasingAnObjectLeavesTheNativesOfOthers) {
    lang::Ptr<Gadget> other = new Gadget(state);
    state.getGlobals().set("other", other.get());
    run("savedAdd, savedSum = gadget.add, gadget.sum");
    gadget.reset();
    run("collectgarbage('collect')");
    for (const char* code : {"savedAdd(1, 2)", "savedSum(1, 2)"}) {
        EXPECT_EQ(
            errorOf(code).rfind("Script method called after its native object was released", 0), 0u)
            << code;
    }
    run("a = other.add(2, 3); s = other.sum(4, 5)");
    EXPECT_EQ(state.getGlobals().getNumber("a"), 5.0f);
    EXPECT_EQ(state.getGlobals().getNumber("s"), 9.0f);
    other.reset();
}

}  // namespace
