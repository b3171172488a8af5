#pragma once

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace lang {

/// A per-thread scope for platform code that needs one; it does nothing here.
class AutoreleasePool : public Object {
public:
    class Impl : public Object {};

    AutoreleasePool() : impl_(new Impl) {}

private:
    Ptr<Impl> impl_;
};

}  // namespace lang
