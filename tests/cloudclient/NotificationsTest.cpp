#include <gtest/gtest.h>

#include <thread>

#include "cloudclient/CloudGameState.h"
#include "cloudclient/NotificationService.h"
#include "cloudclient/RemoteNotificationsService.h"
#include "lang/Event.h"
#include "support/LogCapture.h"

namespace {

TEST(NotificationPayloadTest, ServiceIdOfAPayload) {
    struct Case {
        const char* payload;
        const char* id;
        bool logged;
    } cases[] = {
        {R"({"service":{"id":"news"},"text":"hello"})", "news", false},
        {R"({"service":{}})", "", false},
        {R"({})", "", false},
        {R"({"other":1})", "", false},
        {R"([1,2])", "", false},
        {"", "", false},
        {"abc", "", true},
        {R"({"service":"news"})", "", true},
        {R"({"service":{"id":7}})", "", true},
        {R"({"service":{"id":"a")", "", true},
    };
    for (const Case& c : cases) {
        qftest::LogCapture logs;
        EXPECT_EQ(c.id, ncs::NotificationService::serviceIdFromRemoteNotification(c.payload))
            << c.payload;
        std::vector<std::string> errors = logs.messages(lang::log::ERROR);
        EXPECT_EQ(c.logged ? 1u : 0u, errors.size()) << c.payload;
        if (c.logged && !errors.empty()) {
            EXPECT_EQ("Can't parse the JSON layload of a remote notification", errors[0]);
        }
    }
}

struct Game : CloudGameState {
    bool isGameActive() const override { return active; }
    std::atomic<bool> active{true};
};

struct Received {
    std::string id;
    std::string payload;
    bool active;
    std::thread::id thread;
};

TEST(RemoteNotificationsServiceTest, NotificationsReachTheMainThreadAtTheNextUpdate) {
    lang::event::update(0);
    Game game;
    auto service = std::make_shared<RemoteNotificationsService>(nullptr, &game);
    std::vector<Received> received;
    lang::Ptr<lang::event::Link> link = lang::event::connect(
        onRemoteNotification, [&](std::string id, std::string payload, bool active) {
            received.push_back({id, payload, active, std::this_thread::get_id()});
        });
    std::thread platform([&] {
        service->notificationReceived(R"({"service":{"id":"news"}})");
        game.active = false;
        service->notificationReceived("not json");
    });
    platform.join();
    EXPECT_TRUE(received.empty());
    lang::event::update(0);
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ("news", received[0].id);
    EXPECT_TRUE(received[0].active);
    EXPECT_EQ(std::this_thread::get_id(), received[0].thread);
    EXPECT_EQ("", received[1].id);
    EXPECT_EQ("not json", received[1].payload);
    EXPECT_FALSE(received[1].active);
}

TEST(RemoteNotificationsServiceTest, KeepsTheFirstDeviceToken) {
    RemoteNotificationsService service(nullptr, nullptr);
    EXPECT_EQ("remoteNotifications", service.getType());
    EXPECT_FALSE(service.isBusy());
    service.deviceTokenReceived("first");
    service.deviceTokenReceived("second");
    EXPECT_EQ("first", service.getDeviceToken());
}

}  // namespace
