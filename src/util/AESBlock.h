#pragma once

#include <cstddef>
#include <cstdint>

namespace util {

/// The AES block cipher of FIPS-197 with 128-, 192- and 256-bit keys.
class AESBlock {
public:
    static const size_t BLOCK_SIZE = 16;

    /// keyBytes is 16, 24 or 32.
    AESBlock(const uint8_t* key, size_t keyBytes);
    ~AESBlock();
    AESBlock(const AESBlock&) = delete;
    AESBlock& operator=(const AESBlock&) = delete;

    void encryptBlock(const uint8_t* in, uint8_t* out) const;
    void decryptBlock(const uint8_t* in, uint8_t* out) const;

private:
    static const int MAX_ROUNDS = 14;

    int rounds_;
    uint32_t encryptKeys_[4 * (MAX_ROUNDS + 1)];
    uint32_t decryptKeys_[4 * (MAX_ROUNDS + 1)];
};

}  // namespace util
