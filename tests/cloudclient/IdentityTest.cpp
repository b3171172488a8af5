#include <gtest/gtest.h>

#include "CloudTestSupport.h"

#include <thread>
#include "cloudclient/AltivoIdentity.h"
#include "cloudclient/CloudServiceException.h"
#include "util/Registry.h"

namespace {

using namespace ncs;
using cloudtest::EventRecorder;

std::string stored(const std::string& key) {
    std::string value;
    util::getCloudValue(key, value);
    return value;
}

class IdentityTest : public cloudtest::CloudTest {
protected:
    void guestLogin(AltivoIdentity& identity) {
        Guest guest("", "", "");
        identity.login(guest);
    }
};

TEST_F(IdentityTest, FirstRunRegistersTheGuest) {
    EventRecorder events;
    AltivoIdentity identity(configuration());
    EXPECT_FALSE(identity.isServiceAvailable("identityLevel2"));
    guestLogin(identity);
    EXPECT_TRUE(identity.isLoggedIn());
    EXPECT_TRUE(identity.isServiceAvailable("identityLevel2"));
    EXPECT_NE(std::string::npos, stored("IdentityLevel1ConfigCache").find("identityLevel2"));
    EXPECT_EQ(identity.getImpl()->currentRefreshToken(), stored("NorvaneIdentityRefreshToken"));
    EXPECT_FALSE(stored("NorvaneIdentityRefreshToken").empty());
    EXPECT_NE(std::string::npos, stored("CloudUserProfile_default").find("accountId"));
    EXPECT_EQ("acc-", identity.getImpl()->getUserProfile().accountId.substr(0, 4));

    std::vector<std::string> paths;
    for (const std::string& line : server().log()) {
        size_t start = line.find("\"path\": \"") + 9;
        paths.push_back(line.substr(start, line.find('"', start) - start));
    }
    // The unknown guest's 401 is first taken for a stale device token: the
    // call is retried once after a device login, then the guest registers.
    EXPECT_EQ((std::vector<std::string>{
                  "/identity/2.0/access", "/identity/2.0/config", "/identity/2.0/user/guest/login",
                  "/identity/2.0/access", "/identity/2.0/config", "/identity/2.0/user/guest/login",
                  "/identity/2.0/user/guest/register", "/identity/2.0/user/profile/own"}),
              paths);
    // Announced on the main thread, at the next update.
    EXPECT_TRUE(events.seen.empty());
    lang::event::update(0);
    EXPECT_EQ((std::vector<std::string>{"configuration", "configuration", "loggedIn"}),
              events.seen);
}

TEST_F(IdentityTest, DeviceLoginFormAndSignature) {
    AltivoIdentity identity(configuration());
    guestLogin(identity);
    std::string access = server().logFor("/identity/2.0/access").at(0);
    for (const char* field : {"clientId=Quillfire&clientSignature=", "&clientSalt=",
                              "&clientVersion=4.0.1&persistentGuid=", "&installationId=",
                              "&deviceType=Unknown&osVersion=",
                              "&distributionChannel=shop&utcOffset=0&buildId=Quillfire\""}) {
        EXPECT_NE(std::string::npos, access.find(field)) << field << " in " << access;
    }
    EXPECT_EQ(std::string::npos, access.find("locale=")) << "empty fields are not sent";
    EXPECT_EQ(std::string::npos, access.find("definition="));
}

TEST_F(IdentityTest, WrongSecretIsRefused) {
    EventRecorder events;
    AltivoIdentity identity(configuration("not the secret"));
    try {
        guestLogin(identity);
        FAIL() << "no exception";
    } catch (const CloudServiceException& e) {
        EXPECT_STREQ("Login level 1 failure: 401", e.what());
        EXPECT_EQ(401, e.getCode());
    }
    EXPECT_FALSE(identity.isLoggedIn());
    lang::event::update(0);
    EXPECT_EQ(std::vector<std::string>{"failed 401"}, events.seen);
}

TEST_F(IdentityTest, KnownGuestLogsInWithoutRegistering) {
    AltivoIdentity first(configuration());
    guestLogin(first);
    AltivoIdentity second(configuration());
    size_t before = server().logFor("/identity/2.0/user/guest/register").size();
    guestLogin(second);
    EXPECT_EQ(before, server().logFor("/identity/2.0/user/guest/register").size());
}

TEST_F(IdentityTest, ServiceTableOfThePreviousRunIsAvailableAtOnce) {
    {
        AltivoIdentity identity(configuration());
        guestLogin(identity);
    }
    server().reset();
    AltivoIdentity next(configuration());
    EXPECT_TRUE(next.isServiceAvailable("remoteNotifications"));
    EXPECT_EQ("30", next.getImpl()->getService("remoteNotifications").parameters.at("interval"));
    EXPECT_TRUE(server().log().empty());
    try {
        next.getImpl()->getService("missing");
        FAIL() << "no exception";
    } catch (const CloudServiceException& e) {
        EXPECT_STREQ("Service missing is not available with this identity", e.what());
    }
}

TEST_F(IdentityTest, SessionIsRestoredFromTheStoredRefreshToken) {
    std::string firstToken;
    {
        AltivoIdentity identity(configuration());
        guestLogin(identity);
        firstToken = identity.getImpl()->currentAccessToken();
    }
    lang::event::update(0);
    EventRecorder events;
    AltivoIdentity next(configuration());
    next.getImpl()->login();
    EXPECT_TRUE(next.isLoggedIn());
    EXPECT_NE(firstToken, next.getImpl()->currentAccessToken());
    EXPECT_EQ(next.getImpl()->currentRefreshToken(), stored("NorvaneIdentityRefreshToken"));
    EXPECT_EQ(1u, server().logFor("/identity/2.0/user/refresh").size());
    lang::event::update(0);
    EXPECT_EQ((std::vector<std::string>{"configuration", "loggedIn"}), events.seen);
}

TEST_F(IdentityTest, RefusedSessionIsForgotten) {
    {
        AltivoIdentity identity(configuration());
        guestLogin(identity);
    }
    server().control("cloud?revokeUser=1");
    lang::event::update(0);
    EventRecorder events;
    AltivoIdentity next(configuration());
    try {
        next.getImpl()->login();
        FAIL() << "no exception";
    } catch (const CloudServiceNorvaneLoginRequiredException& e) {
        EXPECT_STREQ("Missing or invalid refresh token, automatic login not available", e.what());
    }
    EXPECT_EQ("", stored("NorvaneIdentityRefreshToken"));
    EXPECT_FALSE(next.isLoggedIn());
    lang::event::update(0);
    // The 403 is retried once after a device login before the session is dropped.
    EXPECT_EQ((std::vector<std::string>{"configuration", "configuration", "failed -1"}),
              events.seen);
}

TEST_F(IdentityTest, NoStoredSessionNeedsALoginMethod) {
    AltivoIdentity identity(configuration());
    try {
        identity.getImpl()->login();
        FAIL() << "no exception";
    } catch (const CloudServiceNorvaneLoginRequiredException& e) {
        EXPECT_STREQ("Login method required", e.what());
    }
    // The device did log in; with fallback its token stands in for the user's.
    EXPECT_EQ(identity.getImpl()->level1().currentAccessToken(),
              identity.getImpl()->getAccessToken(true));
    EXPECT_THROW(identity.getImpl()->getAccessToken(false),
                 CloudServiceNorvaneLoginRequiredException);
}

TEST_F(IdentityTest, LogoutForgetsTheSession) {
    EventRecorder events;
    AltivoIdentity identity(configuration());
    guestLogin(identity);
    identity.getImpl()->logout();
    EXPECT_FALSE(identity.isLoggedIn());
    EXPECT_FALSE(identity.getImpl()->level1().isLoggedIn());
    EXPECT_EQ("", stored("NorvaneIdentityRefreshToken"));
    EXPECT_EQ("", stored("CloudUserProfile_default"));
    EXPECT_EQ("", identity.getImpl()->getUserProfile().accountId);
    lang::event::update(0);
    EXPECT_EQ("loggedOut", events.seen.back());
}

TEST_F(IdentityTest, ConcurrentCallersShareOneDeviceLogin) {
    AltivoIdentity identity(configuration());
    IdentityLevel1& device = identity.getImpl()->level1();
    std::string tokens[2];
    std::thread other([&] { tokens[0] = device.getAccessToken(); });
    tokens[1] = device.getAccessToken();
    other.join();
    EXPECT_EQ(tokens[0], tokens[1]);
    EXPECT_EQ(1u, server().logFor("/identity/2.0/access").size());
}

}  // namespace
