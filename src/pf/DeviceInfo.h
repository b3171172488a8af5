#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

/// What the game may tell about the machine it runs on.
class DeviceInfo : public lang::Object {
public:
    class Impl;

    DeviceInfo();
    ~DeviceInfo() override;

    /// "Linux".
    std::string getPlatformName() const;
    /// Kernel release as "major.minor.patch", for example 6.1.0.
    std::string getOSVersion() const;
    /// "Unknown".
    std::string getDeviceModel() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
