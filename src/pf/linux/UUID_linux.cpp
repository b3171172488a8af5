#include <sys/random.h>

#include <cerrno>
#include <fstream>

#include "lang/Exception.h"
#include "pf/PlatformText.h"
#include "pf/UUID.h"

namespace pf {

class UUID::Impl : public lang::Object {
public:
    std::string generate() const {
        uint8_t bytes[16];
        if (fill(bytes)) {
            return text::formatRandomUUID(bytes);
        }
        // Kernels without getrandom still offer ready-made ones.
        std::ifstream in("/proc/sys/kernel/random/uuid");
        std::string uuid;
        if (in >> uuid && uuid.size() == 36) {
            return uuid;
        }
        throw lang::Exception(lang::Format("No random source for UUIDs"));
    }

private:
    static bool fill(uint8_t (&bytes)[16]) {
        size_t done = 0;
        while (done < sizeof bytes) {
            ssize_t got = getrandom(bytes + done, sizeof bytes - done, 0);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            done += static_cast<size_t>(got);
        }
        return true;
    }
};

UUID::UUID() : impl_(new Impl) {}
UUID::~UUID() = default;

std::string UUID::generate() const {
    return impl_->generate();
}

}  // namespace pf
