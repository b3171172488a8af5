#include "lang/Exception.h"
#include "pf/AppSettings.h"

namespace pf {

class AppSettings::Impl : public lang::Object {};

AppSettings::AppSettings() : impl_(new Impl) {}
AppSettings::~AppSettings() = default;

bool AppSettings::getBoolean(const std::string&) const {
    throw lang::Exception(lang::Format("AppSettings::getBoolean not supported"));
}

}  // namespace pf
