#include "util/RegistryKey.h"

#include <cstddef>

namespace util {
namespace detail {

std::vector<uint8_t> registryKey() {
    // Assembled at run time so that the key never appears as one block in the
    // binary.
    static const uint8_t seeds[8] = {0x3b, 0xc4, 0x71, 0x9e, 0x05, 0xd2, 0x6a, 0xf7};
    std::vector<uint8_t> key(32);
    uint8_t carry = 0x5d;
    for (size_t i = 0; i < key.size(); ++i) {
        carry = static_cast<uint8_t>(carry * 37 + seeds[i % 8] + i);
        key[i] = static_cast<uint8_t>(carry ^ seeds[(i * 3) % 8]);
    }
    return key;
}

}  // namespace detail
}  // namespace util
