#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "lang/Exception.h"
#include "pf/Accelerometer.h"
#include "pf/AppSettings.h"
#include "pf/DeviceID.h"
#include "pf/DeviceInfo.h"
#include "pf/Locale.h"
#include "pf/RemoteNotifications.h"
#include "pf/UUID.h"
#include "pf/VideoPlayer.h"
#include "pf/WebView.h"

namespace {

TEST(DeviceServicesTest, DeviceInfo) {
    lang::Ptr<pf::DeviceInfo> info = new pf::DeviceInfo();
    EXPECT_EQ("Linux", info->getPlatformName());
    EXPECT_EQ("Unknown", info->getDeviceModel());
    EXPECT_TRUE(std::regex_match(info->getOSVersion(), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")))
        << info->getOSVersion();
}

TEST(DeviceServicesTest, DeviceIdIsStableHex) {
    lang::Ptr<pf::DeviceID> id = new pf::DeviceID();
    std::string first = id->getID();
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9A-F]{40}"))) << first;
    EXPECT_EQ(first, pf::DeviceID().getID());
}

TEST(DeviceServicesTest, UuidsAreRandomVersion4) {
    lang::Ptr<pf::UUID> uuid = new pf::UUID();
    std::regex form("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        std::string text = uuid->generate();
        EXPECT_TRUE(std::regex_match(text, form)) << text;
        seen.insert(text);
    }
    EXPECT_EQ(50u, seen.size());
}

TEST(DeviceServicesTest, LocaleFollowsTheEnvironment) {
    const char* saved[3];
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string copies[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = std::getenv(names[i]);
        copies[i] = saved[i] ? saved[i] : "";
    }
    ::unsetenv("LC_ALL");
    ::setenv("LC_MESSAGES", "nb_NO.UTF-8", 1);
    ::setenv("LANG", "en_GB.UTF-8", 1);
    EXPECT_EQ(std::vector<std::string>{"nb_NO"}, pf::Locale().getPreferredLanguages());
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(std::vector<std::string>{"en_US"}, pf::Locale().getPreferredLanguages());
    for (int i = 0; i < 3; ++i) {
        if (saved[i]) {
            ::setenv(names[i], copies[i].c_str(), 1);
        } else {
            ::unsetenv(names[i]);
        }
    }
}

TEST(DeviceServicesTest, AppSettingsAreNotSupported) {
    try {
        pf::AppSettings().getBoolean("any");
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ("AppSettings::getBoolean not supported", e.what());
    }
}

TEST(DeviceServicesTest, AccelerometerReportsGravityWhileStarted) {
    pf::Accelerometer accelerometer;
    auto same = [](pf::Acceleration a, float x, float y, float z) {
        return a.x == x && a.y == y && a.z == z;
    };
    EXPECT_TRUE(same(accelerometer.getAcceleration(), 0, 0, 0));
    EXPECT_TRUE(accelerometer.start());
    EXPECT_TRUE(same(accelerometer.getAcceleration(), 0, -1, 0));
    accelerometer.stop();
    EXPECT_TRUE(same(accelerometer.getAcceleration(), 0, 0, 0));
}

struct CountingVideoListener : pf::VideoPlayerListener {
    int calls = 0;
    void itemStarted(int) override { ++calls; }
    void itemFinished(int) override { ++calls; }
    void playlistFinished() override { ++calls; }
};

TEST(DeviceServicesTest, VideoNeverStarts) {
    CountingVideoListener listener;
    pf::VideoPlayer player;
    player.addListener(&listener);
    EXPECT_FALSE(player.play());
    player.addItem("intro.mp4", 0);
    player.addItem("outro.mp4", 0);
    EXPECT_EQ(2, player.getItemCount());
    EXPECT_FALSE(player.play());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(0, listener.calls);
}

TEST(DeviceServicesTest, ReducedServices) {
    EXPECT_FALSE(pf::WebView::isSupported());
    pf::WebView view;
    EXPECT_EQ(-1, view.getX());
    EXPECT_EQ(-1, view.getHeight());
    view.setSize(10, 20);
    EXPECT_EQ(10, view.getWidth());
    EXPECT_FALSE(pf::RemoteNotifications::isSupported());
}

}  // namespace
