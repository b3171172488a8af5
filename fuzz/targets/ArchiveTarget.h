#pragma once

// One fuzz run of an archive backend: open the data, list it, extract every
// entry and one index past the end. Backends report bad data by error code and
// never throw; a failed extraction leaves no bytes.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "io/MemoryAliasInputStream.h"
#include "io/ZipFile.h"

namespace fuzz {

inline void runArchive(io::ZipFile& backend, const uint8_t* data, size_t size) {
    io::MemoryAliasInputStream stream(data, int(size), "fuzz");
    if (backend.open(stream) != 0) {
        return;
    }
    std::vector<std::string> names;
    if (backend.list(names) != 0) {
        return;
    }
    const int count = int(names.size());
    for (int index = -1; index <= count && index < 64; ++index) {
        std::vector<uint8_t> bytes(3, 0xAA);
        const int error = backend.extract(index, bytes);
        QF_FUZZ_CHECK(error == 0 || bytes.empty(), "entry " + std::to_string(index) +
                                                       " failed with error " +
                                                       std::to_string(error) + " but left " +
                                                       std::to_string(bytes.size()) + " bytes");
        QF_FUZZ_CHECK(
            error != 0 || (index >= 0 && index < count),
            "entry " + std::to_string(index) + " of " + std::to_string(count) + " extracted");
    }
}

}  // namespace fuzz
