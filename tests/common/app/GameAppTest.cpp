// The game application run headless over a small sealed game: construction,
// the per-frame input tables, activation, resizes and screenshots.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "audio/AudioOutput.h"
#include "audio/NullAudioDevice.h"
#include "common/app/GameApp.h"
#include "common/app/GameConfig.h"
#include "common/draw/RecordingContext.h"
#include "common/world/GameLua.h"
#include "framework/FakeOS.h"
#include "game/Resources.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "support/LogCapture.h"

namespace {

class ShotContext : public worldtest::RecordingContext {
public:
    void keepNextFrame() override { events.push_back("keep"); }
    void present() override { events.push_back("present"); }
    void captureScreen(const std::string& name) override {
        shots.push_back(name);
        events.push_back("capture");
    }
    std::vector<std::string> shots;
    std::vector<std::string> events;
};

std::vector<std::string> dialogs;
lang::Exception::DialogChoice recordDialog(const std::string&, const std::string& message) {
    dialogs.push_back(message);
    return lang::Exception::DIALOG_IGNORE;
}

}  // namespace

class GameAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        do {
            appData_ = std::filesystem::temp_directory_path() / ("qf_app_" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(appData_));
        oldBundle_ = io::bundleRoot();
        oldAppData_ = io::appDataRoot();
        io::setBundleRoot(std::string(QF_SEALED_DIR) + "/game/");
        io::setAppDataRoot(appData_.string() + "/");
        GameConfig& config = GameConfig::current();
        config = GameConfig();
        config.scriptPath = "scripts";
        config.commonScriptPath = "common";
        context = new ShotContext();
    }
    void TearDown() override {
        app = nullptr;
        io::setBundleRoot(oldBundle_);
        io::setAppDataRoot(oldAppData_);
        std::error_code ec;
        std::filesystem::remove_all(appData_, ec);
    }
    void start() { app = new GameApp(&os, context.get()); }
    lua::LuaTable world() { return app->world(); }
    lua::LuaTable seen() { return world().getTable("seen"); }
    float calls(const char* hook) { return world().getTable("calls").getNumber(hook); }
    void frame(float dt = 1.0f / 60) { app->update(dt, context.get(), 3); }

    fake::FakeOS os;
    lang::Ptr<ShotContext> context;
    lang::Ptr<GameApp> app;

    std::filesystem::path appData_;

private:
    std::string oldBundle_, oldAppData_;
};

TEST_F(GameAppTest, ConstructionLoadsTheGameInOrder) {
    start();
    lua::LuaTable w = world();
    EXPECT_TRUE(w.getBoolean("optionsSawWorld"));
    EXPECT_EQ(w.getTable("starTable").getTable("level1").getNumber(3), 3000);
    EXPECT_EQ(calls("updateValues"), 1);
    EXPECT_EQ(calls("createStartUpAssets"), 1);
    EXPECT_TRUE(w.isTable("blockTable"));
    lua::LuaState& state = *w.getState();
    EXPECT_TRUE(state.getGlobals().isTable("gamelua"));
    EXPECT_TRUE(state.getGlobals().getBoolean("commandsLoaded"));
    EXPECT_TRUE(state.getGlobals().getTable("native").isTable("GetTimeStamp"));
    EXPECT_FALSE(w.getTable("keyHold").getBoolean("SPACE"));
    EXPECT_TRUE(w.getTable("keyHold").isBoolean("LBUTTON"));
    EXPECT_EQ(w.getNumber("screenWidth"), 480);
    // Paths are forgotten once the application has them.
    EXPECT_EQ(GameConfig::current().scriptPath, "");
}

TEST_F(GameAppTest, FailingGameLogicIsShownAndStartUpGoesOn) {
    GameConfig::current().commonScriptPath = "missing";
    lang::Exception::DialogHook old = lang::Exception::setDialogHook(recordDialog);
    dialogs.clear();
    // Without the game logic the start-up hook is missing, which is an error.
    std::string message;
    try {
        start();
    } catch (const lang::Exception& e) {
        message = e.what();
    }
    lang::Exception::setDialogHook(old);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_NE(dialogs[0].find("gamelogic.lua"), std::string::npos) << dialogs[0];
    // The fatal message leads with the cause, not with its consequence.
    ASSERT_NE(message.find("createStartUpAssets"), std::string::npos) << message;
    EXPECT_LT(message.find("missing/gamelogic.lua"), message.find("createStartUpAssets"))
        << message;
}

TEST_F(GameAppTest, StartUpKnowsWhichSavesWereDamaged) {
    std::ofstream(appData_ / "settings.lua") << "not a saved table";
    start();
    EXPECT_EQ(world().getString("damagedAtStartUp"), "settings.lua");
    EXPECT_TRUE(std::filesystem::exists(appData_ / "settings.lua.bad"));
}

TEST_F(GameAppTest, KeyPressedAndReleasedInOneFrameIsNotHeld) {
    start();
    app->keyDown(1);  // A
    app->keyUp(1);
    frame();
    EXPECT_TRUE(seen().getBoolean("pressed"));
    EXPECT_TRUE(seen().getBoolean("released"));
    EXPECT_FALSE(seen().getBoolean("hold"));
    frame();
    EXPECT_FALSE(seen().getBoolean("pressed"));
    EXPECT_FALSE(seen().getBoolean("released"));
}

TEST_F(GameAppTest, TouchesComeFromFingersOrTheLeftButton) {
    start();
    frame();
    EXPECT_EQ(seen().getNumber("touchcount"), 0);
    EXPECT_EQ(seen().getTable("touches").count(), 0);

    world().set("g_touchesOffsetY", -20.0f);
    app->mouseMoved(30, 40);
    app->setKeyState(57, true);
    frame();
    EXPECT_EQ(seen().getNumber("touchcount"), 1);
    lua::LuaTable one = seen().getTable("touches").getTable("1");
    EXPECT_EQ(one.getNumber("x"), 30);
    EXPECT_EQ(one.getNumber("y"), 20);

    app->touchBegan(framework::Touch{7, 100, 50});
    frame();
    EXPECT_EQ(seen().getNumber("touchcount"), 1);
    lua::LuaTable seven = seen().getTable("touches").getTable("7");
    EXPECT_EQ(seven.getNumber("x"), 100);
    EXPECT_EQ(seven.getNumber("y"), 30);
}

TEST_F(GameAppTest, WheelZoomsAndFlagsOneFrame) {
    start();
    app->mouseWheel(1);
    EXPECT_TRUE(world().getTable("cursor").getBoolean("wheelTriggered"));
    frame();
    EXPECT_TRUE(seen().getBoolean("wheelTriggered"));
    EXPECT_TRUE(seen().getBoolean("zooming"));
    EXPECT_FALSE(world().getTable("cursor").getBoolean("wheelTriggered"));
    for (int i = 0; i < 60; ++i) {
        frame();
    }
    EXPECT_FLOAT_EQ(app->zoom().zoom, 1.2f);
    // The zoom differs from the zoom before the step until the scripts set a scale.
    EXPECT_GT(seen().getNumber("zoomLevel"), 0.1f);

    world().set("g_disableWheelZooming", true);
    app->mouseWheel(1);
    EXPECT_EQ(app->zoom().zoomTime, -1);
    EXPECT_EQ(world().getTable("cursor").getNumber("wheel"), 1);
}

TEST_F(GameAppTest, ControlHeldLeavesTheWheelToTheScripts) {
    start();
    app->setKeyState(35, true);  // CONTROL
    app->mouseWheel(1);
    EXPECT_EQ(app->zoom().zoomTime, -1);
    EXPECT_EQ(world().getTable("cursor").getNumber("wheel"), 1);
}

TEST_F(GameAppTest, ActivationPausesAndResumesTheGame) {
    start();
    app->setActive(false);
    EXPECT_EQ(calls("gamePaused"), 1);
    app->setActive(true);
    EXPECT_EQ(calls("gameResumed"), 1);
}

TEST_F(GameAppTest, ResizeTellsTheScripts) {
    start();
    app->screenResized();
    EXPECT_EQ(world().getTable("resized").getNumber(1), 480);
    EXPECT_EQ(world().getTable("resized").getNumber(2), 320);
}

TEST_F(GameAppTest, ScreenshotRequestIsTakenAfterPresent) {
    start();
    world().set("shotName", "shot.png");
    frame();
    ASSERT_EQ(context->shots.size(), 1u);
    EXPECT_EQ(context->shots[0], "shot.png");
    // A renderer drawing straight into the window keeps only the frames it is asked to.
    EXPECT_EQ(context->events, (std::vector<std::string>{"keep", "present", "capture"}));
    frame();
    EXPECT_EQ(context->shots.size(), 1u);
    EXPECT_EQ(context->events.size(), 4u);  // one more present, nothing kept
}

TEST_F(GameAppTest, SafeToQuitFollowsTheScriptGlobal) {
    start();
    EXPECT_FALSE(app->isSafeToQuit());
    world().set("g_safeToQuit", true);
    frame();
    EXPECT_TRUE(app->isSafeToQuit());
}

TEST_F(GameAppTest, UpdatingOffSkipsTheWorld) {
    start();
    frame();
    EXPECT_EQ(world().getNumber("frames"), 1);
    lua::LuaTable w = world();
    w.getState()->runBuffer("setUpdating(false)", 18, "t", &w);
    frame();
    EXPECT_EQ(world().getNumber("frames"), 1);
}

// A frame time that is no number, or infinite, counts as no time at all.
TEST_F(GameAppTest, AFrameTimeThatIsNotFiniteCountsAsZero) {
    start();
    lua::LuaTable w = world();
    w.getState()->runBuffer("setPhysicsEnabled(true)", 23, "t", &w);
    frame(0.05f);
    const float time = app->world().getGameTime();
    for (float dt : {std::nanf(""), INFINITY, -INFINITY}) {
        frame(dt);
        EXPECT_EQ(app->world().getGameTime(), time) << dt;
        EXPECT_TRUE(std::isfinite(app->world().getAccumulator())) << dt;
        EXPECT_TRUE(std::isfinite(world().getNumber("lastDt"))) << dt;
    }
}

TEST_F(GameAppTest, AudioFollowsActivationAndTheSettings) {
    start();
    game::Resources& resources = *app->world().services().resources;
    EXPECT_TRUE(app->setAudioActive(true));  // nothing to start yet
    resources.setAudioOutput(
        new audio::AudioOutput(audio::AudioFormat{2, 16, 44100}, new audio::NullAudioDevice()));
    audio::AudioOutput& output = *resources.getAudioOutput();
    EXPECT_TRUE(app->setAudioActive(true));
    EXPECT_TRUE(output.isStarted());
    EXPECT_TRUE(app->setAudioActive(false));
    EXPECT_FALSE(output.isStarted());
    world().getTable("settings").set("audioEnabled", false);
    EXPECT_TRUE(app->setAudioActive(true));
    EXPECT_FALSE(output.isStarted());
}

// Each press moves the volume by a tenth, held between 0 and 1, and the
// scripts' settings keep what the device took.
TEST_F(GameAppTest, VolumeKeysStepByATenthWithinTheRange) {
    start();
    game::Resources& resources = *app->world().services().resources;
    resources.setAudioOutput(
        new audio::AudioOutput(audio::AudioFormat{2, 16, 44100}, new audio::NullAudioDevice()));
    audio::AudioOutput& output = *resources.getAudioOutput();
    const struct {
        float from;
        int key;
        float to;
    } cases[] = {{0.5f, 82, 0.6f}, {0.95f, 82, 1.0f}, {0.5f, 83, 0.4f}, {0.05f, 83, 0.0f}};
    for (const auto& c : cases) {
        output.setMasterVolume(c.from);
        app->keyDown(c.key);
        frame();
        EXPECT_NEAR(output.getMasterVolume(), c.to, 1e-4) << c.from << " " << c.key;
        EXPECT_NEAR(world().getTable("settings").getNumber("volume"), c.to, 1e-4) << c.from;
    }
    // A frame without a press leaves it alone.
    frame();
    EXPECT_NEAR(output.getMasterVolume(), 0.0f, 1e-4);
}

namespace {

class SilentOS : public fake::FakeOS {
public:
    bool isAudioSuppressed() const override { return true; }
};

}  // namespace

TEST_F(GameAppTest, SuppressedAudioIsSwitchedOffInTheSettings) {
    SilentOS silent;
    app = new GameApp(&silent, context.get());
    EXPECT_TRUE(world().getTable("settings").isBoolean("audioEnabled"));
    EXPECT_FALSE(world().getTable("settings").getBoolean("audioEnabled"));
    app = nullptr;
}

namespace {

class RefusingDevice : public audio::NullAudioDevice {
public:
    bool start() override { return false; }
};

}  // namespace

// The output's refusal is the answer, whatever the input says.
TEST_F(GameAppTest, AudioActivationReportsTheOutputsStart) {
    start();
    game::Resources& resources = *app->world().services().resources;
    resources.setAudioOutput(
        new audio::AudioOutput(audio::AudioFormat{2, 16, 44100}, new RefusingDevice()));
    resources.createAudioInput(2, 16, 44100);
    EXPECT_FALSE(app->setAudioActive(true));
}

namespace {

// Records the shaders asked for, on the renderer platform given.
class ShaderContext : public ShotContext {
public:
    explicit ShaderContext(int platform) : platform_(platform) {}
    int platform() const override { return platform_; }
    lang::Ptr<gr::Shader> loadShader(const std::string& path, int) override {
        loaded.push_back(path);
        return nullptr;
    }
    std::vector<std::string> loaded;

private:
    int platform_;
};

// Sets a variable the fixture's scripts read, for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
    ~ScopedEnv() { unsetenv(name_); }

private:
    const char* name_;
};

}  // namespace

// The renderers that take shaders get the five 2D ones, in this order, from
// the context's shader folder; the others none.
TEST_F(GameAppTest, ShadersAreLoadedForTheRenderersThatTakeThem) {
    const std::vector<std::string> five = {"2d-sprite-alpha-masked", "2d-sprite", "2d-sprite-alpha",
                                           "2d-vertexcolor-alpha", "2d-vertexcolor"};
    const struct {
        int platform;
        bool shaders;
    } cases[] = {{gr::PLATFORM_GL2, true},  {gr::PLATFORM_GLES2, true},  {gr::PLATFORM_DX11, true},
                 {gr::PLATFORM_GL1, false}, {gr::PLATFORM_GLES1, false}, {gr::PLATFORM_XNA, false}};
    for (const auto& c : cases) {
        GameConfig& config = GameConfig::current();
        config = GameConfig();
        config.scriptPath = "scripts";
        config.commonScriptPath = "common";
        lang::Ptr<ShaderContext> ctx(new ShaderContext(c.platform));
        app = new GameApp(&os, ctx.get());
        // Other parts of the engine load shaders of their own first.
        std::vector<std::string> ours;
        for (const std::string& path : ctx->loaded) {
            for (const std::string& name : five) {
                if (path == io::PathName(ctx->shaderFolder(), name).toString()) {
                    ours.push_back(name);
                }
            }
        }
        if (c.shaders) {
            ASSERT_GE(ours.size(), five.size()) << c.platform;
            EXPECT_EQ(std::vector<std::string>(ours.end() - 5, ours.end()), five) << c.platform;
        } else {
            EXPECT_EQ(ours, std::vector<std::string>{}) << c.platform;
        }
        app = nullptr;
    }
}

// The start-up volume comes from settings.volume, or is full without one.
TEST_F(GameAppTest, TheStartVolumeComesFromTheSettings) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    const struct {
        const char* volume;
        float expected;
    } cases[] = {{"0.25", 0.25f}, {"none", 1.0f}};
    for (const auto& c : cases) {
        GameConfig& config = GameConfig::current();
        config = GameConfig();
        config.scriptPath = "scripts";
        config.commonScriptPath = "common";
        ScopedEnv volume("QF_TEST_VOLUME", c.volume);
        start();
        audio::AudioOutput* output = app->world().services().resources->getAudioOutput();
        ASSERT_NE(output, nullptr) << c.volume;
        EXPECT_FLOAT_EQ(output->getMasterVolume(), c.expected) << c.volume;
        app = nullptr;
    }
}

// The analytics global is there for the scripts, and the customer string is
// reported only when it is a string.
TEST_F(GameAppTest, TheCustomerStringIsReportedWhenItIsAString) {
    const struct {
        const char* customer;
        bool reported;
    } cases[] = {{"shop-7", true}, {"number", false}, {nullptr, false}};
    for (const auto& c : cases) {
        GameConfig& config = GameConfig::current();
        config = GameConfig();
        config.scriptPath = "scripts";
        config.commonScriptPath = "common";
        if (c.customer) {
            setenv("QF_TEST_CUSTOMER", c.customer, 1);
        } else {
            unsetenv("QF_TEST_CUSTOMER");
        }
        qftest::LogCapture log;
        start();
        unsetenv("QF_TEST_CUSTOMER");
        EXPECT_FALSE(app->world().getState()->getGlobals().isNil("Flurry"));
        bool reported = false;
        for (const std::string& line : log.messages(lang::log::DEBUG, "Analytics")) {
            if (line.find("\"event\":\"Customer String\"") != std::string::npos) {
                EXPECT_NE(line.find("\"ID\":\"shop-7\""), std::string::npos) << line;
                reported = true;
            }
        }
        EXPECT_EQ(reported, c.reported) << (c.customer ? c.customer : "(none)");
        app = nullptr;
    }
}
