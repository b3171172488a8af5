#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

/// Opens URLs with the user's default handler.
class Launcher : public lang::Object {
public:
    class Impl;

    Launcher();
    ~Launcher() override;

    /// Hands the URL to the desktop's opener and returns true whatever it does
    /// with it. URLs that the opener would take for options are not passed on.
    bool openURL(const std::string& url);

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
