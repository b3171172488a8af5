#include "lang/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const float NAN_F = std::numeric_limits<float>::quiet_NaN();
const float INF_F = std::numeric_limits<float>::infinity();

TEST(TruncateToInt, TruncatesTowardZeroAndSaturates) {
    const struct {
        float value;
        int32_t expected;
    } cases[] = {
        {0.0f, 0},
        {0.9f, 0},
        {-0.9f, 0},
        {2.5f, 2},
        {-2.5f, -2},
        // The largest float below 2^31 fits and is kept.
        {2147483520.0f, 2147483520},
        {2147483648.0f, INT32_MAX},
        {1e30f, INT32_MAX},
        {INF_F, INT32_MAX},
        {-2147483648.0f, INT32_MIN},
        {-2147483904.0f, INT32_MIN},
        {-INF_F, INT32_MIN},
        {NAN_F, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lang::truncateToInt(c.value), c.expected) << c.value;
    }
}

TEST(TruncateSaturating, Int64FromDoubleKeepsTheWholeRange) {
    const struct {
        double value;
        int64_t expected;
    } cases[] = {
        {-7.99, -7},
        {9007199254740993.0, 9007199254740992},
        {9223372036854774784.0, 9223372036854774784},
        {9223372036854775808.0, INT64_MAX},
        {-9223372036854775808.0, INT64_MIN},
        {-1e300, INT64_MIN},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lang::truncateSaturating<int64_t>(c.value), c.expected) << c.value;
    }
}

TEST(ToFloat, BeyondFloatsRangeBecomesInfinity) {
    EXPECT_EQ(lang::toFloat(1e39), INF_F);
    EXPECT_EQ(lang::toFloat(-1e39), -INF_F);
    EXPECT_EQ(lang::toFloat(0.5), 0.5f);
    EXPECT_EQ(lang::toFloat(3.4028234663852886e38), std::numeric_limits<float>::max());
    EXPECT_TRUE(std::isnan(lang::toFloat(std::nan(""))));
}

}  // namespace
