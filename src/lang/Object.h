#pragma once

#include <cstdint>

namespace lang {

/// Base of every shared engine object. The count starts at 0 so that the first
/// lang::Ptr to receive a new object becomes its owner. Counts are not atomic:
/// objects cross threads only under a lock or by handing over the last reference.
class Object {
public:
    Object() : refs_(0) {}
    /// A copy is a new object with no owners of its own.
    Object(const Object&) : refs_(0) {}
    Object& operator=(const Object&) { return *this; }
    virtual ~Object() = default;

    void addReference() const { ++refs_; }
    void release() const {
        if (--refs_ == 0) {
            delete this;
        }
    }
    int32_t referenceCount() const { return refs_; }

private:
    mutable int32_t refs_;
};

}  // namespace lang
