#include <gtest/gtest.h>

#include "FakeOS.h"
#include "RecordingApp.h"

namespace {

using fake::FakeOS;

TEST(App, IsTheCurrentApplicationWhileItLives) {
    EXPECT_FALSE(framework::App::exists());
    {
        fake::RecordingApp app;
        EXPECT_EQ(&app, framework::App::current);
    }
    EXPECT_EQ(nullptr, framework::App::current);
}

TEST(App, KeyStatesAreBoundsChecked) {
    fake::RecordingApp app;
    app.setKeyState(93, true);
    app.setKeyState(94, true);
    app.setKeyState(-1, true);
    EXPECT_TRUE(app.isKeyDown(93));
    EXPECT_FALSE(app.isKeyDown(94));
    EXPECT_FALSE(app.isKeyDown(-1));
}

TEST(App, ExitRequestKeepsTheCode) {
    fake::RecordingApp app;
    EXPECT_FALSE(app.isExitRequested());
    app.requestExit(7);
    EXPECT_TRUE(app.isExitRequested());
    EXPECT_EQ(7, app.getExitCode());
}

TEST(App, ResolvesPathsUnderTheDataPath) {
    FakeOS os;
    fake::RecordingApp app(&os);
    EXPECT_EQ("scripts/a.lua", app.resolvePath("scripts/a.lua"));
    app.setDataPath("data");
    EXPECT_EQ("data/scripts/a.lua", app.resolvePath("scripts/a.lua"));
    EXPECT_EQ("data/a.lua", app.resolvePath("scripts/../a.lua"));
    EXPECT_EQ("data/", app.resolvePath(""));
}

TEST(OSInterface, KeepsTheArgumentsTwice) {
    FakeOS os;
    ASSERT_EQ(2u, os.getArguments().size());
    EXPECT_STREQ("config.lua", os.getArgumentPointers()[1]);
    EXPECT_EQ("", os.getBasePath());
    EXPECT_FALSE(os.isAudioSuppressed());
}

}  // namespace
