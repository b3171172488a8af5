#pragma once

#include <string>

namespace ncs {

/// A new salt: 40 upper-case hexadecimal characters (SHA-1 of a fresh UUID).
std::string makeClientSalt();

/// HMAC-SHA1 over the client id, keyed with 32 rounds of SHA-1 over the secret
/// followed by the salt's bytes; 40 upper-case hexadecimal characters.
std::string clientSignature(const std::string& clientSecret, const std::string& saltHex,
                            const std::string& clientId);

}  // namespace ncs
