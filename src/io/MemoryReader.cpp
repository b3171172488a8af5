#include "io/MemoryReader.h"

#include <cstring>

namespace io {
namespace memory {

size_t read(const uint8_t* bytes, size_t size, size_t& pos, void* buffer, int count) {
    if (count <= 0 || pos >= size) {
        return 0;
    }
    size_t n = size - pos;
    if (static_cast<size_t>(count) < n) {
        n = static_cast<size_t>(count);
    }
    std::memcpy(buffer, bytes + pos, n);
    pos += n;
    return n;
}

void skip(size_t size, size_t& pos, int count) {
    if (count > 0) {
        size_t left = size - pos;
        pos += static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
    }
}

void seek(size_t size, size_t& pos, int64_t offset, int origin) {
    int64_t base;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = static_cast<int64_t>(pos);
            break;
        case 2:
            base = static_cast<int64_t>(size);
            break;
        default:
            return;
    }
    // Clamp before adding so that extreme offsets cannot overflow.
    int64_t s = static_cast<int64_t>(size);
    if (offset < -s) {
        offset = -s;
    } else if (offset > s) {
        offset = s;
    }
    int64_t p = base + offset;
    pos = static_cast<size_t>(p < 0 ? 0 : (p > s ? s : p));
}

}  // namespace memory
}  // namespace io
