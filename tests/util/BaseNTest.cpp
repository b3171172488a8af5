#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Exception.h"
#include "util/BaseN.h"

using util::BaseN;

TEST(BaseN, HexEncodesHighNibbleFirst) {
    EXPECT_EQ(util::toHex(std::vector<uint8_t>{0x3A, 0x00, 0xFF}), "3A00FF");
    EXPECT_EQ(util::toHex(std::vector<uint8_t>{}), "");
}

TEST(BaseN, HexDecodesGroupsOfTwo) {
    struct Case {
        std::string text;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"4A\r\n6B", {0x4A, 0x6B}}, {"4A5", {0x4A}}, {" 4 A ", {0x4A}},      {"4=A5B", {0xA5}},
        {"4A=6B", {0x4A, 0x6B}},    {"", {}},        {"00FF", {0x00, 0xFF}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(util::fromHex(c.text), c.bytes) << c.text;
    }
}

TEST(BaseN, HexRejectsCharactersOutsideTheAlphabet) {
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"4A6b", "BaseN::decode: Bad character in input: 98"},
        {"4A\t", "BaseN::decode: Bad character in input: 9"},
        {"\xC3\xA9", "BaseN::decode: Bad character in input: 195"},
    };
    for (const Case& c : cases) {
        try {
            util::fromHex(c.text);
            ADD_FAILURE() << "no exception for " << c.text;
        } catch (const lang::Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(BaseN, OtherAlphabetsRoundTrip) {
    BaseN base32("ABCDEFGHIJKLMNOPQRSTUVWXYZ234567");
    std::vector<uint8_t> bytes = {'f', 'o', 'o', 'b', 'a', 'r'};
    EXPECT_EQ(base32.encode(bytes), "MZXW6YTBOI");
    EXPECT_EQ(base32.decode("MZXW6YTBOI"), bytes);
    BaseN binary("01");
    EXPECT_EQ(binary.encode(std::vector<uint8_t>{0xA5}), "10100101");
    EXPECT_EQ(binary.decode("10100101"), std::vector<uint8_t>{0xA5});
}

TEST(BaseN, RejectsBadAlphabets) {
    EXPECT_THROW(BaseN("012"), lang::Exception);
    EXPECT_THROW(BaseN("0"), lang::Exception);
    EXPECT_THROW(BaseN("0011"), lang::Exception);
}
