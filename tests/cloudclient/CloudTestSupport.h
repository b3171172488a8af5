#pragma once

#include <string>
#include <vector>

#include "cloudclient/ClientConfiguration.h"
#include "cloudclient/ClientSecret.h"
#include "cloudclient/CloudEvents.h"
#include "lang/Event.h"
#include "support/testserver/TempAppData.h"
#include "support/testserver/TestServer.h"

namespace cloudtest {

/// Records the cloud client's events as the main thread receives them.
class EventRecorder {
public:
    EventRecorder() {
        links_.push_back(
            lang::event::connect(ncs::onLoggedIn, [this] { seen.push_back("loggedIn"); }));
        links_.push_back(lang::event::connect(ncs::onLoginFailed, [this](int code) {
            seen.push_back("failed " + std::to_string(code));
        }));
        links_.push_back(
            lang::event::connect(ncs::onLoggedOut, [this] { seen.push_back("loggedOut"); }));
        links_.push_back(lang::event::connect(ncs::onConfigurationUpdated,
                                              [this] { seen.push_back("configuration"); }));
    }
    std::vector<std::string> seen;

private:
    std::vector<lang::Ptr<lang::event::Link>> links_;
};

/// A server fixture with an empty store of its own; posted calls left by
/// earlier tests are run first.
class CloudTest : public qftest::ServerTest {
protected:
    void SetUp() override {
        qftest::ServerTest::SetUp();
        lang::event::update(0);
    }

    ncs::ClientConfiguration configuration(const std::string& secret = ncs::clientSecret()) {
        ncs::ClientConfiguration c;
        c.serverUrl = url("");
        c.clientId = "Quillfire";
        c.clientVersion = "4.0.1";
        c.clientSecret = secret;
        c.distributionChannel = "shop";
        c.buildId = "Quillfire";
        return c;
    }

    qftest::TempAppData appData;
};

}  // namespace cloudtest
