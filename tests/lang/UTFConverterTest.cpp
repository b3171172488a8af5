#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lang/UTFConverter.h"

namespace {

using lang::UTFConverter;
using Bytes = std::vector<uint8_t>;

struct EncodeCase {
    int encoding;
    uint32_t codePoint;
    Bytes bytes;  // empty: not encodable
};

TEST(UTFConverter, EncodesAndDecodesEachEncoding) {
    const std::vector<EncodeCase> cases = {
        {UTFConverter::ENCODING_ASCII, 0x41, {0x41}},
        {UTFConverter::ENCODING_ASCII, 0x80, {}},
        {UTFConverter::ENCODING_UTF8, 0x7F, {0x7F}},
        {UTFConverter::ENCODING_UTF8, 0x7FF, {0xDF, 0xBF}},
        {UTFConverter::ENCODING_UTF8, 0xFFFF, {0xEF, 0xBF, 0xBF}},
        {UTFConverter::ENCODING_UTF8, 0x1FFFFF, {0xF7, 0xBF, 0xBF, 0xBF}},
        {UTFConverter::ENCODING_UTF8, 0x200000, {}},
        {UTFConverter::ENCODING_UTF16BE, 0x20AC, {0x20, 0xAC}},
        {UTFConverter::ENCODING_UTF16LE, 0x20AC, {0xAC, 0x20}},
        {UTFConverter::ENCODING_UTF16, 0x20AC, {0xAC, 0x20}},
        {UTFConverter::ENCODING_UTF16LE, 0x1F600, {0x3D, 0xD8, 0x00, 0xDE}},
        {UTFConverter::ENCODING_UTF16BE, 0x1F600, {0xD8, 0x3D, 0xDE, 0x00}},
        // Beyond U+10FFFF a surrogate pair would wrap round to another character.
        {UTFConverter::ENCODING_UTF16LE, 0x110000, {}},
        {UTFConverter::ENCODING_UTF16BE, 0x1FFFFF, {}},
        {UTFConverter::ENCODING_UTF32BE, 0x1F600, {0x00, 0x01, 0xF6, 0x00}},
        {UTFConverter::ENCODING_UTF32LE, 0x1F600, {0x00, 0xF6, 0x01, 0x00}},
        {UTFConverter::ENCODING_UTF32, 0x41, {0x41, 0, 0, 0}},
        {99, 0x41, {}},
    };
    for (const auto& c : cases) {
        UTFConverter converter(c.encoding);
        uint8_t buffer[8];
        size_t written = 0;
        bool ok = converter.encode(buffer, buffer + sizeof(buffer), written, c.codePoint);
        ASSERT_EQ(ok, !c.bytes.empty()) << c.encoding << " " << c.codePoint;
        if (!ok) {
            continue;
        }
        EXPECT_EQ(Bytes(buffer, buffer + written), c.bytes) << c.encoding << " " << c.codePoint;
        size_t read = 0;
        uint32_t decoded = 0;
        ASSERT_TRUE(
            converter.decode(c.bytes.data(), c.bytes.data() + c.bytes.size(), read, decoded));
        EXPECT_EQ(read, c.bytes.size());
        EXPECT_EQ(decoded, c.codePoint);
    }
}

TEST(UTFConverter, EncodeFailsWhenTheBufferIsFull) {
    UTFConverter utf8(UTFConverter::ENCODING_UTF8);
    UTFConverter utf16(UTFConverter::ENCODING_UTF16LE);
    uint8_t buffer[4];
    size_t written = 0;
    EXPECT_FALSE(utf8.encode(buffer, buffer + 2, written, 0x20AC));
    EXPECT_FALSE(utf16.encode(buffer, buffer + 3, written, 0x1F600));
    EXPECT_FALSE(utf8.encode(buffer, buffer, written, 0x41));
}

TEST(UTFConverter, DecodeRejectsBadLeadsAndShortInput) {
    UTFConverter utf8(UTFConverter::ENCODING_UTF8);
    const std::vector<Bytes> bad = {
        {0x80}, {0xBF}, {0xF8, 0x80, 0x80, 0x80, 0x80}, {0xE2, 0x82}, {}};
    for (const Bytes& bytes : bad) {
        size_t read = 0;
        uint32_t cp = 0;
        EXPECT_FALSE(utf8.decode(bytes.data(), bytes.data() + bytes.size(), read, cp));
    }
    size_t read = 0;
    uint32_t cp = 1;
    UTFConverter utf16(UTFConverter::ENCODING_UTF16LE);
    Bytes highAtEnd = {0x3D, 0xD8};
    EXPECT_FALSE(utf16.decode(highAtEnd.data(), highAtEnd.data() + 2, read, cp));
    Bytes oddByte = {0x41};
    EXPECT_FALSE(utf16.decode(oddByte.data(), oddByte.data() + 1, read, cp));
    UTFConverter single(UTFConverter::ENCODING_ASCII);
    Bytes high = {0xFF};
    EXPECT_TRUE(single.decode(high.data(), high.data() + 1, read, cp));
    EXPECT_EQ(cp, 0xFFu);
}

// Only well-formed sequences decode: every continuation byte is 10xxxxxx, each
// code point takes its shortest form, and surrogates are no characters.
TEST(UTFConverter, Utf8DecodeChecksEverySequence) {
    UTFConverter utf8(UTFConverter::ENCODING_UTF8);
    const struct {
        const char* name;
        Bytes bytes;
        uint32_t codePoint;  // of a valid sequence
        bool valid;
    } cases[] = {
        {"lead before letters", {0xE9, 'a', 'b'}, 0, false},
        {"second continuation missing", {0xE2, 0x82, 'a'}, 0, false},
        {"lead as continuation", {0xC2, 0xC2}, 0, false},
        {"overlong NUL", {0xC0, 0x80}, 0, false},
        {"overlong two bytes", {0xC1, 0xBF}, 0, false},
        {"overlong three bytes", {0xE0, 0x9F, 0xBF}, 0, false},
        {"overlong four bytes", {0xF0, 0x8F, 0xBF, 0xBF}, 0, false},
        {"first surrogate", {0xED, 0xA0, 0x80}, 0, false},
        {"last surrogate", {0xED, 0xBF, 0xBF}, 0, false},
        {"shortest two bytes", {0xC2, 0x80}, 0x80, true},
        {"shortest three bytes", {0xE0, 0xA0, 0x80}, 0x800, true},
        {"below the surrogates", {0xED, 0x9F, 0xBF}, 0xD7FF, true},
        {"above the surrogates", {0xEE, 0x80, 0x80}, 0xE000, true},
        {"shortest four bytes", {0xF0, 0x90, 0x80, 0x80}, 0x10000, true},
    };
    for (const auto& c : cases) {
        size_t read = 0;
        uint32_t cp = 0;
        ASSERT_EQ(utf8.decode(c.bytes.data(), c.bytes.data() + c.bytes.size(), read, cp), c.valid)
            << c.name;
        if (c.valid) {
            EXPECT_EQ(read, c.bytes.size()) << c.name;
            EXPECT_EQ(cp, c.codePoint) << c.name;
        }
    }
}

}  // namespace
