#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "LuaFixture.h"
#include "lua.h"
#include "lua/LuaException.h"
#include "lua/LuaTable.h"

// What the table writer saves must read back as the same table.
namespace {

using lua::LuaTable;

using SerializerRoundTripTest = LuaFixture;

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

TEST_F(SerializerRoundTripTest, NumbersReadBackExactly) {
    const float cases[] = {
        2.19511807e-38f,  // found by the fuzzer: six digits gave 2.19512003e-38
        1234561,          // a play time that stopped counting at 1.23456e+06
        1234567,          // a highscore that came back as 1234570
        16777216,         // 2^24, the largest whole float step of 1
        0.1f,
        -3.40282347e+38f,
        1.17549435e-38f,  // the smallest normal float
        1.40129846e-45f,  // the smallest subnormal float
        7,
    };
    for (float value : cases) {
        LuaTable t(state);
        t.set("n", value);
        const std::string text = t.serializeToString();
        LuaTable back(state);
        state.runBuffer(text.data(), text.size(), "saved", &back);
        const float read = back.getNumber("n");
        EXPECT_EQ(bitsOf(read), bitsOf(value)) << text << " read back as " << read;
    }
}

// Lua's compiler has limits of its own: 200 nested expressions, 250
// registers a function (each open constructor holds up to 50 pending list
// items in them) and 2^18 constants. A table beyond them is refused when it is
// written, never written as text that does not load.
TEST_F(SerializerRoundTripTest, TextThatWouldNotLoadIsRefused) {
    struct Case {
        const char* what;
        const char* build;  // Lua statements that fill the global t
        bool fits;
    };
    const Case cases[] = {
        {"nested 150 deep", "t = {}; local p = t; for i = 1, 150 do p.a = {}; p = p.a end", true},
        {"nested 300 deep", "t = {}; local p = t; for i = 1, 300 do p.a = {}; p = p.a end", false},
        // found by the fuzzer: lists before the nested table use up the registers
        {"lists 10 deep",
         "t = {}; local p = t; for i = 1, 10 do for j = 1, 11 do p[j] = false end; p[0] = {}; "
         "p = p[0] end",
         true},
        {"lists 30 deep",
         "t = { a = {} }; local p = t.a; for i = 1, 30 do for j = 1, 11 do p[j] = false end; "
         "p[0] = {}; p = p[0] end",
         false},
        {"many strings", "t = { list = {} }; for i = 1, 270000 do t.list[i] = 's' .. i end", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run(c.build);
        LuaTable t = global("t");
        std::string text;
        try {
            text = t.serializeToString();
        } catch (const lua::LuaException& e) {
            EXPECT_FALSE(c.fits) << e.what();
            continue;
        }
        EXPECT_TRUE(c.fits) << "written, although it does not load";
        LuaTable back(state);
        EXPECT_NO_THROW(state.runBuffer(text.data(), text.size(), "saved", &back));
    }
}

}  // namespace
