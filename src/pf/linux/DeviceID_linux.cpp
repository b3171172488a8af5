#include <fstream>
#include <sstream>

#include "pf/DeviceID.h"
#include "pf/PlatformText.h"

namespace pf {

class DeviceID::Impl : public lang::Object {
public:
    std::string id() const {
        // systemd's file first, then the older D-Bus copy of the same id.
        for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            std::string content;
            if (readSmallFile(path, content)) {
                return text::deviceIdFromMachineId(content, true);
            }
        }
        return text::deviceIdFromMachineId("", false);
    }

private:
    static bool readSmallFile(const char* path, std::string& content) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return false;
        }
        char buffer[256];
        in.read(buffer, sizeof buffer);
        content.assign(buffer, static_cast<size_t>(in.gcount()));
        return !content.empty();
    }
};

DeviceID::DeviceID() : impl_(new Impl) {}
DeviceID::~DeviceID() = default;

std::string DeviceID::getID() const {
    return impl_->id();
}

}  // namespace pf
