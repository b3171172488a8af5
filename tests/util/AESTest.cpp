#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Exception.h"
#include "lang/String.h"
#include "util/AES.h"
#include "util/BaseN.h"

using util::AES;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes hex(const std::string& text) {
    return util::fromHex(lang::toUpperCase(text));
}

std::string hexOf(const Bytes& bytes) {
    return lang::toLowerCase(util::toHex(bytes));
}

Bytes counting(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    return bytes;
}

std::string errorOf(const Bytes& key, int keyLength, int padMode) {
    try {
        AES aes(key, keyLength, padMode);
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace

// FIPS-197 appendices B and C: one block from the zero vector is plain AES.
TEST(AES, MatchesTheFipsBlockVectors) {
    struct Case {
        std::string key, plain, cipher;
    };
    const std::vector<Case> cases = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
         "3925841d02dc09fbdc118597196a0b32"},
        {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
         "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
         "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const Case& c : cases) {
        AES aes(hex(c.key), AES::KEY_LENGTH_FROM_KEY, AES::PAD_MODE_NOPAD);
        Bytes out;
        aes.encrypt(hex(c.plain), out);
        EXPECT_EQ(hexOf(out), c.cipher) << c.key;
        Bytes back;
        ASSERT_TRUE(aes.decrypt(out, back));
        EXPECT_EQ(hexOf(back), c.plain) << c.key;
    }
}

// NIST SP 800-38A F.2: CBC with the vector 000102...0F. Folding that vector into
// the first plaintext block gives the same chain from the zero vector.
TEST(AES, MatchesTheCbcVectors) {
    const std::string iv = "000102030405060708090a0b0c0d0e0f";
    const std::string plain =
        "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
        "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
    struct Case {
        int keyLength;
        std::string key, cipher;
    };
    const std::vector<Case> cases = {
        {AES::KEY_LENGTH_128, "2b7e151628aed2a6abf7158809cf4f3c",
         "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
         "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
        {AES::KEY_LENGTH_192, "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b",
         "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
         "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
        {AES::KEY_LENGTH_256, "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
         "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
         "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
    };
    for (const Case& c : cases) {
        AES aes(hex(c.key), c.keyLength, AES::PAD_MODE_NOPAD);
        Bytes folded = hex(plain);
        Bytes vector = hex(iv);
        for (size_t i = 0; i < vector.size(); ++i) {
            folded[i] ^= vector[i];
        }
        Bytes out;
        aes.encrypt(folded, out);
        EXPECT_EQ(hexOf(out), c.cipher) << c.key;
        Bytes back;
        ASSERT_TRUE(aes.decrypt(out, back));
        EXPECT_EQ(back, folded) << c.key;
    }
}

TEST(AES, RejectsBadKeysAndSelectors) {
    EXPECT_EQ(errorOf(Bytes(20), 0, 0), "Key length (20) is not either 16, 24 or 32 octets");
    EXPECT_EQ(errorOf(Bytes(16), 3, 0), "Invalid key length for decrypter: 16, expected: 32");
    EXPECT_EQ(errorOf(Bytes(32), 2, 0), "Invalid key length for decrypter: 32, expected: 24");
    EXPECT_EQ(errorOf(Bytes(16), 4, 0), "Unexpected KeyLengthBits value");
    EXPECT_EQ(errorOf(Bytes(16), -1, 0), "Unexpected KeyLengthBits value");
    EXPECT_EQ(errorOf(Bytes(16), 0, 3), "Unexpected PadMode value");
    EXPECT_EQ(errorOf(Bytes(24), 2, 1), "no exception");
}

TEST(AES, PaddedModesAlwaysAddOneToSixteenBytes) {
    for (int padMode : {AES::PAD_MODE_PKCS7, AES::PAD_MODE_RANDOM}) {
        AES aes(counting(32), AES::KEY_LENGTH_256, padMode);
        for (size_t size : {1u, 5u, 15u, 16u, 17u, 100u}) {
            Bytes plain = counting(size);
            Bytes cipher;
            aes.encrypt(plain, cipher);
            EXPECT_EQ(cipher.size(), (size / 16 + 1) * 16) << padMode << " " << size;
            Bytes back;
            ASSERT_TRUE(aes.decrypt(cipher, back));
            EXPECT_EQ(back, plain) << padMode << " " << size;
        }
    }
}

TEST(AES, PkcsPaddingBytesHoldTheirCount) {
    Bytes key = counting(16);
    AES padded(key, 0, AES::PAD_MODE_PKCS7);
    AES raw(key, 0, AES::PAD_MODE_NOPAD);
    Bytes cipher;
    padded.encrypt(counting(13), cipher);
    Bytes plain;
    ASSERT_TRUE(raw.decrypt(cipher, plain));
    EXPECT_EQ(Bytes(plain.begin() + 13, plain.end()), Bytes(3, 3));
}

TEST(AES, EmptyInputHasNoPaddingBlock) {
    AES aes(counting(16), 0, AES::PAD_MODE_PKCS7);
    Bytes out = {1, 2, 3};
    aes.encrypt(Bytes(), out);
    EXPECT_TRUE(out.empty());
    out = {1};
    EXPECT_TRUE(aes.decrypt(Bytes(), out));
    EXPECT_TRUE(out.empty());
}

TEST(AES, DecryptRefusesWhatCannotBeACiphertext) {
    Bytes key = counting(16);
    AES aes(key, 0, AES::PAD_MODE_PKCS7);
    AES raw(key, 0, AES::PAD_MODE_NOPAD);
    Bytes out = {9};
    EXPECT_FALSE(aes.decrypt(Bytes(15), out));
    EXPECT_FALSE(raw.decrypt(Bytes(17), out));
    EXPECT_EQ(out, Bytes{9});

    // A block whose last plaintext byte is 0x20 is not a padded ciphertext.
    Bytes block(16, 0x41);
    block[15] = 0x20;
    Bytes cipher;
    raw.encrypt(block, cipher);
    EXPECT_FALSE(aes.decrypt(cipher, out));
}

TEST(AES, NoPadModeNeedsWholeBlocks) {
    AES raw(counting(16), 0, AES::PAD_MODE_NOPAD);
    Bytes out;
    try {
        raw.encrypt(counting(20), out);
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ(e.what(),
                     "Encryption with PadMode = PAD_MODE_NOPAD requires input size to be multiple "
                     "of BLOCK_SIZE");
    }
    raw.encrypt(counting(32), out);
    Bytes back;
    ASSERT_TRUE(raw.decrypt(out, back));
    EXPECT_EQ(back, counting(32));
}

TEST(AES, EveryCallStartsFromTheZeroVector) {
    AES aes(counting(16), 0, AES::PAD_MODE_NOPAD);
    Bytes first;
    Bytes second;
    aes.encrypt(counting(32), first);
    aes.encrypt(counting(32), second);
    EXPECT_EQ(first, second);
    // Chaining: equal plaintext blocks give different ciphertext blocks.
    Bytes same(32, 0x55);
    aes.encrypt(same, first);
    EXPECT_NE(Bytes(first.begin(), first.begin() + 16), Bytes(first.begin() + 16, first.end()));
}

TEST(AES, InputMayAliasOutput) {
    AES aes(counting(16), 0, AES::PAD_MODE_PKCS7);
    Bytes data = counting(40);
    aes.encrypt(data, data);
    EXPECT_EQ(data.size(), 48u);
    ASSERT_TRUE(aes.decrypt(data, data));
    EXPECT_EQ(data, counting(40));
}

TEST(AES, CopiesShareTheKey) {
    AES original(counting(24), 0, AES::PAD_MODE_PKCS7);
    AES copy = original;
    Bytes cipher;
    original.encrypt(counting(7), cipher);
    Bytes back;
    ASSERT_TRUE(copy.decrypt(cipher, back));
    EXPECT_EQ(back, counting(7));
}
