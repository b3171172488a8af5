#include <gtest/gtest.h>

#include "framework/Shell.h"

namespace {

TEST(Shell, UserDataHome) {
    EXPECT_EQ("/x/data", framework::userDataHome("/x/data", "/home/u"));
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ("/home/u/.local/share", framework::userDataHome("rel/data", "/home/u"));
    EXPECT_EQ("/home/u/.local/share", framework::userDataHome("", "/home/u"));
    EXPECT_EQ("/home/u/.local/share", framework::userDataHome(nullptr, "/home/u"));
    EXPECT_EQ("", framework::userDataHome(nullptr, nullptr));
}

TEST(Shell, ApplicationDataNeedsPublisherAndProduct) {
    EXPECT_EQ("/d/Pub/Prod", framework::applicationDataFolder("/d", "Pub", "Prod"));
    EXPECT_EQ("", framework::applicationDataFolder("/d", "Pub", ""));
    EXPECT_EQ("", framework::applicationDataFolder("/d", "", "Prod"));
    EXPECT_EQ("", framework::applicationDataFolder("", "Pub", "Prod"));
}

TEST(Shell, InstanceLockNameIsOneFileNamePerInstallation) {
    const std::string a = framework::instanceLockName("/opt/game/quillfire");
    const std::string b = framework::instanceLockName("/usr/games/quillfire");
    EXPECT_NE(a, b);
    EXPECT_EQ(a, framework::instanceLockName("/opt/game/quillfire"));
    EXPECT_EQ(std::string::npos, a.find('/'));
    EXPECT_EQ(std::string::npos, framework::instanceLockName("a\\b c").find_first_of("\\ "));
    EXPECT_LE(framework::instanceLockName(std::string(5000, 'x')).size(), 255u);
}

TEST(Shell, WindowTitle) {
    EXPECT_EQ("Quillfire (800x600)", framework::windowTitle("Quillfire", 800, 600));
    EXPECT_EQ(" (1x2)", framework::windowTitle("", 1, 2));
}

TEST(Shell, FolderRootsEndInASlash) {
    EXPECT_EQ("/home/u/game/", framework::folderRoot("/home/u/game"));
    EXPECT_EQ("/home/u/game/", framework::folderRoot("/home/u/./game/"));
    EXPECT_EQ("/", framework::folderRoot("/"));
}

}  // namespace
