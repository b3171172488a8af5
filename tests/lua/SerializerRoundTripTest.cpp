#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "LuaFixture.h"
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
        -0.0f,
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

}  // namespace
