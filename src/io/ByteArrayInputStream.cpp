#include "io/ByteArrayInputStream.h"

#include "io/MemoryReader.h"

namespace io {

ByteArrayInputStream::ByteArrayInputStream() : InputStream(lang::Ptr<InputStream>()), pos_(0) {}

ByteArrayInputStream::ByteArrayInputStream(const void* bytes, int count) : ByteArrayInputStream() {
    setData(bytes, count);
}

ByteArrayInputStream::ByteArrayInputStream(std::vector<uint8_t> bytes)
    : InputStream(lang::Ptr<InputStream>()), bytes_(std::move(bytes)), pos_(0) {}

ByteArrayInputStream::ByteArrayInputStream(InputStream& other)
    : InputStream(lang::Ptr<InputStream>()),
      bytes_(readAll(other)),
      pos_(0),
      name_(other.getName()) {}

void ByteArrayInputStream::setData(const void* bytes, int count) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    if (p && count > 0) {
        bytes_.assign(p, p + count);
    } else {
        bytes_.clear();
    }
    pos_ = 0;
}

const uint8_t* ByteArrayInputStream::data() const {
    return bytes_.empty() ? nullptr : bytes_.data();
}

int ByteArrayInputStream::read(void* buffer, int count) {
    return static_cast<int>(memory::read(bytes_.data(), bytes_.size(), pos_, buffer, count));
}

void ByteArrayInputStream::skip(int count) {
    memory::skip(bytes_.size(), pos_, count);
}

bool ByteArrayInputStream::seek(int64_t offset, int origin) {
    memory::seek(bytes_.size(), pos_, offset, origin);
    return true;
}

int ByteArrayInputStream::available() {
    return static_cast<int>(bytes_.size() - pos_);
}

std::string ByteArrayInputStream::getName() const {
    return name_.empty() ? "ByteArrayInputStream" : name_;
}

}  // namespace io
