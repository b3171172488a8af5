#pragma once

#include <cstddef>
#include <cstdint>

namespace io {

/// The largest single allocation an archive decoder may make for an archive of
/// `archiveSize` bytes. Sizes in an archive are claims: real data expands by a
/// bounded ratio, so a claim far beyond it is refused instead of allocated.
inline size_t archiveAllocationLimit(uint64_t archiveSize) {
    const uint64_t floor = uint64_t(64) << 20;
    const uint64_t ceiling = uint64_t(1) << 30;
    const uint64_t ratio = 8192;  // beyond what LZMA reaches on runs of zeros
    uint64_t limit = archiveSize > ceiling / ratio ? ceiling : archiveSize * ratio;
    return static_cast<size_t>(limit < floor ? floor : limit);
}

}  // namespace io
