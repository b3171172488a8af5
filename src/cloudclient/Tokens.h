#pragma once

#include <cstdint>
#include <string>

namespace ncs {

struct Tokens {
    std::string accessToken;
    std::string refreshToken;
    int64_t expiry = 0;  // seconds since 1970; 0: never expires
};

/// Expired when there is no access token, or from 600 seconds before a non-zero
/// expiry on.
bool isExpired(const Tokens& tokens, int64_t now);

/// Seconds since 1970.
int64_t nowSeconds();

}  // namespace ncs
