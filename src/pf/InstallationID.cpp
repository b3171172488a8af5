#include "pf/InstallationID.h"

#include "pf/UUID.h"
#include "util/Registry.h"

namespace pf {

std::string getInstallationID() {
    return util::registryInstallationID([] { return UUID().generate(); });
}

}  // namespace pf
