#include "cloudclient/CloudConfiguration.h"

#include <cstdlib>

#include "cloudclient/CloudServiceException.h"
#include "lang/Func.h"
#include "lang/Log.h"
#include "lang/Thread.h"

const char* const kCloudUrlVariable = "QUILLFIRE_CLOUD_URL";

namespace {

ncs::ClientConfiguration clientConfiguration(const std::string& clientId,
                                             const std::string& clientVersion,
                                             const std::string& clientSecret,
                                             const std::string& distributionChannel,
                                             const std::string& definition,
                                             const std::string& serverUrl) {
    ncs::ClientConfiguration c;
    c.serverUrl = serverUrl;
    c.clientId = clientId;
    c.clientVersion = clientVersion;
    c.clientSecret = clientSecret;
    c.distributionChannel = distributionChannel;
    c.definition = definition;
    c.buildId = clientId;
    return c;
}

}  // namespace

std::string resolveCloudServerUrl(const std::string& configured) {
    const char* fromEnvironment = std::getenv(kCloudUrlVariable);
    std::string url = fromEnvironment && *fromEnvironment ? fromEnvironment : configured;
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

CloudConfiguration::CloudConfiguration(CloudGameState* game, const std::string& clientId,
                                       const std::string& clientVersion,
                                       const std::string& clientSecret,
                                       const std::string& distributionChannel,
                                       const std::string& definition, const std::string& serverUrl,
                                       Clock clock)
    : identity_(clientConfiguration(clientId, clientVersion, clientSecret, distributionChannel,
                                    definition, serverUrl)),
      identityImpl_(identity_.getImpl()),
      game_(game),
      clock_(clock ? clock : Clock(ncs::nowSeconds)),
      enabled_(!serverUrl.empty()) {
    if (!enabled_) {
        QF_LOG("", lang::log::WARNING, "Cloud services are off: no server URL configured (see %s)",
               kCloudUrlVariable);
    }
}

CloudConfiguration::~CloudConfiguration() = default;

bool CloudConfiguration::ensureLoggedIn() {
    if (loggedIn_) {
        return true;
    }
    if (identity_.isLoggedIn()) {
        loggedIn_ = true;
        return true;
    }
    int64_t now = clock_();
    if (enabled_ && !attemptInProgress_ && now > lastAttempt_ + 60) {
        attemptInProgress_ = true;
        lastAttempt_ = now;
        std::shared_ptr<CloudConfiguration> self = shared_from_this();
        try {
            // Not joined: the attempt runs on by itself, holding the configuration.
            lang::Ptr<lang::Thread> thread =
                new lang::Thread(lang::FuncFunction([self] { self->backgroundAttempt(); }), false);
        } catch (const std::exception& e) {
            attemptInProgress_ = false;
            QF_LOG("", lang::log::ERROR, "Cloud login not started: %s", e.what());
        }
    }
    return false;
}

bool CloudConfiguration::isServiceAvailable(const std::string& name) const {
    return identity_.isServiceAvailable(name);
}

void CloudConfiguration::backgroundAttempt() {
    try {
        ncs::Guest guest("", "", "");
        identity_.login(guest);
        loggedIn_ = true;
    } catch (const ncs::CloudServiceException&) {
        // onLoginFailed is already on its way; a later frame tries again.
    }
    attemptInProgress_ = false;
}
