#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace util {

/// Text codec for an alphabet of 2^k letters (k from 1 to 8), most significant
/// bits first. Decoding skips blanks, carriage returns and line feeds; '=' drops
/// the bits of an unfinished byte.
class BaseN {
public:
    /// Throws lang::Exception when the alphabet size is not a power of two or a
    /// letter repeats.
    explicit BaseN(const std::string& alphabet);

    std::string encode(const uint8_t* data, size_t size) const;
    std::string encode(const std::vector<uint8_t>& bytes) const;
    /// Throws lang::Exception for a character outside the alphabet.
    std::vector<uint8_t> decode(const std::string& text) const;

    /// The process-wide upper-case hexadecimal codec.
    static const BaseN& hex();

private:
    std::string alphabet_;
    int symbols_[256];
    int bits_;
};

/// Bytes to upper-case hexadecimal text and back, with BaseN::hex().
std::string toHex(const std::vector<uint8_t>& bytes);
std::string toHex(const uint8_t* data, size_t size);
std::vector<uint8_t> fromHex(const std::string& text);

}  // namespace util
