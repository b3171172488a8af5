#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/ByteArrayInputStream.h"

namespace io {

/// The decoded bytes of one archive entry, named after the entry.
class ZipEntryInputStream : public ByteArrayInputStream {
public:
    ZipEntryInputStream(const std::string& name, std::vector<uint8_t> bytes)
        : ByteArrayInputStream(std::move(bytes)), name_(name) {}

    std::string getName() const override { return name_; }

private:
    std::string name_;
};

}  // namespace io
