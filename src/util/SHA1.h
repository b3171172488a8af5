#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace util {

/// The SHA-1 digest (FIPS 180) as 40 upper-case hexadecimal characters.
std::string sha1Hex(const std::vector<uint8_t>& bytes);
std::string sha1Hex(const std::string& text);
std::string sha1Hex(const void* data, size_t size);

}  // namespace util
