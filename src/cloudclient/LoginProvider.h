#pragma once

#include <string>

#include "cloudclient/Tokens.h"

namespace ncs {

class IdentityLevel1;

class LoginProvider {
public:
    virtual ~LoginProvider() = default;
    /// New user tokens, obtained with the device identity.
    virtual Tokens login(IdentityLevel1& device) = 0;
};

class UpgradeProvider {
public:
    virtual ~UpgradeProvider() = default;
    virtual Tokens upgrade(IdentityLevel1& device) = 0;
};

/// A guest account tied to the installation identifier.
class Guest : public LoginProvider, public UpgradeProvider {
public:
    Guest(const std::string& email, const std::string& password, const std::string& birthday)
        : email_(email), password_(password), birthday_(birthday) {}

    /// guest/login; an unknown guest (401) is registered with guest/register.
    Tokens login(IdentityLevel1& device) override;
    /// guest/upgrade with the e-mail, password and birthday.
    Tokens upgrade(IdentityLevel1& device) override;

private:
    std::string email_;
    std::string password_;
    std::string birthday_;
};

}  // namespace ncs
