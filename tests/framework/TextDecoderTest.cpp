#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TextDecoder.h"
#include "support/LogCapture.h"

namespace {

using framework::Utf16Joiner;
using Points = std::vector<uint32_t>;

Points feedUnits(Utf16Joiner& joiner, std::initializer_list<uint16_t> units) {
    Points out;
    for (uint16_t unit : units) {
        const int32_t cp = joiner.feed(unit);
        if (cp >= 0) {
            out.push_back(static_cast<uint32_t>(cp));
        }
    }
    return out;
}

Points decode(const std::string& bytes, Utf16Joiner& joiner) {
    Points out;
    framework::decodeTypedText(bytes.data(), bytes.size(), joiner,
                               [&](uint32_t cp) { out.push_back(cp); });
    return out;
}

TEST(Utf16Joiner, JoinsASurrogatePairOnce) {
    Utf16Joiner joiner;
    EXPECT_EQ((Points{0x1F600}), feedUnits(joiner, {0xD83D, 0xDE00}));
    EXPECT_FALSE(joiner.hasPending());
}

TEST(Utf16Joiner, PassesPlainUnitsAndIgnoresNoCharacter) {
    Utf16Joiner joiner;
    EXPECT_EQ((Points{'a', 0xE9, 0xFFFE}), feedUnits(joiner, {'a', 0xFFFF, 0xE9, 0xFFFE}));
}

TEST(Utf16Joiner, DropsBrokenSequencesWithAWarning) {
    qftest::LogCapture log;
    Utf16Joiner joiner;
    EXPECT_TRUE(feedUnits(joiner, {0xDE00}).empty());
    EXPECT_TRUE(log.contains("Received low surrogate (DE00) without existing high surrogate."));
    // A high surrogate followed by anything but a low one loses both units.
    EXPECT_TRUE(feedUnits(joiner, {0xD83D, 'x'}).empty());
    EXPECT_TRUE(log.contains("Invalid UTF-16 surrogate pair (D83D, 0078) received with WM_CHAR."));
    EXPECT_EQ("Framework", log.categories().back());
    EXPECT_FALSE(joiner.hasPending());
    EXPECT_EQ((Points{'y'}), feedUnits(joiner, {'y'}));
}

TEST(TypedText, DecodesUtf8IntoCodePoints) {
    Utf16Joiner joiner;
    EXPECT_EQ((Points{'a', 0xE9, 0x20AC, 0x1F600}),
              decode("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", joiner));
}

TEST(TypedText, SkipsInvalidBytes) {
    Utf16Joiner joiner;
    const struct {
        std::string bytes;
        Points expected;
    } cases[] = {
        {"A\xFF"
         "B",
         {'A', 'B'}},          // not a lead byte
        {"A\xE2\x82", {'A'}},  // cut short
        {"\xC0\x80"
         "C",
         {'C'}},  // overlong NUL
        {"\xE2"
         "A\x82\xAC",
         {'A'}},  // lead without its continuation
        {"\xF4\x90\x80\x80"
         "D",
         {'D'}},  // past U+10FFFF
        {std::string("\0E", 2), {0, 'E'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, decode(c.bytes, joiner));
    }
}

TEST(TypedText, EncodedSurrogatesStillCombine) {
    Utf16Joiner joiner;
    // A pair that arrives as two separately encoded halves, possibly in two events.
    EXPECT_TRUE(decode("\xED\xA0\xBD", joiner).empty());
    EXPECT_EQ((Points{0x1F600}), decode("\xED\xB8\x80", joiner));
}

}  // namespace
