#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

/// An identifier that stays the same for one installation of the operating
/// system: 40 upper-case hexadecimal characters. Never fails. Safe on any thread.
class DeviceID : public lang::Object {
public:
    class Impl;

    DeviceID();
    ~DeviceID() override;

    std::string getID() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
