#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/SHA1.h"

TEST(SHA1, MatchesTheStandardVectors) {
    struct Case {
        std::string text;
        std::string digest;
    };
    const std::vector<Case> cases = {
        {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
        {std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(util::sha1Hex(c.text), c.digest) << c.text.size();
    }
}

TEST(SHA1, PaddingBoundariesAgreeAcrossOverloads) {
    // 55, 56 and 64 bytes put the length field in the first or a second final block.
    for (size_t size : {55u, 56u, 63u, 64u, 65u}) {
        std::string text(size, 'x');
        std::vector<uint8_t> bytes(text.begin(), text.end());
        std::string digest = util::sha1Hex(text);
        EXPECT_EQ(digest.size(), 40u);
        EXPECT_EQ(util::sha1Hex(bytes), digest);
        EXPECT_EQ(util::sha1Hex(text.data(), text.size()), digest);
    }
    EXPECT_EQ(util::sha1Hex(std::string(64, 'a')), "0098BA824B5C16427BD7A1122A5A442A25EC644D");
}
