#include <gtest/gtest.h>

#include <cstdlib>
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

// Whether text has the form of pattern, where '9' stands for a decimal digit,
// 'X' for an upper-case and 'x' for a lower-case hexadecimal digit, and '*' for
// any of "89ab"; other characters stand for themselves.
bool matches(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        bool ok;
        switch (pattern[i]) {
            case '9':
                ok = c >= '0' && c <= '9';
                break;
            case 'X':
                ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
                break;
            case 'x':
                ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                break;
            case '*':
                ok = c == '8' || c == '9' || c == 'a' || c == 'b';
                break;
            default:
                ok = c == pattern[i];
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

// "major.minor.patch" with at least one digit in each part.
bool isVersion(const std::string& text) {
    int parts = 1;
    bool digit = false;
    for (char c : text) {
        if (c == '.') {
            if (!digit) {
                return false;
            }
            ++parts;
            digit = false;
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else {
            return false;
        }
    }
    return parts == 3 && digit;
}

TEST(DeviceServicesTest, DeviceInfo) {
    lang::Ptr<pf::DeviceInfo> info = new pf::DeviceInfo();
    EXPECT_EQ("Linux", info->getPlatformName());
    EXPECT_EQ("Unknown", info->getDeviceModel());
    EXPECT_TRUE(isVersion(info->getOSVersion())) << info->getOSVersion();
}

TEST(DeviceServicesTest, DeviceIdIsStableHex) {
    lang::Ptr<pf::DeviceID> id = new pf::DeviceID();
    std::string first = id->getID();
    EXPECT_TRUE(matches(first, std::string(40, 'X'))) << first;
    EXPECT_EQ(first, pf::DeviceID().getID());
}

TEST(DeviceServicesTest, UuidsAreRandomVersion4) {
    lang::Ptr<pf::UUID> uuid = new pf::UUID();
    const std::string form = "xxxxxxxx-xxxx-4xxx-*xxx-xxxxxxxxxxxx";
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        std::string text = uuid->generate();
        EXPECT_TRUE(matches(text, form)) << text;
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
