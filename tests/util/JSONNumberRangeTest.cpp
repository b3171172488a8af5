#include <gtest/gtest.h>

#include <string>

#include "util/JSON.h"

// Numbers beyond a double's range are refused whether they are written as
// integers or with an exponent: the writer has no text for infinity, so an
// accepted one would come back as null.
namespace {

using util::JSON;

struct Case {
    const char* what;
    std::string token;
    const char* reason;  // null: accepted
};

TEST(JSONNumberRangeTest, OnlyFiniteNumbersAreAccepted) {
    const Case cases[] = {
        {"integer of 25 digits", "1" + std::string(24, '0'), nullptr},
        {"negative integer of 25 digits", "-1" + std::string(24, '0'), nullptr},
        // found by the fuzzer: an integer of 400 digits gave infinity
        {"integer of 400 digits", "1" + std::string(399, '0'), "Bad integer number"},
        {"negative integer of 400 digits", "-1" + std::string(399, '0'), "Bad integer number"},
        {"exponent too large", "1e999", "Bad float number"},
        {"underflow", "1e-999", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = "[" + c.token + "]";
        JSON doc;
        try {
            doc.parse(text);
        } catch (const JSON::ParseError& e) {
            ASSERT_NE(c.reason, nullptr) << e.what();
            EXPECT_EQ(e.getReason(), c.reason);
            continue;
        }
        ASSERT_EQ(c.reason, nullptr) << "accepted as " << doc.toString(false);
        JSON again;
        again.parse(doc.toString(false));
        EXPECT_EQ(again.at(0).getType(), JSON::TYPE_NUMBER) << doc.toString(false);
        EXPECT_EQ(again.toString(false), doc.toString(false));
    }
}

}  // namespace
