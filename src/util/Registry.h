#pragma once

#include <functional>
#include <string>

#include "util/JSON.h"

namespace util {

// Values kept in the persistent store, each read or written with an accessor
// of its own. Sections that are not objects (a damaged file) are replaced.

/// "tessel" -> "installationID"; created with newId() when it is not a string.
std::string registryInstallationID(const std::function<std::string()>& newId);

/// "cloud" -> key.
void setCloudValue(const std::string& key, const std::string& value);
/// False when the store has no string under the key.
bool getCloudValue(const std::string& key, std::string& value);

/// The member `key` of `document`, made an empty Object unless it already is one.
JSON& registrySection(JSON& document, const std::string& key);

}  // namespace util
