#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

/// Random (version 4) UUIDs from the operating system's generator, in the
/// standard lower-case 8-4-4-4-12 form. Safe on any thread.
class UUID : public lang::Object {
public:
    class Impl;

    UUID();
    ~UUID() override;

    std::string generate() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
