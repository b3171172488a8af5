#include "io/MemoryAliasInputStream.h"

#include "io/MemoryReader.h"

namespace io {

MemoryAliasInputStream::MemoryAliasInputStream(const void* bytes, int size, const std::string& name)
    : InputStream(lang::Ptr<InputStream>()),
      bytes_(static_cast<const uint8_t*>(bytes)),
      size_(bytes && size > 0 ? static_cast<size_t>(size) : 0),
      pos_(0),
      name_(name) {}

int MemoryAliasInputStream::read(void* buffer, int count) {
    return static_cast<int>(memory::read(bytes_, size_, pos_, buffer, count));
}

void MemoryAliasInputStream::skip(int count) {
    memory::skip(size_, pos_, count);
}

bool MemoryAliasInputStream::seek(int64_t offset, int origin) {
    memory::seek(size_, pos_, offset, origin);
    return true;
}

int MemoryAliasInputStream::available() {
    return static_cast<int>(size_ - pos_);
}

std::string MemoryAliasInputStream::getName() const {
    return name_.empty() ? "MemoryAliasInputStream" : name_;
}

}  // namespace io
