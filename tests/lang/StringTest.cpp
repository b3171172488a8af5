#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <string>
#include <vector>

#include "lang/String.h"

namespace {

TEST(String, ToStringMatchesPrintf) {
    EXPECT_EQ(lang::toString(0), "0");
    EXPECT_EQ(lang::toString(-42), "-42");
    EXPECT_EQ(lang::toString(INT_MIN), "-2147483648");
}

TEST(String, CaseConversionLeavesMultiByteCharactersAlone) {
    EXPECT_EQ(lang::toLowerCase("AbC-\xC3\x84"), "abc-\xC3\x84");
    EXPECT_EQ(lang::toUpperCase("abc\xC3\xA4z"), "ABC\xC3\xA4Z");
}

TEST(String, Trim) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"  \t", ""}, {"", ""},           {" \r\n a b \t", "a b"},
        {"x", "x"},   {"\vx\v", "\vx\v"},  // only blank, newline, tab and carriage return go
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lang::trim(c.first), c.second) << c.first;
    }
}

TEST(String, SplitKeepsEmptyFields) {
    using Fields = std::vector<std::string>;
    const std::vector<std::tuple<std::string, std::string, Fields>> cases = {
        {"a,,b", ",", Fields{"a", "", "b"}},
        {"", ",", Fields{""}},
        {"a,", ",", Fields{"a", ""}},
        {",a", ",", Fields{"", "a"}},
        {"abc", ",", Fields{"abc"}},
        {"a::b::", "::", Fields{"a", "b", ""}},
        {"a:::b", "::", Fields{"a", ":b"}},
        {"abc", "", Fields{"abc"}},  // an empty separator must not loop forever
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lang::split(std::get<0>(c), std::get<1>(c)), std::get<2>(c))
            << std::get<0>(c) << " / " << std::get<1>(c);
    }
}

TEST(String, ToUTF16DropsInvalidBytes) {
    EXPECT_EQ(lang::toUTF16("\x41\xFF\x42"), std::wstring(L"AB"));
    EXPECT_EQ(lang::toUTF16("A\xE2\x82"), std::wstring(L"A"));
    EXPECT_EQ(lang::toUTF16("\xE2\x82\xAC"), std::wstring(1, wchar_t(0x20AC)));
    // Continuation bytes as leads are skipped one at a time.
    EXPECT_EQ(lang::toUTF16("\x80\x80x"), std::wstring(L"x"));
    // A lead whose continuation is missing takes no following byte with it.
    EXPECT_EQ(lang::toUTF16("\xE9"
                            "ab"),
              std::wstring(L"ab"));
    EXPECT_EQ(lang::toUTF16("\xC0\x80z\xED\xA0\x80"), std::wstring(L"z"));
}

TEST(String, SupplementaryCharactersUseSurrogatePairs) {
    const std::string grin = "\xF0\x9F\x98\x80";
    std::wstring units = {wchar_t(0xD83D), wchar_t(0xDE00)};
    EXPECT_EQ(lang::toUTF16(grin), units);
    EXPECT_EQ(lang::toUTF8(units), grin);
    EXPECT_EQ(lang::toUTF8(lang::toUTF16u(grin)), grin);
    // A native 32-bit wide character counts as one code point.
    EXPECT_EQ(lang::toUTF8(std::wstring(1, wchar_t(0x1F600))), grin);
}

TEST(String, UTF16Edges) {
    // A lone low surrogate passes through; a high surrogate at the end is dropped.
    EXPECT_EQ(lang::toUTF8(std::u16string{0xDC00}), "\xED\xB0\x80");
    EXPECT_EQ(lang::toUTF8(std::u16string{u'a', 0xD800}), "a");
}

TEST(String, UTF32RoundTrip) {
    std::u32string points = {0x41, 0xE9, 0x20AC, 0x1F600};
    std::string utf8 = lang::toUTF8(points);
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(lang::toUTF32(utf8), points);
    // Beyond what four bytes can hold: dropped.
    EXPECT_EQ(lang::toUTF8(std::u32string{0x200000, 0x41}), "A");
}

TEST(String, SystemErrorText) {
    EXPECT_FALSE(lang::systemErrorText(ENOENT).empty());
    EXPECT_FALSE(lang::systemErrorText(-12345).empty());
}

}  // namespace
