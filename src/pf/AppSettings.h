#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

/// Settings that an app store or device policy would supply; none exist here.
class AppSettings : public lang::Object {
public:
    class Impl;

    AppSettings();
    ~AppSettings() override;

    /// Throws lang::Exception "AppSettings::getBoolean not supported".
    bool getBoolean(const std::string& key) const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
