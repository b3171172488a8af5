#include <sys/utsname.h>

#include "pf/DeviceInfo.h"
#include "pf/PlatformText.h"

namespace pf {

class DeviceInfo::Impl : public lang::Object {
public:
    std::string osVersion() const {
        struct utsname name;
        if (uname(&name) != 0) {
            return text::osVersionFromRelease("");
        }
        return text::osVersionFromRelease(name.release);
    }
};

DeviceInfo::DeviceInfo() : impl_(new Impl) {}
DeviceInfo::~DeviceInfo() = default;

std::string DeviceInfo::getPlatformName() const {
    return "Linux";
}
std::string DeviceInfo::getOSVersion() const {
    return impl_->osVersion();
}
std::string DeviceInfo::getDeviceModel() const {
    return "Unknown";
}

}  // namespace pf
