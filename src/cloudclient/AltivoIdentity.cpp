#include "cloudclient/AltivoIdentity.h"

#include "cloudclient/CloudEvents.h"
#include "cloudclient/CloudServiceException.h"

namespace ncs {

AltivoIdentity::AltivoIdentity(const ClientConfiguration& configuration)
    : impl_(new Impl(new NorvaneDeviceIdentity(configuration))) {}

AltivoIdentity::~AltivoIdentity() = default;

void AltivoIdentity::login(LoginProvider& provider) {
    impl_->loginWith(provider);
}
bool AltivoIdentity::isLoggedIn() const {
    return impl_->isLoggedIn();
}
bool AltivoIdentity::isServiceAvailable(const std::string& name) const {
    return impl_->isServiceAvailable(name);
}

AltivoIdentity::Impl::Impl(const lang::Ptr<IdentityLevel1>& device) : IdentityLevel2(device) {}

void AltivoIdentity::Impl::ensureDeviceLogin() {
    if (!level1().isLoggedIn()) {
        level1().login();
    }
}

void AltivoIdentity::Impl::login() {
    lang::MutexLock lock(loginMutex());
    try {
        ensureDeviceLogin();
        std::string stored = storedRefreshToken();
        Identity::setTokens(Tokens{std::string(), stored, 0});
        level1().getAccessToken();
        if (stored.empty()) {
            throw CloudServiceNorvaneLoginRequiredException("Login method required");
        }
        restoreSession(stored);
    } catch (const CloudServiceException& e) {
        postLoginFailed(e.getCode());
        throw;
    }
    postLoggedIn();
}

void AltivoIdentity::Impl::logout() {
    IdentityLevel2::logout();
    postLoggedOut();
}

std::string AltivoIdentity::Impl::refreshTokenKey() const {
    return "NorvaneIdentityRefreshToken";
}

void AltivoIdentity::Impl::missingRefreshToken() {
    throw CloudServiceNorvaneLoginRequiredException(
        "Missing or invalid refresh token, automatic login not available");
}

void AltivoIdentity::Impl::loginWith(LoginProvider& provider) {
    lang::MutexLock lock(loginMutex());
    try {
        ensureDeviceLogin();
        Tokens tokens = provider.login(level1());
        fetchUserProfile(tokens.accessToken);
        setTokens(tokens);
    } catch (const CloudServiceException& e) {
        postLoginFailed(e.getCode());
        throw;
    }
    postLoggedIn();
}

}  // namespace ncs
