#pragma once

#include <string>

#include "cloudclient/ClientConfiguration.h"
#include "cloudclient/IdentityLevel2.h"
#include "cloudclient/LoginProvider.h"
#include "lang/Ptr.h"

namespace ncs {

/// The player's cloud identity as the game holds it.
class AltivoIdentity {
public:
    class Impl;

    explicit AltivoIdentity(const ClientConfiguration& configuration);
    ~AltivoIdentity();

    /// Device login when needed, the provider's login, the profile, then the
    /// tokens; announces onLoggedIn or onLoginFailed. Throws
    /// CloudServiceException on failure.
    void login(LoginProvider& provider);
    bool isLoggedIn() const;
    bool isServiceAvailable(const std::string& name) const;

    const lang::Ptr<Impl>& getImpl() const { return impl_; }

private:
    lang::Ptr<Impl> impl_;
};

class AltivoIdentity::Impl : public IdentityLevel2 {
public:
    explicit Impl(const lang::Ptr<IdentityLevel1>& device);

    /// Session restore with the events of a login.
    void login() override;
    void logout() override;
    std::string refreshTokenKey() const override;
    void missingRefreshToken() override;

    void loginWith(LoginProvider& provider);

private:
    void ensureDeviceLogin();
};

}  // namespace ncs
