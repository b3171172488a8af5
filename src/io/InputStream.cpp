#include "io/InputStream.h"

namespace io {

InputStream::InputStream(const lang::Ptr<InputStream>& wrapped)
    : wrapped_(wrapped), target_(this) {}

InputStream::InputStream(InputStream* target) : target_(target) {}

InputStream::~InputStream() = default;

InputStream* InputStream::forwardTarget() const {
    return target_ == this ? wrapped_.get() : target_;
}

int InputStream::read(void* buffer, int count) {
    InputStream* t = forwardTarget();
    return t ? t->read(buffer, count) : 0;
}

void InputStream::skip(int count) {
    if (InputStream* t = forwardTarget()) {
        t->skip(count);
    }
}

bool InputStream::seek(int64_t offset, int origin) {
    InputStream* t = forwardTarget();
    return t ? t->seek(offset, origin) : false;
}

int InputStream::available() {
    InputStream* t = forwardTarget();
    return t ? t->available() : 0;
}

std::string InputStream::getName() const {
    InputStream* t = forwardTarget();
    return t ? t->getName() : std::string();
}

std::vector<uint8_t> readAll(InputStream& stream) {
    enum { BLOCK = 1024 };
    std::vector<uint8_t> bytes;
    int avail = stream.available();
    if (avail > 0) {
        bytes.resize(static_cast<size_t>(avail));
        int got = stream.read(bytes.data(), avail);
        bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    } else if (avail < 0) {
        // Read to the very end: a short block need not be the last one.
        uint8_t block[BLOCK];
        int got;
        while ((got = stream.read(block, BLOCK)) > 0) {
            bytes.insert(bytes.end(), block, block + got);
        }
    }
    return bytes;
}

std::string readAllAsString(InputStream& stream) {
    std::vector<uint8_t> bytes = readAll(stream);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace io
