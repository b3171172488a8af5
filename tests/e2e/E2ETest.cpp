#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Capture.h"
#include "Process.h"

namespace {

using e2e::RunResult;

const std::string EXE = QUILLFIRE_EXE;

const char* const DEMO_CONFIG =
    "name = 'Quillfire'\nwidth = 640\nheight = 480\nframerate = 0\nrenderer = { 'gl2' }\n";

using e2e::Image;
using e2e::loadPng;

::testing::AssertionResult near(unsigned expected, unsigned actual) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int e = (expected >> shift) & 255, a = (actual >> shift) & 255;
        if (std::abs(e - a) > 3) {
            char text[64];
            std::snprintf(text, sizeof(text), "expected %06X, got %06X", expected, actual);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// Each test gets a bundle folder and its own data and runtime folders.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_e2e_" + name + "_" + std::to_string(getpid());
        bundle_ = root_ + "/bundle";
        system(("rm -rf '" + root_ + "' && mkdir -p '" + bundle_ + "' '" + root_ + "/data' '" +
                root_ + "/run'")
                   .c_str());
        chmod((root_ + "/run").c_str(), 0700);
        env_ = {{"XDG_DATA_HOME", root_ + "/data"}, {"XDG_RUNTIME_DIR", root_ + "/run"}};
    }
    void TearDown() override { system(("rm -rf '" + root_ + "'").c_str()); }

    void writeConfig(const std::string& text, const std::string& name = "config.lua") {
        std::ofstream(bundle_ + "/" + name) << text;
    }
    RunResult start(const std::vector<std::string>& arguments) {
        return e2e::run(EXE, arguments, env_);
    }
    RunResult runHeadless(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments = {bundle_ + "/config.lua", "--headless", "--frames",
                                              "3"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return start(arguments);
    }
    // A run that fails shows its message as the "Error!" box, here on standard error.
    void expectFailure(const std::string& message) {
        const RunResult result = runHeadless();
        EXPECT_EQ(1, result.exitCode) << result.output;
        EXPECT_NE(std::string::npos, result.output.find("Error!: " + message)) << result.output;
    }

    std::string root_;
    std::string bundle_;
    std::map<std::string, std::string> env_;
};

TEST_F(EndToEnd, DemoDrawsTheExpectedPicture) {
    writeConfig(DEMO_CONFIG);
    // The capture name is relative: it lands in the configuration's folder,
    // which became the working directory.
    const RunResult result = runHeadless({"--fixed-dt", "0.02", "--capture", "shot.png"});
    ASSERT_EQ(0, result.exitCode) << result.output;
    const Image image = loadPng(bundle_ + "/shot.png");
    ASSERT_EQ(640, image.width);
    ASSERT_EQ(480, image.height);
    const unsigned background = 0x203040;
    EXPECT_TRUE(near(background, image.pixel(5, 5)));
    EXPECT_TRUE(near(background, image.pixel(630, 470)));
    EXPECT_TRUE(near(0xE04030, image.pixel(72, 72)));  // the still texture's quarters
    EXPECT_TRUE(near(0x40C050, image.pixel(136, 72)));
    EXPECT_TRUE(near(0x3060E0, image.pixel(72, 136)));
    EXPECT_TRUE(near(0xF0D040, image.pixel(136, 136)));
    EXPECT_TRUE(near(0x803838, image.pixel(72, 232)));   // half over the background
    EXPECT_TRUE(near(0x888040, image.pixel(136, 296)));  // yellow half over it
    EXPECT_TRUE(near(0xFFFFFF, image.pixel(100, 400)));  // the white line
    EXPECT_TRUE(near(background, image.pixel(100, 410)));
}

TEST_F(EndToEnd, FixedStepRunsRepeatExactly) {
    writeConfig(DEMO_CONFIG);
    ASSERT_EQ(0, runHeadless({"--fixed-dt", "0.05", "--capture", "a.png"}).exitCode);
    ASSERT_EQ(0, runHeadless({"--fixed-dt", "0.05", "--capture", "b.png"}).exitCode);
    const Image a = loadPng(bundle_ + "/a.png");
    const Image b = loadPng(bundle_ + "/b.png");
    ASSERT_FALSE(a.rgb.empty());
    EXPECT_TRUE(a.rgb == b.rgb);
    // And the turning quads did turn: another step gives another picture.
    ASSERT_EQ(0, runHeadless({"--fixed-dt", "0.07", "--capture", "c.png"}).exitCode);
    EXPECT_FALSE(a.rgb == loadPng(bundle_ + "/c.png").rgb);
}

TEST_F(EndToEnd, ApplicationDataFolderIsCreated) {
    writeConfig(std::string(DEMO_CONFIG) + "publisher = 'Pub'\nproduct = 'Prod'\n");
    ASSERT_EQ(0, runHeadless().exitCode);
    EXPECT_EQ(0, access((root_ + "/data/Pub/Prod").c_str(), F_OK));
}

TEST_F(EndToEnd, RendererFailuresAreShown) {
    writeConfig("renderer = { 'dx11', 'xna' }\n");
    // Each line says why, naming the plug-in's file.
    expectFailure("DirectX 11 renderer not supported! Renderer for platform dx11 (");
    EXPECT_NE(std::string::npos,
              runHeadless().output.find(
                  "\nXNA (interop) renderer not supported! Renderer for platform xna ("));
    writeConfig("renderer = { 'vulkan' }\n");
    expectFailure("No renderer defined!");
    writeConfig("dllPath = '" + root_ + "/run'\nrenderer = { 'gl2' }\n");
    const RunResult result = runHeadless();
    EXPECT_EQ(1, result.exitCode);
    EXPECT_NE(std::string::npos, result.output.find("Error!: OpenGL 2.0 renderer not supported!"));
    EXPECT_NE(std::string::npos, result.output.find("Renderer for platform gl2 (" + root_ +
                                                    "/run/grgl2.so) not found!"));
}

TEST_F(EndToEnd, ConfigurationErrorsAreShown) {
    writeConfig("width = = 1\n");
    expectFailure("Error while compiling Lua");
    writeConfig("error('no such level')\n");
    expectFailure("no such level");
    const RunResult missing = start({bundle_ + "/absent.lua", "--headless"});
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.output.find("Error!: Failed to open")) << missing.output;
}

TEST_F(EndToEnd, StartUpFailuresOfTheWindowSystemNameTheirFix) {
    writeConfig(DEMO_CONFIG);
    env_["SDL_VIDEODRIVER"] = "no-such-driver";
    RunResult result = start({bundle_ + "/config.lua", "--frames", "1"});
    EXPECT_EQ(1, result.exitCode);
    EXPECT_NE(std::string::npos, result.output.find("\"no-such-driver\"")) << result.output;
    EXPECT_NE(std::string::npos, result.output.find("SDL_VIDEODRIVER")) << result.output;
    env_.erase("SDL_VIDEODRIVER");
    env_["SDL_VIDEO_EGL_DRIVER"] = "/nonexistent/libEGL.so";
    result = runHeadless();
    EXPECT_EQ(1, result.exitCode);
    EXPECT_NE(std::string::npos, result.output.find("Error: Failed to create main window"))
        << result.output;
}

TEST_F(EndToEnd, DriverWithoutDisplayRunsLikeHeadless) {
    // Without a display SDL picks such a driver by itself; nothing would ever
    // give its window the focus, so frames must run regardless.
    writeConfig(DEMO_CONFIG);
    env_["SDL_VIDEODRIVER"] = "offscreen";
    env_["SDL_AUDIODRIVER"] = "dummy";
    const RunResult result = start({bundle_ + "/config.lua", "--frames", "2"});
    EXPECT_EQ(0, result.exitCode) << result.output;
}

TEST_F(EndToEnd, BadOptionsAreRefused) {
    writeConfig(DEMO_CONFIG);
    EXPECT_EQ(2, start({bundle_ + "/config.lua", "--frames", "many"}).exitCode);
    EXPECT_EQ(2, start({bundle_ + "/config.lua", "--fullscreen-please"}).exitCode);
}

// Whether some process holds an flock on one of the files in folder.
bool lockHeldIn(const std::string& folder) {
    const std::string list = folder + "/.list";
    system(("ls '" + folder + "' > '" + list + "'").c_str());
    std::ifstream in(list);
    std::string name;
    while (std::getline(in, name)) {
        if (name.size() < 5 || name.compare(name.size() - 5, 5, ".lock") != 0) {
            continue;
        }
        const int fd = open((folder + "/" + name).c_str(), O_RDWR);
        const bool held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (fd >= 0) {
            close(fd);
        }
        if (held) {
            return true;
        }
    }
    return false;
}

TEST_F(EndToEnd, SecondInstanceLeavesWithZero) {
    writeConfig(std::string(DEMO_CONFIG) + "singleton = true\nframerate = 30\n");
    e2e::Process first(EXE, {bundle_ + "/config.lua", "--headless"}, env_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!lockHeldIn(root_ + "/run") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(lockHeldIn(root_ + "/run"));
    const RunResult second = runHeadless();
    EXPECT_EQ(0, second.exitCode) << second.output;
    EXPECT_EQ(std::string::npos, second.output.find("Error")) << second.output;
    // The first one still runs; closing it (SIGTERM reaches SDL as a quit) ends it with 0.
    first.signal(SIGTERM);
    const RunResult ended = first.wait(30);
    EXPECT_EQ(0, ended.exitCode) << ended.output;
}

}  // namespace
