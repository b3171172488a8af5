#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "framework/Configuration.h"
#include "framework/WindowSettings.h"
#include "io/IOException.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"

namespace {

using framework::WindowSettings;

// The settings as the entry point has them after reading the given script.
WindowSettings apply(const std::string& script) {
    lang::Ptr<lua::LuaState> state = new lua::LuaState();
    state->runBuffer(script.data(), script.size(), "config", nullptr);
    WindowSettings settings;
    settings.setBeforeReading();
    framework::applyWindowKeys(state->getGlobals(), settings);
    return settings;
}

TEST(WindowSettings, DefaultsBeforeAndWithoutAScript) {
    const WindowSettings constructed;
    EXPECT_EQ(16, constructed.bits);
    EXPECT_TRUE(constructed.fullscreen);
    EXPECT_EQ(60, constructed.framerate);
    const WindowSettings s = apply("");
    EXPECT_EQ(800, s.width);
    EXPECT_EQ(600, s.height);
    EXPECT_EQ(0, s.framerate);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.showCursor);
    EXPECT_EQ((std::vector<int>{1, 3}), s.autoOrientations);
    EXPECT_TRUE(s.renderer.empty());
    EXPECT_FALSE(s.singleton);
}

TEST(WindowSettings, EveryKeyWithTheRightType) {
    const WindowSettings s = apply(
        "name = 'Game'; width = 1024; height = 768.9; bits = 32; fullscreen = true\n"
        "showCursor = false; depthbuffer = true; stencilbuffer = true; captureMouse = true\n"
        "iconResourceID = 5; debugMemoryAllocs = true; orientation = 180\n"
        "autoOrientations = { 0, 90 }; framerate = 59.9; publisher = 'P'; product = 'Q'\n"
        "dllPath = 'plugins'; renderer = { 'gl2', 'gles1' }; singleton = true\n");
    EXPECT_EQ("Game", s.name);
    EXPECT_EQ(1024, s.width);
    EXPECT_EQ(768, s.height);
    EXPECT_EQ(32, s.bits);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_FALSE(s.showCursor);
    EXPECT_TRUE(s.depthbuffer);
    EXPECT_TRUE(s.stencilbuffer);
    EXPECT_TRUE(s.captureMouse);
    EXPECT_EQ(5, s.iconResourceID);
    EXPECT_TRUE(s.debugMemoryAllocs);
    EXPECT_EQ(2, s.orientation);
    EXPECT_EQ((std::vector<int>{1, 3, 0, 1}), s.autoOrientations);
    EXPECT_EQ(59, s.framerate);
    EXPECT_EQ("P", s.publisher);
    EXPECT_EQ("Q", s.product);
    EXPECT_EQ("plugins", s.dllPath);
    EXPECT_EQ((std::vector<int>{3, 0}), s.renderer);
    EXPECT_TRUE(s.singleton);
}

// The message of the exception that applying the script throws.
std::string refusal(const std::string& script) {
    try {
        apply(script);
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "(accepted)";
}

// A mistake in the configuration would otherwise give a window of one pixel or
// a missing renderer far from its cause: the message names the key.
TEST(WindowSettings, WrongTypesAndSizesNameTheKey) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"name = {}", "name must be a string, not a table"},
        {"width = 'wide'", "width must be a number, not a string"},
        {"fullscreen = 1", "fullscreen must be true or false, not a number"},
        {"showCursor = 'no'", "showCursor must be true or false, not a string"},
        {"singleton = 0", "singleton must be true or false, not a number"},
        {"orientation = 'up'", "orientation must be an angle, not a string"},
        {"autoOrientations = 90", "autoOrientations must be a list of angles, not a number"},
        {"renderer = 3", "renderer must be a list of renderer names, not a number"},
        {"renderer = print", "renderer must be a list of renderer names, not a function"},
        {"width = 0", "width is 0, but must be from 1 to 16384"},
        {"height = -480", "height is -480, but must be from 1 to 16384"},
        {"width = 1e30", "width is 1e+30, but must be from 1 to 16384"},
        {"height = 0/0", "height is "},
        {"framerate = -5", "framerate is -5, but must be from 0 to 1000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusal(c.script).rfind(c.message, 0), 0u)
            << c.script << ": " << refusal(c.script);
    }
    EXPECT_EQ(16384, apply("width = 16384.5").width);
    EXPECT_EQ(0, apply("framerate = 0").framerate);
}

TEST(WindowSettings, OrientationDegrees) {
    const struct {
        float degrees;
        int orientation;
    } cases[] = {{0, 0}, {90, 1}, {180, 2}, {270, 3}, {45, 0}, {-90, 0}, {360, 0}, {90.5f, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.orientation, framework::orientationFromDegrees(c.degrees)) << c.degrees;
    }
}

TEST(WindowSettings, ListsStopAtTheFirstEntryOfAnotherType) {
    const WindowSettings s = apply(
        "autoOrientations = { 270, 180, 'x', 90 }\n"
        "renderer = { 'gles2', true, 'gl2' }\n");
    EXPECT_EQ((std::vector<int>{1, 3, 3, 2}), s.autoOrientations);
    EXPECT_EQ((std::vector<int>{1}), s.renderer);
}

TEST(WindowSettings, RendererNamesMustMatchExactly) {
    const WindowSettings s = apply("renderer = { 'GL2', 'gl', 'gl2 ', 'xna', 'dx11' }");
    EXPECT_EQ((std::vector<int>{5, 4}), s.renderer);
    EXPECT_TRUE(apply("renderer = { 'vulkan', 'metal' }").renderer.empty());
}

TEST(WindowSettings, HugeNumbersStayInRange) {
    EXPECT_EQ(2147483647, apply("iconResourceID = 1e30").iconResourceID);
    EXPECT_EQ(-2147483647 - 1, apply("bits = -1e30").bits);
    EXPECT_EQ(0, apply("iconResourceID = 0/0").iconResourceID);
}

// The largest float below 2^31 is a valid int and is kept, not clamped.
TEST(WindowSettings, TheLargestFloatBelowTheIntLimitIsKept) {
    EXPECT_EQ(2147483520, apply("iconResourceID = 2147483520").iconResourceID);
}

TEST(ConfigurationFile, FolderAndNameOfArgumentOne) {
    const struct {
        std::string argument, folder, file;
    } cases[] = {
        {"config.lua", "", "config.lua"},
        {"data/game/config.lua", "data/game", "config.lua"},
        {"data\\game\\my.lua", "data\\game", "my.lua"},
        {"/etc/q/config.lua", "/etc/q", "config.lua"},
        {"/config.lua", "/", "config.lua"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, framework::configurationFolder(c.argument)) << c.argument;
        EXPECT_EQ(c.file, framework::configurationFile({"quillfire", c.argument})) << c.argument;
    }
    EXPECT_EQ("config.lua", framework::configurationFile({"quillfire"}));
    EXPECT_EQ("config.lua", framework::configurationFile({}));
}

// A bundle folder of its own, holding the scripts a test writes.
class ReadConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = ::testing::TempDir() + "qf_config_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::string command = "mkdir -p '" + folder_ + "'";
        ASSERT_EQ(0, std::system(command.c_str()));
        previousRoot_ = io::bundleRoot();
        io::setBundleRoot(folder_);
    }
    void TearDown() override { io::setBundleRoot(previousRoot_); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ + name) << text;
    }

    std::string folder_;
    std::string previousRoot_;
};

TEST_F(ReadConfigurationTest, AppliesWindowKeysThenGameKeys) {
    write("config.lua", "width = 320\ndatapath = 'levels'\n");
    WindowSettings s;
    s.setBeforeReading();
    std::string datapath;
    int widthSeenByGame = 0;
    framework::readConfiguration("config.lua", s, [&](const lua::LuaTable& globals) {
        datapath = globals.getString("datapath");
        widthSeenByGame = s.width;
    });
    EXPECT_EQ("levels", datapath);
    EXPECT_EQ(320, widthSeenByGame);
}

TEST_F(ReadConfigurationTest, MissingFileAndBrokenScriptThrow) {
    WindowSettings s;
    EXPECT_THROW(framework::readConfiguration("absent.lua", s, nullptr), io::IOException);
    write("broken.lua", "width = = 3");
    try {
        framework::readConfiguration("broken.lua", s, nullptr);
        FAIL() << "no exception";
    } catch (const lua::LuaException& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Error while compiling Lua"));
        EXPECT_NE(std::string::npos, std::string(e.what()).find("broken.lua"));
    }
    write("failing.lua", "error('stop here')");
    EXPECT_THROW(framework::readConfiguration("failing.lua", s, nullptr), lua::LuaException);
}

TEST_F(ReadConfigurationTest, WrongValuesNameTheFileAndTheKey) {
    write("config.lua", "width = 0\n");
    WindowSettings s;
    try {
        framework::readConfiguration("config.lua", s, nullptr);
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_EQ(std::string(e.what()), folder_ +
                                             "config.lua: width is 0, but must be from 1 "
                                             "to 16384");
    }
}

}  // namespace
