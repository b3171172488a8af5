#include "cloudclient/IdentityLevel2.h"

#include "cloudclient/AuthorizedCall.h"
#include "cloudclient/CloudServiceException.h"
#include "util/Registry.h"

namespace ncs {

IdentityLevel2::IdentityLevel2(const lang::Ptr<IdentityLevel1>& level1) : level1_(level1) {}

void IdentityLevel2::login() {
    lang::MutexLock lock(loginMutex());
    std::string stored = storedRefreshToken();
    Identity::setTokens(Tokens{std::string(), stored, 0});
    level1().getAccessToken();
    if (stored.empty()) {
        missingRefreshToken();
        return;
    }
    restoreSession(stored);
}

void IdentityLevel2::restoreSession(const std::string& refreshToken) {
    try {
        Tokens tokens = refreshSession(refreshToken);
        if (!tokens.accessToken.empty()) {
            fetchUserProfile(tokens.accessToken);
        }
        setTokens(tokens);
    } catch (const CloudServiceException& e) {
        if (e.getCode() != 403) {
            throw;
        }
        util::setCloudValue(refreshTokenKey(), std::string());
        missingRefreshToken();
    }
}

void IdentityLevel2::logout() {
    Identity::setTokens(Tokens());
    level1().logout();
    util::setCloudValue(refreshTokenKey(), std::string());
    resetUserProfile();
}

std::string IdentityLevel2::getAccessToken(bool fallback) {
    try {
        return Identity::getAccessToken(fallback);
    } catch (const CloudServiceNorvaneLoginRequiredException&) {
        if (!fallback) {
            throw;
        }
        return level1().getAccessToken();
    }
}

std::string IdentityLevel2::getServerUrl() const {
    return level1().getServerUrl();
}

ServiceConfig IdentityLevel2::getService(const std::string& name) const {
    return level1().getService(name);
}

bool IdentityLevel2::isServiceAvailable(const std::string& name) const {
    return level1().isServiceAvailable(name);
}

ServiceTable IdentityLevel2::getServices() const {
    return level1().getServices();
}

void IdentityLevel2::setTokens(const Tokens& tokens) {
    lang::MutexLock lock(loginMutex());
    Identity::setTokens(tokens);
    util::setCloudValue(refreshTokenKey(), tokens.refreshToken);
}

UserProfile IdentityLevel2::getUserProfile() {
    lang::MutexLock lock(profileMutex_);
    if (profile_.accountId.empty()) {
        std::string text = storedProfileText();
        if (!text.empty()) {
            profile_ = parseUserProfile(text);
        }
    }
    return profile_;
}

void IdentityLevel2::updateUserProfile(const UserProfile& profile) {
    Request request(userServiceUrl("profile/own"));
    request.setBody(FormDataBody({{"model", userProfileToJSON(profile)}}));
    Response response = AuthorizedCall::post(*this, request);
    UserProfile updated = parseUserProfile(response.body);
    lang::MutexLock lock(profileMutex_);
    profile_ = updated;
}

void IdentityLevel2::setProfileName(const std::string& name) {
    lang::MutexLock lock(profileMutex_);
    profileName_ = name;
}

std::string IdentityLevel2::getProfileName() const {
    lang::MutexLock lock(profileMutex_);
    return profileName_;
}

std::string IdentityLevel2::storedProfileText() const {
    std::string text;
    util::getCloudValue(profileKey(), text);
    return text;
}

IdentityLevel1& IdentityLevel2::level1() const {
    return *level1_;
}

void IdentityLevel2::fetchUserProfile(const std::string& accessToken) {
    Request request(userServiceUrl("profile/own"));
    request.addHeader("X-Access-Token: " + accessToken);
    Response response = plainGet(request);
    if (response.status != 200) {
        throw CloudServiceException("Failed to fetch user profile", response.status);
    }
    util::setCloudValue(profileKey(), response.body);
    UserProfile profile = parseUserProfile(response.body);
    lang::MutexLock lock(profileMutex_);
    profile_ = profile;
}

void IdentityLevel2::resetUserProfile() {
    {
        lang::MutexLock lock(profileMutex_);
        profile_ = UserProfile();
    }
    util::setCloudValue(profileKey(), std::string());
}

Tokens IdentityLevel2::refreshSession(const std::string& refreshToken) {
    IdentityLevel1& device = level1();
    if (!device.isLoggedIn()) {
        device.login();
    }
    Request request(userServiceUrl("refresh"));
    request.setBody(FormDataBody(
        {{"level1RefreshToken", device.getRefreshToken()}, {"refreshToken", refreshToken}}));
    Response response = AuthorizedCall::post(device, request);
    return parseAccessResponse(response.body, nowSeconds());
}

std::string IdentityLevel2::storedRefreshToken() const {
    std::string token;
    util::getCloudValue(refreshTokenKey(), token);
    return token;
}

std::string IdentityLevel2::userServiceUrl(const std::string& path) const {
    return level1().getService("identityLevel2").url + path;
}

std::string IdentityLevel2::profileKey() const {
    return "CloudUserProfile_" + getProfileName();
}

}  // namespace ncs
