#include "pf/LocalNotifications.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Recorder : pf::LocalNotificationsListener {
    std::vector<std::string> names;
    std::function<void()> onCall;
    void localNotificationReceived(const std::string& name) override {
        names.push_back(name);
        if (onCall) {
            onCall();
        }
    }
};

class LocalNotificationsTest : public ::testing::Test {
protected:
    LocalNotificationsTest() : notifications(new pf::LocalNotifications()) {
        notifications->addListener(&first);
        notifications->addListener(&second);
    }
    lang::Ptr<pf::LocalNotifications> notifications;
    Recorder first;
    Recorder second;
};

TEST_F(LocalNotificationsTest, DueNotificationsFireOnePerUpdateInSchedulingOrder) {
    notifications->schedule("a", 0, "text a");
    notifications->schedule("later", 3600, "");
    notifications->schedule("b", -1, "text b");
    notifications->update();
    EXPECT_EQ(std::vector<std::string>{"a"}, first.names);
    EXPECT_EQ(std::vector<std::string>{"a"}, second.names);
    notifications->update();
    notifications->update();
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), first.names);
    ASSERT_EQ(1u, notifications->getScheduled().size());
    EXPECT_EQ("later", notifications->getScheduled()[0]->getName());
}

TEST_F(LocalNotificationsTest, CancelRemovesTheFirstOfThatName) {
    EXPECT_FALSE(notifications->cancel("unknown"));
    notifications->schedule("x", 0, "1");
    notifications->schedule("x", 0, "2");
    EXPECT_TRUE(notifications->cancel("x"));
    ASSERT_EQ(1u, notifications->getScheduled().size());
    EXPECT_EQ("2", notifications->getScheduled()[0]->getText());
    notifications->cancelAll();
    notifications->update();
    EXPECT_TRUE(first.names.empty());
}

TEST_F(LocalNotificationsTest, ListenersAreKeptOnce) {
    notifications->addListener(&first);
    notifications->schedule("a", 0, "");
    notifications->update();
    EXPECT_EQ(1u, first.names.size());
    notifications->removeListener(&first);
    notifications->schedule("b", 0, "");
    notifications->update();
    EXPECT_EQ(1u, first.names.size());
    EXPECT_EQ(2u, second.names.size());
}

TEST_F(LocalNotificationsTest, ListenersMayChangeTheListsWhileCalled) {
    notifications->schedule("a", 0, "");
    notifications->schedule("b", 0, "");
    first.onCall = [this] {
        notifications->removeListener(&second);
        notifications->cancel("a");
        notifications->schedule("c", 0, "");
    };
    notifications->update();
    EXPECT_EQ(std::vector<std::string>{"a"}, first.names);
    EXPECT_TRUE(second.names.empty());
    first.onCall = nullptr;
    notifications->update();
    notifications->update();
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), first.names);
}

TEST_F(LocalNotificationsTest, ExtremeDelaysDoNotOverflow) {
    notifications->schedule("huge", 1e300, "");
    notifications->schedule("nan", std::nan(""), "");
    notifications->update();
    EXPECT_EQ(std::vector<std::string>{"nan"}, first.names);
    notifications->update();
    EXPECT_EQ(1u, first.names.size());
}

}  // namespace
