#pragma once

#include <cstdint>
#include <string>

#include "io/InputStream.h"

namespace io {

/// Input from memory owned by the caller, which must outlive the stream.
class MemoryAliasInputStream : public InputStream {
public:
    MemoryAliasInputStream(const void* bytes, int size, const std::string& name = std::string());

    int read(void* buffer, int count) override;
    void skip(int count) override;
    bool seek(int64_t offset, int origin) override;
    int available() override;
    std::string getName() const override;

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t pos_;
    std::string name_;
};

}  // namespace io
