#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace util {

/// AES in CBC mode from an all-zero initialisation vector, with padding. Every
/// call starts again from the zero vector; no vector is stored with the output.
class AES {
public:
    /// Key-length selector.
    enum KeyLength {
        KEY_LENGTH_FROM_KEY = 0,
        KEY_LENGTH_128 = 1,
        KEY_LENGTH_192 = 2,
        KEY_LENGTH_256 = 3
    };
    enum PadMode {
        PAD_MODE_PKCS7 = 0,   // n bytes of value n
        PAD_MODE_RANDOM = 1,  // n - 1 random bytes, then n
        PAD_MODE_NOPAD = 2    // none; lengths must be multiples of BLOCK_SIZE
    };
    static const size_t BLOCK_SIZE = 16;

    /// Throws lang::Exception for a key of the wrong length or a bad selector.
    AES(const std::vector<uint8_t>& key, int keyLength, int padMode);
    AES(const AES& other);
    AES& operator=(const AES& other);
    ~AES();

    /// Replaces out with the ciphertext; an empty input gives an empty output.
    /// Throws lang::Exception for unpadded input of the wrong length.
    void encrypt(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) const;
    void encrypt(const uint8_t* in, size_t size, std::vector<uint8_t>& out) const;

    /// False when the input cannot be a ciphertext of this mode; never throws.
    bool decrypt(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) const;
    bool decrypt(const uint8_t* in, size_t size, std::vector<uint8_t>& out) const;

private:
    class Impl;
    lang::Ptr<Impl> impl_;
};

}  // namespace util
