#pragma once

#include <string>

namespace ncs {

/// The game client's 32-character secret, assembled at run time.
std::string clientSecret();

}  // namespace ncs
