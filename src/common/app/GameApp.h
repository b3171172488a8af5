#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/app/DebugViews.h"
#include "common/app/DevSources.h"
#include "common/app/GameZoom.h"
#include "common/app/HotReload.h"
#include "common/world/GameHost.h"
#include "framework/App.h"
#include "lang/Ptr.h"

class FrameStatsFile;
class GameLua;
class LevelSources;
class LuaManager;
class NorvaneCloudManager;
class ResourceSounds;
class WorldParticles;
namespace flurry {
class Flurry;
class FlurryLuaInterface;
}  // namespace flurry
namespace game {
class LuaResources;
}
namespace gr {
class Context;
class Shader;
}  // namespace gr
namespace lua {
class LuaState;
}
class GetTimeStamp;

/// The game: builds the script world from the configuration's game keys, loads
/// the game scripts, and each frame turns input into script tables and runs
/// the world's update inside a rendering frame.
class GameApp : public framework::App, public GameHost {
public:
    GameApp(framework::OSInterface* os, gr::Context* context);
    ~GameApp() override;

    void update(float dt, gr::Context* ctx, int phase) override;
    void keyDown(int code) override;
    void keyUp(int code) override;
    void screenResized() override;
    void mouseMoved(int x, int y) override;
    void mouseWheel(int notches) override;
    void setActive(bool active) override;
    bool setAudioActive(bool active) override;
    bool isSafeToQuit() override { return safeToQuit_; }
    void digestState(framework::StateDigest& digest) const override;
    std::string contentId() const override { return contentId_; }

    /// What the world asks of its application.
    bool mayResumeAudio() const override { return audioActive_; }
    void setSafeToQuit(bool safe) override { safeToQuit_ = safe; }
    bool isZooming() const override { return zoom_.zooming; }
    float getZoom() const override { return zoom_.zoom; }
    float getPreviousZoom() const override { return zoom_.previousZoom; }
    void setWorldZoom(float scale) override { zoom_.setScale(scale); }
    void publishTouches(const lua::LuaTable& world, float offsetX, float offsetY) override;
    std::string resolvePath(const std::string& relative) const override {
        return App::resolvePath(relative);
    }
    int toggleZoomSteps(float min, float max, int steps) override {
        return zoom_.toggleSteps(min, max, steps);
    }
    void requestExit(int code) override { App::requestExit(code); }
    bool isCloudBusy() const override;
    void setRemoteNotificationsEnabled(bool enabled) override;
    framework::OSInterface* osInterface() const override { return getOS(); }

    GameLua& world() { return *world_; }
    /// From now on every frame adds a line of its times to the file at path
    /// (FrameStatsFile). Throws lang::Exception when it cannot be created.
    void writeStats(const std::string& path);
    const GameZoom& zoom() const { return zoom_; }
    const DebugViews& debugViews() const { return debug_; }
    /// The editable sources of the running bundle; none for an installed game.
    const DevSources& devSources() const { return devSources_; }
    /// Hot reload of a development game; null for an installed one.
    HotReload* hotReload() const { return hotReload_.get(); }

private:
    void createWorld();
    void publishLaunch();
    void loadGameScripts();
    void createServices();
    void loadShaders();
    void resetKeyTables();
    void applyStartVolume();
    void publishKeys();
    void stepVolume(const char* key, float change);
    void drawFrame(float dt, gr::Context& ctx);
    bool audioWanted() const;
    DebugCounters debugCounters(int64_t now) const;
    void startHotReload();
    bool hotReloadKey(int code);

    lang::Ptr<gr::Context> context_;
    GameZoom zoom_;
    bool audioActive_ = false;
    bool safeToQuit_ = false;
    std::string contentId_;   // the scripts and levels, for replays
    std::string dataFolder_;  // the bundle's folder, absolute
    DevSources devSources_;
    DebugViews debug_;
    std::unique_ptr<HotReload> hotReload_;
    int64_t lastFrameMicros_ = 0;
    int lastDrawCalls_ = 0;
    lang::Ptr<lua::LuaState> luaState_;
    lang::Ptr<flurry::Flurry> analytics_;
    lang::Ptr<flurry::FlurryLuaInterface> analyticsScript_;
    lang::Ptr<game::LuaResources> resources_;
    std::unique_ptr<ResourceSounds> sounds_;
    lang::Ptr<GameLua> world_;
    std::unique_ptr<LevelSources> levelSources_;  // the editor's natives
    lang::Ptr<LuaManager> scriptManager_;
    lang::Ptr<GetTimeStamp> timeStamp_;
    std::unique_ptr<NorvaneCloudManager> cloud_;
    // Why gamelogic.lua did not load; empty when it did.
    std::string gameLogicError_;
    std::vector<lang::Ptr<gr::Shader>> shaders_;
    std::unique_ptr<FrameStatsFile> statsFile_;
    bool keyPressedNow_[framework::KEY_COUNT] = {};
    bool keyReleasedNow_[framework::KEY_COUNT] = {};
};
