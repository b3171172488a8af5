#include <cstdlib>

#include "pf/Locale.h"
#include "pf/PlatformText.h"

namespace pf {

class Locale::Impl : public lang::Object {
public:
    std::string language() const {
        return text::languageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                        std::getenv("LANG"));
    }
};

Locale::Locale() : impl_(new Impl) {}
Locale::~Locale() = default;

std::vector<std::string> Locale::getPreferredLanguages() const {
    return {impl_->language()};
}

}  // namespace pf
