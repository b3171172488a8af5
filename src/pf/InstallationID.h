#pragma once

#include <string>

namespace pf {

/// The installation identifier from the persistent store, created as a new UUID
/// on first request. Safe on any thread.
std::string getInstallationID();

}  // namespace pf
