#pragma once

#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class Locale : public lang::Object {
public:
    class Impl;

    Locale();
    ~Locale() override;

    /// One entry: the user's language and country as in en_GB; "en_US" when the
    /// environment does not name both.
    std::vector<std::string> getPreferredLanguages() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
