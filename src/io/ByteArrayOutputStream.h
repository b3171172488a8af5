#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/OutputStream.h"

namespace io {

/// Output that appends to a growing byte vector, its own or the caller's.
class ByteArrayOutputStream : public OutputStream {
public:
    explicit ByteArrayOutputStream(int initialCapacity = 0);
    /// Appends to `target`, which must outlive the stream.
    explicit ByteArrayOutputStream(std::vector<uint8_t>& target);

    int write(const void* buffer, int count) override;
    std::string getName() const override;

    const std::vector<uint8_t>& bytes() const { return *bytes_; }
    std::string toString() const { return std::string(bytes_->begin(), bytes_->end()); }

private:
    std::vector<uint8_t> own_;
    std::vector<uint8_t>* bytes_;  // &own_ unless the caller's vector
};

}  // namespace io
