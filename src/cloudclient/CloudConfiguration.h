#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cloudclient/AltivoIdentity.h"
#include "lang/Ptr.h"

class CloudGameState;

/// The environment variable that overrides the configured server URL.
extern const char* const kCloudUrlVariable;  // "QUILLFIRE_CLOUD_URL"

/// The server URL: the environment variable when it is set and not empty,
/// otherwise the configured one; trailing '/' removed.
std::string resolveCloudServerUrl(const std::string& configured);

/// The player's cloud identity and its background guest login. Held by a
/// std::shared_ptr: a running login attempt keeps its own reference, so the
/// configuration outlives the attempt whatever happens to its owner.
class CloudConfiguration : public std::enable_shared_from_this<CloudConfiguration> {
public:
    /// Seconds since 1970.
    using Clock = std::function<int64_t()>;

    /// Without a server URL the client stays offline and says so once.
    CloudConfiguration(CloudGameState* game, const std::string& clientId,
                       const std::string& clientVersion, const std::string& clientSecret,
                       const std::string& distributionChannel, const std::string& definition,
                       const std::string& serverUrl, Clock clock = Clock());
    ~CloudConfiguration();
    CloudConfiguration(const CloudConfiguration&) = delete;
    CloudConfiguration& operator=(const CloudConfiguration&) = delete;

    /// Main thread, once per frame: true once logged in; otherwise starts a
    /// background guest login when none runs and more than 60 seconds have
    /// passed since the last one started.
    bool ensureLoggedIn();
    bool isServiceAvailable(const std::string& name) const;

    void clearLoggedInLatch() { loggedIn_ = false; }
    bool isAttemptInProgress() const { return attemptInProgress_; }
    bool isEnabled() const { return enabled_; }
    ncs::AltivoIdentity& getIdentity() { return identity_; }

private:
    void backgroundAttempt();

    std::atomic<bool> loggedIn_{false};
    std::atomic<bool> attemptInProgress_{false};
    int64_t lastAttempt_ = 0;
    ncs::AltivoIdentity identity_;
    lang::Ptr<ncs::AltivoIdentity::Impl> identityImpl_;
    CloudGameState* game_;
    Clock clock_;
    bool enabled_;
};
