#pragma once

#include <cstddef>
#include <cstdint>

namespace io {

/// Shared position arithmetic of the memory streams. Positions stay in [0, size].
namespace memory {

size_t read(const uint8_t* bytes, size_t size, size_t& pos, void* buffer, int count);
void skip(size_t size, size_t& pos, int count);
/// Other origins leave the position unchanged; the result is clamped.
void seek(size_t size, size_t& pos, int64_t offset, int origin);

}  // namespace memory
}  // namespace io
