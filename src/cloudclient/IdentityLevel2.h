#pragma once

#include <string>

#include "cloudclient/CloudDocuments.h"
#include "cloudclient/Identity.h"
#include "cloudclient/IdentityLevel1.h"
#include "lang/Ptr.h"

namespace ncs {

/// The player's session on top of the device identity. The user refresh token
/// is kept in the persistent store so that a session can be restored.
class IdentityLevel2 : public Identity {
public:
    explicit IdentityLevel2(const lang::Ptr<IdentityLevel1>& level1);

    /// Restores the stored session.
    void login() override;
    /// Also logs the device out and forgets the stored session and profile.
    void logout() override;
    /// With fallback, a missing session gives the device's token instead of
    /// CloudServiceNorvaneLoginRequiredException.
    std::string getAccessToken(bool fallback = false) override;

    std::string getServerUrl() const override;
    ServiceConfig getService(const std::string& name) const override;
    bool isServiceAvailable(const std::string& name) const override;
    ServiceTable getServices() const override;

    /// Also stores the refresh token.
    void setTokens(const Tokens& tokens) override;

    virtual UserProfile getUserProfile();
    virtual void updateUserProfile(const UserProfile& profile);
    virtual void setProfileName(const std::string& name);
    virtual std::string getProfileName() const;
    virtual std::string refreshTokenKey() const = 0;
    virtual std::string storedProfileText() const;
    virtual IdentityLevel1& level1() const;
    /// Called when no session can be restored; throws.
    virtual void missingRefreshToken() = 0;
    virtual void fetchUserProfile(const std::string& accessToken);
    virtual void resetUserProfile();
    virtual Tokens refreshSession(const std::string& refreshToken);

protected:
    std::string storedRefreshToken() const;
    /// Steps of a session restore after the stored token was read: the device's
    /// token, then the refresh. A 403 forgets the stored token.
    void restoreSession(const std::string& refreshToken);
    /// The "identityLevel2" service url followed by path.
    std::string userServiceUrl(const std::string& path) const;

private:
    std::string profileKey() const;

    lang::Ptr<IdentityLevel1> level1_;
    mutable lang::Mutex profileMutex_;
    std::string profileName_ = "default";
    UserProfile profile_;
};

}  // namespace ncs
