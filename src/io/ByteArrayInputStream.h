#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/InputStream.h"

namespace io {

/// Input from an owned copy of some bytes.
class ByteArrayInputStream : public InputStream {
public:
    ByteArrayInputStream();
    /// Copies `count` bytes.
    ByteArrayInputStream(const void* bytes, int count);
    explicit ByteArrayInputStream(std::vector<uint8_t> bytes);
    /// Copies everything `other` still holds and takes its name.
    explicit ByteArrayInputStream(InputStream& other);

    /// Replaces the content and rewinds.
    void setData(const void* bytes, int count);
    /// First byte, or null when the stream is empty.
    const uint8_t* data() const;

    int read(void* buffer, int count) override;
    void skip(int count) override;
    bool seek(int64_t offset, int origin) override;
    int available() override;
    std::string getName() const override;

protected:
    void setName(const std::string& name) { name_ = name; }

private:
    std::vector<uint8_t> bytes_;
    size_t pos_;
    std::string name_;
};

}  // namespace io
