#include "util/Registry.h"

#include "util/JSON.h"
#include "util/RegistryAccessor.h"

namespace util {

JSON& registrySection(JSON& document, const std::string& key) {
    if (document.getType() != JSON::TYPE_OBJECT) {
        document = JSON::ObjectType();
    }
    JSON& section = document.member(key);
    if (section.getType() != JSON::TYPE_OBJECT) {
        section = JSON::ObjectType();
    }
    return section;
}

std::string registryInstallationID(const std::function<std::string()>& newId) {
    RegistryAccessor accessor;
    JSON& id = registrySection(accessor.registry(), "tessel").member("installationID");
    if (id.getType() != JSON::TYPE_STRING) {
        id = newId();
    }
    return id.asString();
}

void setCloudValue(const std::string& key, const std::string& value) {
    RegistryAccessor accessor;
    registrySection(accessor.registry(), "cloud").member(key) = value;
}

bool getCloudValue(const std::string& key, std::string& value) {
    RegistryAccessor accessor;
    const JSON& document = accessor.registry();
    if (!document.hasObject("cloud") || !document.getObject("cloud").count(key)) {
        return false;
    }
    const JSON& found = document.getObject("cloud").at(key);
    if (found.getType() != JSON::TYPE_STRING) {
        return false;
    }
    value = found.asString();
    return true;
}

}  // namespace util
