#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/draw/RecordingContext.h"
#include "common/world/GameHost.h"
#include "common/world/GameLua.h"
#include "common/world/GameSounds.h"
#include "common/world/WorldParticles.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"

namespace worldtest {

/// Sound calls as "play name volume loop", "volume name volume" and "stop name".
class RecordingSounds : public GameSounds {
public:
    struct Call {
        std::string what;
        std::string name;
        float volume;
    };
    bool isPlaying(const std::string& name) override {
        for (const std::string& n : playing) {
            if (n == name)
                return true;
        }
        return false;
    }
    void play(const std::string& name, float volume, bool loop) override {
        calls.push_back(Call{loop ? "loop" : "play", name, volume});
        if (loop)
            playing.push_back(name);
    }
    void setVolume(const std::string& name, float volume) override {
        calls.push_back(Call{"volume", name, volume});
    }
    void stop(const std::string& name) override {
        calls.push_back(Call{"stop", name, 0});
        for (size_t i = 0; i < playing.size(); ++i) {
            if (playing[i] == name)
                playing.erase(playing.begin() + static_cast<long>(i--));
        }
    }
    std::vector<Call> calls;
    std::vector<std::string> playing;
};

class RecordingParticles : public WorldParticles {
public:
    struct Emit {
        std::string name;
        float x, y, w, h;
        int count;
    };
    void emit(const std::string& name, float x, float y, float w, float h, int count) override {
        emits.push_back(Emit{name, x, y, w, h, count});
    }
    void emitTurned(const std::string& name, float x, float y, float angle) override {
        emits.push_back(Emit{name, x, y, 0, 0, 1});
        angles.push_back(angle);
    }
    void reset() override { calls.push_back("reset"); }
    void clear() override { calls.push_back("clear"); }
    void update(int layer, float) override { calls.push_back("update " + std::to_string(layer)); }
    void draw(gr::Context&, int layer, float, float, float) override {
        calls.push_back("draw " + std::to_string(layer));
    }
    void viewChanged(float, float, float, float) override { calls.push_back("view"); }
    void screenResized(int, int) override { calls.push_back("screen"); }
    std::vector<Emit> emits;
    std::vector<std::string> calls;
    std::vector<float> angles;
};

/// The application side of the world: zoom, quit permission and paths, recorded.
class RecordingHost : public GameHost {
public:
    bool mayResumeAudio() const override { return false; }
    void setSafeToQuit(bool value) override { safe = value; }
    bool isZooming() const override { return zooming; }
    float getZoom() const override { return zoom; }
    float getPreviousZoom() const override { return previousZoom; }
    void setWorldZoom(float scale) override { zoom = previousZoom = scale; }
    void publishTouches(const lua::LuaTable& world, float x, float y) override {
        world.set("touchcount", 0.0f);
        offsetX = x;
        offsetY = y;
    }
    /// Joined to basePath, which tests point at a temporary folder.
    std::string resolvePath(const std::string& relative) const override {
        return basePath.empty() ? relative : basePath + "/" + relative;
    }
    int toggleZoomSteps(float, float, int steps) override { return steps; }
    void requestExit(int code) override { exitCode = code; }
    bool isCloudBusy() const override { return cloudBusy; }
    void setRemoteNotificationsEnabled(bool enabled) override {
        remoteNotifications.push_back(enabled);
    }
    framework::OSInterface* osInterface() const override { return nullptr; }
    std::vector<bool> remoteNotifications;
    int exitCode = -1;
    bool cloudBusy = false;
    bool safe = false;
    bool zooming = true;
    float zoom = 1, previousZoom = 1;
    float offsetX = 0, offsetY = 0;
    std::string basePath;
};

/// Hooks every test world defines; each records what it was given.
inline const char* const DEFAULT_HOOKS = R"(
calls = {}
local function count(name) calls[name] = (calls[name] or 0) + 1 end
props = {}
birdHits = {}
blockHits = {}
deferred = {}
trapped = {}
splashes = {}
function applyForcesAtPhysicsStep() count("applyForcesAtPhysicsStep") end
function updatePhysicsStep(dt) count("updatePhysicsStep"); lastStep = dt end
function removeBlocks() count("removeBlocks") end
function clearLuaForceFunctions() count("clearLuaForceFunctions") end
function updateObjectProperties(name, x, y, vx, vy, angle, asleep, outside)
    count("updateObjectProperties")
    props[name] = {x = x, y = y, vx = vx, vy = vy, angle = angle, asleep = asleep, outside = outside}
end
function update(dt1, dt2) count("update"); lastDt = dt1 end
function birdCollision(a, b, damage, dealt)
    birdHits[#birdHits + 1] = {a = a, b = b, damage = damage, dealt = dealt}
end
function blockCollision(a, b, damage, dealt)
    blockHits[#blockHits + 1] = {a = a, b = b, damage = damage, dealt = dealt}
end
function destroyJointDeferred(name) deferred[#deferred + 1] = name end
function trappedInBubble(t) trapped[#trapped + 1] = t.name end
function playWaterSplash(isBird) splashes[#splashes + 1] = isBird end
deadBlocks = {}
)";

/// A headless world: recording renderer, sounds and particles, and the default hooks.
class GameLuaFixture : public ::testing::Test {
protected:
    GameLuaFixture() : context(new RecordingContext()) {
        GameLua::Services services;
        services.context = context;
        services.sounds = &sounds;
        services.particles = &particles;
        world = new GameLua(state, services);
        run(DEFAULT_HOOKS);
    }
    ~GameLuaFixture() override { world.reset(); }

    /// Runs code with the world as its environment, as the game scripts run.
    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "test.lua", world.get());
    }
    /// The value of a Lua expression evaluated in the world.
    float num(const std::string& expression) {
        run("__value = " + expression);
        return world->getNumber("__value");
    }
    std::string str(const std::string& expression) {
        run("__value = " + expression);
        return world->getString("__value");
    }
    bool truth(const std::string& expression) {
        run("__value = " + expression);
        return world->getBoolean("__value");
    }
    std::string errorOf(const std::string& code) {
        try {
            run(code);
        } catch (const lua::LuaException& e) {
            return e.what();
        }
        ADD_FAILURE() << "no LuaException from: " << code;
        return std::string();
    }
    /// Physics on, level tables bound.
    void startLevel() {
        run("setPhysicsEnabled(true)");
        world->bindLevelTables();
    }
    GameObject& object(const std::string& name) {
        GameObject* o = world->findObject(name);
        EXPECT_NE(o, nullptr) << name;
        return *o;
    }
    int hookCount(const std::string& hook) {
        return static_cast<int>(num("calls." + hook + " or 0"));
    }

    lua::LuaState state;
    lang::Ptr<RecordingContext> context;
    RecordingSounds sounds;
    RecordingParticles particles;
    lang::Ptr<GameLua> world;
};

}  // namespace worldtest
