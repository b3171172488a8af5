#pragma once

#include <cstdint>
#include <vector>

namespace util {
namespace detail {

/// The 256-bit key of the store file. Builds that must share files need the
/// same key.
std::vector<uint8_t> registryKey();

}  // namespace detail
}  // namespace util
