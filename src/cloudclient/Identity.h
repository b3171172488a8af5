#pragma once

#include <map>
#include <string>

#include "cloudclient/Tokens.h"
#include "lang/Mutex.h"
#include "lang/Object.h"

namespace ncs {

struct ServiceConfig {
    std::string name;
    std::string url;
    std::map<std::string, std::string> parameters;
};

using ServiceTable = std::map<std::string, ServiceConfig>;

/// A set of tokens that lets the client call the cloud services. Two re-entrant
/// locks: the login lock is held for a whole login exchange (so concurrent
/// callers log in once and then share the tokens), the token lock only while the
/// tokens are read or written, so that readers such as isLoggedIn on the main
/// thread never wait for the network.
class Identity : public lang::Object {
public:
    Identity() = default;

    /// Logs in without a user's help; throws CloudServiceException.
    virtual void login() = 0;
    /// Clears the tokens.
    virtual void logout();
    /// Holds a non-empty access token.
    virtual bool isLoggedIn() const;
    /// Logs in first when the tokens have expired. Concurrent callers wait for
    /// one login and then share its tokens. `fallback` is used by level 2.
    virtual std::string getAccessToken(bool fallback = false);
    virtual std::string getRefreshToken();
    /// Without logging in.
    virtual std::string currentAccessToken() const;
    virtual std::string currentRefreshToken() const;

    virtual std::string getServerUrl() const = 0;
    /// Throws CloudServiceException for a name the table does not have.
    virtual ServiceConfig getService(const std::string& name) const = 0;
    virtual bool isServiceAvailable(const std::string& name) const = 0;
    virtual ServiceTable getServices() const = 0;

    virtual void setTokens(const Tokens& tokens);
    Tokens getTokens() const;

protected:
    lang::Mutex& loginMutex() const { return loginMutex_; }

private:
    mutable lang::Mutex loginMutex_;
    mutable lang::Mutex tokenMutex_;
    Tokens tokens_;
};

}  // namespace ncs
