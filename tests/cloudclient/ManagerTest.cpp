#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "CloudTestSupport.h"
#include "cloudclient/NorvaneCloudManager.h"
#include "cloudclient/RemoteNotificationsService.h"
#include "framework/Events.h"
#include "support/LogCapture.h"

namespace {

std::vector<std::string> started;

template <int N>
class FakeService : public INorvaneCloudService {
public:
    explicit FakeService(const std::string& type, bool busy = false) : type_(type), busy_(busy) {}
    void start() override { started.push_back(type_); }
    void setActive(bool active) override { active_ = active; }
    bool isBusy() override {
        ++asked;
        return busy_;
    }
    std::string getType() override { return type_; }
    bool active_ = true;
    int asked = 0;

private:
    std::string type_;
    bool busy_;
};

class ManagerTest : public cloudtest::CloudTest {
protected:
    void SetUp() override {
        cloudtest::CloudTest::SetUp();
        started.clear();
    }
    void TearDown() override {
        // A login attempt still running uses the store and the server.
        if (manager) {
            waitForAttempt();
        }
        manager.reset();
        cloudtest::CloudTest::TearDown();
    }

    void makeManager(const std::string& serverUrl) {
        manager = new NorvaneCloudManager(nullptr, "shop", serverUrl, [this] { return now; });
    }

    void waitForAttempt() {
        for (int i = 0; i < 1000 && manager->getConfiguration()->isAttemptInProgress(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // Frames until the services have been started, as the game would run them.
    bool runFramesUntilStarted() {
        for (int i = 0; i < 500 && !manager->isStarted(); ++i) {
            lang::event::emit(framework::onFrame, 0.016f, nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return manager->isStarted();
    }

    size_t attempts() { return server().logFor("/identity/2.0/access").size(); }

    int64_t now = 1000000;
    lang::Ptr<NorvaneCloudManager> manager;
};

TEST_F(ManagerTest, StartsOfferedServicesOnceInTypeOrder) {
    std::string user = url("/identity/2.0/user/");
    server().control("services",
                     R"({"services":[{"name":"identityLevel2","url":")" + user +
                         R"("},{"name":"beta","url":"x"},{"name":"alpha","url":"x"}]})");
    makeManager(url(""));
    manager->registerService(std::make_shared<FakeService<1>>("beta"));
    manager->registerService(std::make_shared<FakeService<2>>("alpha"));
    manager->registerService(std::make_shared<FakeService<3>>("omega"));
    ASSERT_TRUE(runFramesUntilStarted());
    EXPECT_EQ((std::vector<std::string>{"alpha", "beta"}), started);
    for (int i = 0; i < 3; ++i) {
        manager->update(0);
    }
    EXPECT_EQ(2u, started.size());
}

TEST_F(ManagerTest, RetriesAreSpacedAndNeverOverlap) {
    server().script("/identity/2.0/access", 503, "down", 10, 0.3);
    makeManager(url(""));
    manager->update(0);
    EXPECT_TRUE(manager->getConfiguration()->isAttemptInProgress());
    // While the attempt runs no other starts, however late it is.
    now += 1000;
    manager->update(0);
    waitForAttempt();
    EXPECT_EQ(1u, attempts());

    struct Step {
        int advance;
        size_t expected;
    } steps[] = {{0, 2}, {60, 2}, {1, 3}, {59, 3}, {2, 4}};
    // The clock moved on during the first attempt: the next starts at once.
    for (const Step& step : steps) {
        now += step.advance;
        manager->update(0);
        waitForAttempt();
        EXPECT_EQ(step.expected, attempts()) << "after +" << step.advance;
    }
    EXPECT_FALSE(manager->isStarted());
}

TEST_F(ManagerTest, WithoutServerUrlNothingIsAttempted) {
    qftest::LogCapture logs;
    ::unsetenv("QUILLFIRE_CLOUD_URL");
    makeManager("");
    for (int i = 0; i < 3; ++i) {
        now += 100;
        manager->update(0);
    }
    EXPECT_FALSE(manager->getConfiguration()->isAttemptInProgress());
    EXPECT_EQ(1u, logs.messages(lang::log::WARNING).size());
    EXPECT_TRUE(server().log().empty());
}

TEST_F(ManagerTest, EnvironmentOverridesTheConfiguredUrl) {
    ::setenv("QUILLFIRE_CLOUD_URL", (url("") + "/").c_str(), 1);
    EXPECT_EQ(url(""), resolveCloudServerUrl("http://configured.invalid"));
    makeManager("http://configured.invalid");
    ::unsetenv("QUILLFIRE_CLOUD_URL");
    EXPECT_TRUE(runFramesUntilStarted());
    EXPECT_EQ("http://configured.invalid", resolveCloudServerUrl("http://configured.invalid/"));
}

TEST_F(ManagerTest, ServiceRegistry) {
    makeManager("");
    EXPECT_FALSE(manager->isAnyServiceBusy());
    ASSERT_TRUE(manager->getService<RemoteNotificationsService>());
    try {
        manager->registerService(
            std::make_shared<RemoteNotificationsService>(manager.get(), nullptr));
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ("Service with type remoteNotifications already registered.", e.what());
    }
    auto busy = std::make_shared<FakeService<1>>("a", true);
    auto idle = std::make_shared<FakeService<2>>("b", false);
    manager->registerService(busy);
    manager->registerService(idle);
    EXPECT_TRUE(manager->isAnyServiceBusy());
    EXPECT_EQ(1, idle->asked) << "every service is asked";
    EXPECT_EQ(busy, manager->getService<FakeService<1>>());
    EXPECT_FALSE(manager->getService<FakeService<3>>());

    lang::event::emit(framework::onActiveChanged, false);
    EXPECT_FALSE(busy->active_);
    EXPECT_FALSE(idle->active_);
    manager.reset();
    lang::event::emit(framework::onActiveChanged, true);  // disconnected with the manager
    EXPECT_FALSE(busy->active_);
}

}  // namespace
