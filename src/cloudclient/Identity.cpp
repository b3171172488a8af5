#include "cloudclient/Identity.h"

#include <ctime>

namespace ncs {

bool isExpired(const Tokens& tokens, int64_t now) {
    if (tokens.accessToken.empty()) {
        return true;
    }
    return tokens.expiry != 0 && now >= tokens.expiry - 600;
}

int64_t nowSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

void Identity::logout() {
    setTokens(Tokens());
}

bool Identity::isLoggedIn() const {
    return !currentAccessToken().empty();
}

std::string Identity::getAccessToken(bool) {
    lang::MutexLock lock(loginMutex_);
    if (isExpired(getTokens(), nowSeconds())) {
        login();
    }
    return currentAccessToken();
}

std::string Identity::getRefreshToken() {
    lang::MutexLock lock(loginMutex_);
    if (isExpired(getTokens(), nowSeconds())) {
        login();
    }
    return currentRefreshToken();
}

std::string Identity::currentAccessToken() const {
    lang::MutexLock lock(tokenMutex_);
    return tokens_.accessToken;
}

std::string Identity::currentRefreshToken() const {
    lang::MutexLock lock(tokenMutex_);
    return tokens_.refreshToken;
}

void Identity::setTokens(const Tokens& tokens) {
    lang::MutexLock lock(tokenMutex_);
    tokens_ = tokens;
}

Tokens Identity::getTokens() const {
    lang::MutexLock lock(tokenMutex_);
    return tokens_;
}

}  // namespace ncs
