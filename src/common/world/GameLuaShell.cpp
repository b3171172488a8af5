// What passes between the world and its application: start-up globals,
// activation, resizes, the pointer, and the natives that reach the shell.

#include <cmath>
#include <cstdio>

#include "common/draw/GameDrawing.h"
#include "common/save/GameSaves.h"
#include "common/save/SealedFile.h"
#include "common/world/GameHost.h"
#include "common/world/GameLua.h"
#include "common/world/WorldParticleManager.h"
#include "common/world/WorldParticles.h"
#include "game/Resources.h"
#include "gr/Context.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lang/System.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"

void GameLua::registerShellNatives() {
    bindMethod("resetTimer", this, &GameLua::resetTimer);
    addMethod("getGameTimer", this, &GameLua::getGameTimer, "() -> n");
    addMethod("requestExit", this, &GameLua::requestExitNative, "([n])");
    bindMethod("print", this, &GameLua::print);
    bindMethod("writeLine", this, &GameLua::writeLine);
    bindMethod("printWarning", this, &GameLua::printWarning);
    bindMethod("printError", this, &GameLua::printError);
    bindMethod("captureScreen", this, &GameLua::captureScreen);
    bindMethod("toggleZoomSteps", this, &GameLua::toggleZoomSteps);
    bindMethod("drawScreenParticles", this, &GameLua::drawScreenParticles);
}

void GameLua::publishLaunch(bool demo, bool headless, const std::string& shots, bool editor) {
    lua::LuaTable launch = newGlobalTable("launch");
    launch.set("demo", demo);
    launch.set("headless", headless);
    launch.set("editor", editor);
    if (!shots.empty()) {
        launch.set("shots", shots);
    }
}

void GameLua::createParticles() {
    if (services_.particles) {
        return;
    }
    int width = services_.context ? services_.context->width() : 0;
    int height = services_.context ? services_.context->height() : 0;
    auto particles = std::make_unique<WorldParticleManager>(*getState(), *this, services_.resources,
                                                            width, height);
    getState()->getGlobals().set("particles", &particles->manager());
    services_.particles = particles.get();
    ownParticles_ = std::move(particles);
}

// The screen layer is drawn once a frame: by the scripts where they want it,
// otherwise after their update.
bool GameLua::drawScreenParticles() {
    if (screenParticlesDrawn_ || !services_.particles || !services_.context) {
        return false;
    }
    float scale = lua::numberOr(*this, "g_menu_particle_scale", 1);
    services_.particles->draw(*services_.context, 0, 0, 0, scale);
    screenParticlesDrawn_ = true;
    return true;
}

void GameLua::updateScreenParticles(float dt) {
    if (services_.particles) {
        services_.particles->update(0, dt);
    }
    drawScreenParticles();
}

lua::LuaTable GameLua::newGlobalTable(const char* name) {
    lua::LuaTable table(*getState());
    set(name, &table);
    return table;
}

void GameLua::initScriptGlobals(const std::string& deviceId, const std::string& installationId) {
    const GamePaths& paths = services_.paths;
    if (!paths.scriptPath.empty()) {
        // Options run in a table of their own; only their side effects count.
        lua::LuaTable options(*getState());
        options.set("gamelua", this);
        std::vector<uint8_t> bytes = readSealedFile(paths.scriptPath + "/options.lua");
        getState()->runBuffer(bytes.data(), bytes.size(), paths.scriptPath + "/options.lua",
                              &options);
    }
    set("iapEnabled", false);
    set("uniqueDeviceId", deviceId);
    set("uniqueInstallationId", installationId);
    if (services_.context) {
        set("screenWidth", static_cast<float>(services_.context->width()));
        set("screenHeight", static_cast<float>(services_.context->height()));
    }
    for (const char* name : {"keyPressed", "keyReleased", "keyHold", "cursor", "multitouchSweep"}) {
        newGlobalTable(name);
    }
    newGlobalTable("multitouchZoom").set("zoomCoolingTime", -1.0f);
    set("imagePath", paths.imagePath);
    set("fontPath", paths.fontPath);
    set("audioPath", paths.audioPath);
    set("localizationPath", paths.localizationPath);
    set("levelPath", paths.levelPath);
    set("scriptPath", paths.scriptPath);
    set("commonScriptPath", paths.commonScriptPath);
    set("deviceModel", paths.deviceModel);
    set("isHDVersion", paths.hd);
}

void GameLua::setActive(bool active, bool servicesBusy) {
    active_ = active;
    if (!gameLogicLoaded_) {
        return;
    }
    callHook(active && !servicesBusy ? "gameResumed" : "gamePaused");
}

void GameLua::resolutionChanged() {
    if (!services_.context) {
        return;
    }
    int width = services_.context->width(), height = services_.context->height();
    if (services_.particles) {
        services_.particles->screenResized(width, height);
    }
    callHook("resolutionChanged", static_cast<float>(width), static_cast<float>(height));
}

void GameLua::setCursor(float x, float y) {
    lua::LuaTable cursor = lua::tableOrEmpty(*this, "cursor");
    if (cursor.isEmpty()) {
        return;
    }
    cursor.set("x", x + lua::numberOr(*this, "g_touchesOffsetX", 0));
    cursor.set("y", y + lua::numberOr(*this, "g_touchesOffsetY", 0));
}

void GameLua::wheelTurned(int notches) {
    lua::LuaTable cursor = lua::tableOrEmpty(*this, "cursor");
    if (!cursor.isEmpty()) {
        cursor.set("wheel", static_cast<float>(notches));
        cursor.set("wheelTriggered", true);
    }
}

void GameLua::clearWheelTrigger() {
    lua::LuaTable cursor = lua::tableOrEmpty(*this, "cursor");
    if (!cursor.isEmpty()) {
        cursor.set("wheelTriggered", false);
    }
}

std::string GameLua::takeScreenshotRequest() {
    std::string name;
    name.swap(screenshotRequest_);
    return name;
}

void GameLua::shutdown() {
    saves_->saveOnExit();
}

uint32_t GameLua::backgroundColor() const {
    return 0xFF000000u | drawing_->clearColor();
}

void GameLua::resetTimer() {
    timerStart_ = lang::System::currentTimeMillis();
}

int GameLua::getGameTimer(lua::LuaState* state) {
    int64_t elapsed = lang::System::currentTimeMillis() - timerStart_;
    state->pushNumber(static_cast<float>((elapsed + 500) / 1000));
    return 1;
}

// An optional exit code lets an unattended run report its outcome.
int GameLua::requestExitNative(lua::LuaState* state) {
    const int code = lang::truncateToInt(lua::optNumber(state, 1, 0));
    if (services_.host) {
        services_.host->requestExit(code);
    }
    return 0;
}

// Standard output carries the report of unattended runs, so each line goes out
// at once and nothing else is written there.
void GameLua::writeLine(std::string text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void GameLua::printWarning(std::string text) {
    lang::log::write("", __FILE__, "GameLua::printWarning", __LINE__, lang::log::WARNING, "%s",
                     text.c_str());
}

void GameLua::printError(std::string text) {
    lang::log::write("", __FILE__, "GameLua::printError", __LINE__, lang::log::ERROR, "%s",
                     text.c_str());
}

void GameLua::captureScreen(std::string file) {
    screenshotRequest_ = file;
    // The shot is taken after the frame's present.
    if (services_.context) {
        services_.context->keepNextFrame();
    }
}

float GameLua::toggleZoomSteps(float min, float max, float steps) {
    int count = lang::truncateToInt(steps);
    return services_.host ? static_cast<float>(services_.host->toggleZoomSteps(min, max, count))
                          : 0.0f;
}
