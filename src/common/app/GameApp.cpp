#include "common/app/GameApp.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iostream>

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "cloudclient/CloudGameState.h"
#include "cloudclient/NorvaneCloudManager.h"
#include "cloudclient/RemoteNotificationsService.h"
#include "common/app/FrameStatsFile.h"
#include "common/app/GameConfig.h"
#include "common/app/LevelSources.h"
#include "common/app/LevelTests.h"
#include "common/app/LuaManager.h"
#include "common/app/NativeListing.h"
#include "common/app/ReplayDigests.h"
#include "common/level/GameLevels.h"
#include "common/save/GameSaves.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "common/world/GameSounds.h"
#include "common/world/WorldParticles.h"
#include "flurry/Flurry.h"
#include "flurry/FlurryLuaInterface.h"
#include "framework/Application.h"
#include "framework/KeyCodes.h"
#include "framework/OSInterface.h"
#include "framework/Renderer.h"
#include "framework/Replay.h"
#include "game/LuaResources.h"
#include "gr/Context.h"
#include "gr/Shader.h"
#include "io/BasicFileSystem.h"
#include "io/PathName.h"
#include "io/Uri.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lang/System.h"
#include "lua/LuaState.h"
#include "lua/ScriptValues.h"
#include "net/GetTimeStamp.h"
#include "pf/DeviceID.h"
#include "pf/InstallationID.h"

namespace {

const int KEY_SHIFT = 34;
const int KEY_CONTROL = 35;

const char* const SHADERS[] = {"2d-sprite-alpha-masked", "2d-sprite", "2d-sprite-alpha",
                               "2d-vertexcolor-alpha", "2d-vertexcolor"};

// The cloud client asks from its worker whether the game is in front.
class ActiveFlag : public CloudGameState {
public:
    bool isGameActive() const override { return active.load(); }
    std::atomic<bool> active{true};
};

ActiveFlag& activeFlag() {
    static ActiveFlag flag;
    return flag;
}

}  // namespace

GameApp::GameApp(framework::OSInterface* os, gr::Context* context) : App(os), context_(context) {
    const GameConfig& config = GameConfig::current();
    luaState_ = new lua::LuaState();
    analytics_ = new flurry::Flurry(config.analyticsLogFile);
    analyticsScript_ = new flurry::FlurryLuaInterface(*luaState_, analytics_.get());
    resources_ = new game::LuaResources(*luaState_, context_);
    setDataPath(config.datapath);
    if (context_) {
        const char* platform = framework::RENDERER_PLATFORMS[context_->platform()].shortName;
        context_->setShaderFolder(
            io::PathName(App::resolvePath(config.shaderPath), platform).toString());
    }
    resources_->getResources().setPath(App::resolvePath(""));
    // Where the game reads its sealed files (an absolute path; the data path
    // alone is relative to the configuration's folder).
    dataFolder_ = io::pathUnderRoot(io::bundleRoot(), App::resolvePath(""));
    devSources_ =
        findDevSources(dataFolder_, getOS() ? getOS()->getLaunchOptions().sources : std::string());
    contentId_ = contentDigest({App::resolvePath(config.scriptPath),
                                App::resolvePath(config.commonScriptPath),
                                App::resolvePath(config.levelPath)});
    createWorld();
    loadGameScripts();
    createServices();
    GameConfig::current().clearPaths();
    loadShaders();
    resetKeyTables();
    applyStartVolume();
    lua::LuaTable settings = lua::tableOrEmpty(*world_, "settings");
    if (getOS() && getOS()->isAudioSuppressed() && !settings.isEmpty()) {
        settings.set("audioEnabled", false);
    }
    if (lua::holdsString(*world_, "customerString")) {
        analytics_->logEvent("Customer String", "ID", world_->getString("customerString"));
    }
    zoom_.zoomTime = -1;
    zoom_.zoomDuration = -1;
    try {
        world_->levels().runStartUp();
    } catch (const lang::Exception& e) {
        if (gameLogicError_.empty()) {
            throw;
        }
        // What fails here follows from the game logic that did not load.
        throw lang::Exception(lang::Format("The game logic did not load: {0}\nThen: {1}",
                                           gameLogicError_, e.getMessage()));
    }
    if (getOS() && !getOS()->getLaunchOptions().stats.empty()) {
        writeStats(getOS()->getLaunchOptions().stats);
    }
    startHotReload();
}

GameApp::~GameApp() {
    hotReload_.reset();
    if (world_) {
        world_->shutdown();
    }
    GameConfig::current().datapath.clear();
    shaders_.clear();
    cloud_.reset();
    resources_ = nullptr;
    analyticsScript_ = nullptr;
    analytics_ = nullptr;
    timeStamp_ = nullptr;
    scriptManager_ = nullptr;
    world_ = nullptr;
    luaState_ = nullptr;
}

void GameApp::createWorld() {
    const GameConfig& config = GameConfig::current();
    GameLua::Services services;
    services.context = context_;
    services.resources = &resources_->getResources();
    services.host = this;
    sounds_ = std::make_unique<ResourceSounds>(resources_->getResources());
    services.sounds = sounds_.get();
    services.paths = GamePaths{config.imagePath,        config.fontPath,    config.audioPath,
                               config.localizationPath, config.levelPath,   config.scriptPath,
                               config.commonScriptPath, config.deviceModel, config.hdVersion};
    world_ = new GameLua(*luaState_, services);
    world_->createParticles();
    world_->initScriptGlobals(lang::Ptr<pf::DeviceID>(new pf::DeviceID())->getID(),
                              pf::getInstallationID());
    world_->resetGameTimer();
    levelSources_ = std::make_unique<LevelSources>(*world_, devSources_);
    publishLaunch();
    cloud_ = std::make_unique<NorvaneCloudManager>(
        &activeFlag(),
        lua::holdsString(*world_, "customerString") ? world_->getString("customerString") : "",
        config.cloudServerUrl);
}

// Before the game scripts run, so that they can choose how to start.
void GameApp::publishLaunch() {
    framework::LaunchOptions launch;
    if (getOS()) {
        launch = getOS()->getLaunchOptions();
    }
    if (!launch.shots.empty() && !io::isDirectory(launch.shots) &&
        !io::makeDirectory(launch.shots)) {
        throw lang::Exception(
            lang::Format("Cannot create the folder {0} for --shots", launch.shots));
    }
    world_->publishLaunch(launch.demo, launch.headless, launch.shots, devSources_.available());
}

void GameApp::loadGameScripts() {
    const GameConfig& config = GameConfig::current();
    world_->saves().loadLuaFileToObject(config.scriptPath + "/starLimits.lua", *world_,
                                        "starTable");
    std::vector<uint8_t> bytes;
    try {
        const std::string path = App::resolvePath(config.commonScriptPath + "/gamelogic.lua");
        bytes = readSealedFile(path);
        luaState_->runBuffer(bytes.data(), bytes.size(), path, world_.get());
        world_->setGameLogicLoaded();
        world_->callHook("updateValues");
    } catch (const lang::Exception& e) {
        gameLogicError_ = e.getMessage();
        e.showDialog();
    }
    luaState_->getGlobals().set("gamelua", world_.get());
}

void GameApp::createServices() {
    const GameConfig& config = GameConfig::current();
    scriptManager_ = new LuaManager(*luaState_, {config.scriptPath, config.commonScriptPath});
    timeStamp_ = new GetTimeStamp(*luaState_);
    scriptManager_->set("GetTimeStamp", timeStamp_.get());
    io::mount(io::Uri("bundle:///" + config.datapath + "/levels/"), "/levels/");
    io::mount(io::Uri("bundle:///" + config.datapath + "/vehicles/"), "/vehicles/");
}

void GameApp::loadShaders() {
    if (!context_) {
        return;
    }
    int platform = context_->platform();
    if (platform != gr::PLATFORM_DX11 && platform != gr::PLATFORM_GLES2 &&
        platform != gr::PLATFORM_GL2) {
        return;
    }
    for (const char* name : SHADERS) {
        shaders_.push_back(
            context_->loadShader(io::PathName(context_->shaderFolder(), name).toString(), 0));
    }
}

void GameApp::digestState(framework::StateDigest& digest) const {
    digestWorld(*world_, digest);
}

void GameApp::resetKeyTables() {
    std::fill(std::begin(keyPressedNow_), std::end(keyPressedNow_), false);
    std::fill(std::begin(keyReleasedNow_), std::end(keyReleasedNow_), false);
    publishKeys();
}

void GameApp::applyStartVolume() {
    audio::AudioOutput* output = resources_->getResources().getAudioOutput();
    lua::LuaTable settings = lua::tableOrEmpty(*world_, "settings");
    float volume = settings.isEmpty() ? 1.0f : lua::numberOr(settings, "volume", 1.0f);
    if (output) {
        output->setMasterVolume(volume);
    }
}

void GameApp::publishKeys() {
    lua::LuaTable pressed = world_->getTable("keyPressed");
    lua::LuaTable released = world_->getTable("keyReleased");
    lua::LuaTable hold = world_->getTable("keyHold");
    for (int code = 0; code < framework::KEY_COUNT; ++code) {
        const char* name = framework::keyName(code);
        pressed.set(name, keyPressedNow_[code]);
        released.set(name, keyReleasedNow_[code]);
        hold.set(name, isKeyDown(code));
        keyPressedNow_[code] = false;
        keyReleasedNow_[code] = false;
    }
}

void GameApp::stepVolume(const char* key, float change) {
    if (!lua::isTrue(world_->getTable("keyPressed"), key)) {
        return;
    }
    audio::AudioOutput* output = resources_->getResources().getAudioOutput();
    if (!output) {
        return;
    }
    float volume = std::min(std::max(output->getMasterVolume() + change, 0.0f), 1.0f);
    output->setMasterVolume(volume);
    if (world_->isTable("settings")) {
        world_->getTable("settings").set("volume", volume);
    }
}

void GameApp::update(float dt, gr::Context* ctx, int) {
    // std::min keeps a NaN, which would stay in the game time for good.
    dt = std::isfinite(dt) ? std::min(dt, 0.1f) : 0.0f;
    zoom_.update(dt, getTouches());
    publishKeys();
    stepVolume("VOLUME_UP", 0.1f);
    stepVolume("VOLUME_DOWN", -0.1f);
    if (hotReload_) {
        hotReload_->poll(lang::System::currentTimeMicros() / 1000);
    }
    if (!ctx) {
        return;
    }
    if (world_->isUpdating()) {
        drawFrame(dt, *ctx);
    }
    FrameStats& stats = world_->frameStats();
    {
        ScopedMicros timer(stats.present);
        ctx->present();
    }
    std::string shot = world_->takeScreenshotRequest();
    if (!shot.empty()) {
        ctx->captureScreen(shot);
    }
    lastDrawCalls_ = ctx->counters().drawCalls;
    ctx->resetCounters();
    world_->clearWheelTrigger();
    if (statsFile_) {
        statsFile_->write(stats);
    }
    stats = FrameStats();
}

void GameApp::writeStats(const std::string& path) {
    statsFile_ = std::make_unique<FrameStatsFile>(path);
}

void GameApp::drawFrame(float dt, gr::Context& ctx) {
    lang::Ptr<gr::Context> hold(&ctx);
    FrameStats& stats = world_->frameStats();
    {
        ScopedMicros timer(stats.draw);
        ctx.beginFrame();
        ctx.clear(world_->backgroundColor(), true, true, true);
    }
    world_->update(debug_.worldTime(dt, GameLua::STEP));
    const int64_t now = lang::System::currentTimeMicros();
    debug_.record(debugCounters(now));
    lastFrameMicros_ = now;
    {
        ScopedMicros timer(stats.draw);
        debug_.draw(ctx, *world_);
        if (hotReload_) {
            hotReload_->draw(ctx);
        }
    }
    // The frame's last batch goes to the driver here, which processes its
    // vertices at once: that is the device's work, counted with the present.
    ScopedMicros timer(stats.present);
    ctx.endFrame();
}

DebugCounters GameApp::debugCounters(int64_t now) const {
    DebugCounters stats;
    stats.frameMillis = lastFrameMicros_ ? static_cast<float>(now - lastFrameMicros_) / 1000 : 0;
    const FrameStats& frame = world_->frameStats();
    stats.physicsMillis = static_cast<float>(frame.world() / 1000);
    stats.scriptMillis = static_cast<float>(frame.draw / 1000);
    stats.drawCalls = lastDrawCalls_;
    const b2World& physics = world_->physicsWorld();
    stats.bodies = physics.GetBodyCount();
    stats.contacts = physics.GetContactCount();
    stats.joints = physics.GetJointCount();
    if (WorldParticles* particles = world_->services().particles) {
        stats.particles = particles->particleCount();
    }
    if (audio::AudioOutput* output = resources_->getResources().getAudioOutput()) {
        stats.voices = output->voiceCount();
    }
    return stats;
}

void GameApp::keyDown(int code) {
    if (hotReloadKey(code) || debug_.keyDown(code)) {
        return;  // the developer's, not the game's
    }
    if (code >= 0 && code < framework::KEY_COUNT) {
        keyPressedNow_[code] = true;
    }
}

// Only a development game has hot reload; an installed one leaves its key to the game.
void GameApp::startHotReload() {
    if (devSources_.available()) {
        hotReload_ = std::make_unique<HotReload>(devSources_, *world_, dataFolder_, true);
    }
}

bool GameApp::hotReloadKey(int code) {
    if (code != DebugViews::KEY_RELOAD || !hotReload_) {
        return false;
    }
    hotReload_->request();
    return true;
}

void GameApp::keyUp(int code) {
    if (code >= 0 && code < framework::KEY_COUNT) {
        keyReleasedNow_[code] = true;
    }
}

void GameApp::screenResized() {
    world_->resolutionChanged();
}

void GameApp::mouseMoved(int x, int y) {
    if (world_) {
        world_->setCursor(static_cast<float>(x), static_cast<float>(y));
    }
}

void GameApp::mouseWheel(int notches) {
    if (!isKeyDown(KEY_CONTROL) && !lua::isTrue(*world_, "g_disableWheelZooming")) {
        zoom_.wheel(notches, isKeyDown(KEY_SHIFT));
    }
    world_->wheelTurned(notches);
}

void GameApp::setActive(bool active) {
    App::setActive(active);
    activeFlag().active = active;
    world_->setActive(active, isCloudBusy());
}

bool GameApp::isCloudBusy() const {
    return cloud_ && cloud_->isAnyServiceBusy();
}

void GameApp::setRemoteNotificationsEnabled(bool enabled) {
    if (!cloud_) {
        return;
    }
    if (auto service = cloud_->getService<RemoteNotificationsService>()) {
        service->setEnabled(enabled);
    }
}

bool GameApp::audioWanted() const {
    if (!world_->isTable("settings")) {
        return true;
    }
    lua::LuaTable settings = world_->getTable("settings");
    return !(settings.isBoolean("audioEnabled") && !settings.getBoolean("audioEnabled"));
}

bool GameApp::setAudioActive(bool active) {
    audioActive_ = active;
    game::Resources& resources = resources_->getResources();
    if (!active) {
        resources.stopAudioOutput();
        resources.stopAudioInput();
        return true;
    }
    bool result = true;
    if (audioWanted() && resources.getAudioOutput()) {
        result = resources.startAudioOutput();
    }
    if (resources.getAudioInput()) {
        resources.startAudioInput();  // the output's start is the answer
    }
    return result;
}

void GameApp::publishTouches(const lua::LuaTable& world, float offsetX, float offsetY) {
    lua::LuaState& state = *luaState_;
    lua::LuaTable touches(state);
    float count = 0;
    for (const framework::Touch& touch : getTouches()) {
        lua::LuaTable point(state);
        point.set("x", touch.x + offsetX);
        point.set("y", touch.y + offsetY);
        touches.set(std::to_string(touch.id), &point);
        ++count;
    }
    if (count == 0 && isKeyDown(framework::KEY_LBUTTON)) {
        lua::LuaTable cursor = world.getTable("cursor");
        lua::LuaTable point(state);
        point.set("x", cursor.getNumber("x"));
        point.set("y", cursor.getNumber("y"));
        touches.set("1", &point);
        count = 1;
    }
    world.set("touches", &touches);
    world.set("touchcount", count);
}

framework::Application framework::mainApplication() {
    framework::Application application;
    application.version = "quillfire 0.1";
    application.readConfiguration = [](const lua::LuaTable& globals) {
        GameConfig::current().read(globals, std::string());
    };
    application.create = [](framework::OSInterface* os, gr::Context* ctx) -> framework::App* {
        return new GameApp(os, ctx);
    };
    application.listNatives = nativeListing;
    application.runTests = [](const std::string& folder, const framework::TestHarness& harness) {
        // Each game clears the configuration's paths; every test starts from the same.
        const GameConfig config = GameConfig::current();
        LevelTestDriver driver;
        driver.start = [&harness, &config]() {
            GameConfig::current() = config;
            return static_cast<GameApp*>(harness.start());
        };
        driver.frame = harness.frame;
        driver.stop = harness.stop;
        return runLevelTests(folder, driver, std::cout) == 0 ? 0 : 1;
    };
    return application;
}
