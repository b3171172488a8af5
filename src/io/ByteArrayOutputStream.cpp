#include "io/ByteArrayOutputStream.h"

namespace io {

ByteArrayOutputStream::ByteArrayOutputStream(int initialCapacity)
    : OutputStream(lang::Ptr<OutputStream>()), bytes_(&own_) {
    if (initialCapacity > 0) {
        own_.reserve(static_cast<size_t>(initialCapacity));
    }
}

ByteArrayOutputStream::ByteArrayOutputStream(std::vector<uint8_t>& target)
    : OutputStream(lang::Ptr<OutputStream>()), bytes_(&target) {}

int ByteArrayOutputStream::write(const void* buffer, int count) {
    if (count <= 0) {
        return 0;
    }
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    bytes_->insert(bytes_->end(), p, p + count);
    return count;
}

std::string ByteArrayOutputStream::getName() const {
    return "ByteArrayOutputStream";
}

}  // namespace io
