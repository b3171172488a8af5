#include "io/OutputStream.h"

namespace io {

OutputStream::OutputStream(const lang::Ptr<OutputStream>& wrapped)
    : wrapped_(wrapped), target_(this) {}

OutputStream::OutputStream(OutputStream* target) : target_(target) {}

OutputStream::~OutputStream() = default;

OutputStream* OutputStream::forwardTarget() const {
    return target_ == this ? wrapped_.get() : target_;
}

int OutputStream::write(const void* buffer, int count) {
    OutputStream* t = forwardTarget();
    return t ? t->write(buffer, count) : 0;
}

std::string OutputStream::getName() const {
    OutputStream* t = forwardTarget();
    return t ? t->getName() : std::string();
}

}  // namespace io
