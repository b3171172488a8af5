// World settings and the per-frame update.

#include <cmath>

#include "audio/AudioOutput.h"
#include "common/level/GameThemes.h"
#include "common/natives/GameNatives.h"
#include "common/ui/GameOverlays.h"
#include "common/world/GameHost.h"
#include "common/world/GameLua.h"
#include "common/world/special/GamePortals.h"
#include "game/Resources.h"
#include "gr/Context.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"

void GameLua::registerPhysicsNatives() {
    bindMethod("setPhysicsSimulationScale", this, &GameLua::setPhysicsSimulationScale);
    bindMethod("setPhysicsEnabled", this, &GameLua::setPhysicsEnabled);
    bindMethod("isPhysicsEnabled", this, &GameLua::isPhysicsEnabled);
    bindMethod("setEditing", this, &GameLua::setEditing);
    bindMethod("isEditing", this, &GameLua::isEditing);
    bindMethod("setWorldScale", this, &GameLua::setWorldScale);
    bindMethod("setLevelLimits", this, &GameLua::setLevelLimits);
    bindMethod("setAccelerometerActive", this, &GameLua::setAccelerometerActive);
    bindMethod("setWorldGravity", this, &GameLua::setWorldGravity);
    bindMethod("setMaxTranslation", this, &GameLua::setMaxTranslation);
    bindMethod("setUpdating", this, &GameLua::setUpdating);
}

void GameLua::setWorldGravity(float gx, float gy) {
    world_->SetGravity(b2Vec2(gx, gy));
}

void GameLua::setWorldScale(float scale) {
    minWorldScale_ = lua::numberOr(*this, "minWorldScale", 1.0f);
    worldScale_ = scale;
    if (services_.host) {
        services_.host->setWorldZoom(scale);
    }
}

void GameLua::setMaxTranslation(float value) {
    // Process-wide in the physics library; its square follows it.
    b2_maxTranslation = value;
}

void GameLua::setLevelLimits(float minX, float, float maxX, float) {
    levelMinX_ = lang::truncateToInt(minX);
    levelMaxX_ = lang::truncateToInt(maxX);
}

void GameLua::setAccelerometerActive(bool) {
    // This platform has no accelerometer: the reading stays level.
    tilt_ = 0;
}

void GameLua::update(float dt) {
    screenParticlesDrawn_ = false;
    resumeAudio();
    natives_->deliverRequests();
    publishFrameGlobals();
    gameTime_ += dt;
    if (physicsEnabled_) {
        // Whatever of the block is neither the physics nor a step hook is publishing.
        const double before = stats_.physics + stats_.hooks;
        double block = 0;
        {
            ScopedMicros timer(block);
            float scaled =
                isNumber("physicsSpeedFactor") ? dt * getNumber("physicsSpeedFactor") : dt;
            stepPhysics(scaled);
            interpolate();
            countDownDestruction(scaled);
            recordTrajectories(FROM_PREVIOUS_POSE);
            recordTrajectories(FROM_RENDER);
            detectMoving(dt);
            publishJointAnchors();
        }
        stats_.publish += block - (stats_.physics + stats_.hooks - before);
    }
    playRollingSounds();
    natives_->deliverUpdaterResult();
    {
        ScopedMicros timer(stats_.draw);
        callHook("update", dt, dt);
    }
    if (physicsEnabled_) {
        themes_->scroll(dt);
    }
    updateScreenParticles(dt);
    overlays_->update(dt);
}

void GameLua::resumeAudio() {
    game::Resources* resources = services_.resources;
    if (!services_.host || !services_.host->mayResumeAudio() || !resources) {
        return;
    }
    lua::LuaTable settings = lua::tableOrEmpty(*this, "settings");
    if (settings.isEmpty() || !lua::isTrue(settings, "audioEnabled")) {
        return;
    }
    audio::AudioOutput* output = resources->getAudioOutput();
    if (output && !output->isStarted()) {
        output->start();
    }
}

void GameLua::publishFrameGlobals() {
    GameHost* host = services_.host;
    if (host) {
        host->setSafeToQuit(lua::isTrue(*this, "g_safeToQuit"));
    }
    if (services_.context) {
        set("g_updatedScreenWidth", static_cast<float>(services_.context->width()));
        set("g_updatedScreenHeight", static_cast<float>(services_.context->height()));
    }
    if (!host) {
        return;
    }
    set("zooming", host->isZooming());
    if (host->getZoom() != host->getPreviousZoom()) {
        set("zoomLevel",
            getNumber("zoomLevel") + (host->getZoom() - host->getPreviousZoom()) * 0.5f);
    }
    host->publishTouches(*this, lua::numberOr(*this, "g_touchesOffsetX", 0),
                         lua::numberOr(*this, "g_touchesOffsetY", 0));
}

void GameLua::stepPhysics(float scaled) {
    portals_->update(scaled);
    accumulator_ += scaled;
    while (accumulator_ >= STEP) {
        stepOnce(scaled);
    }
    world_->ClearForces();
    callStepHook("clearLuaForceFunctions");
}

void GameLua::callStepHook(const char* name) {
    ScopedMicros timer(stats_.hooks);
    callHook(name);
}

void GameLua::stepOnce(float scaled) {
    callStepHook("applyForcesAtPhysicsStep");
    runForcePasses();
    waterPass(scaled);
    {
        ScopedMicros timer(stats_.hooks);
        callHook("updatePhysicsStep", STEP);
    }
    {
        ScopedMicros timer(stats_.physics);
        world_->Step(STEP, 10, 10);
    }
    if (stepError_) {
        std::exception_ptr error = stepError_;
        stepError_ = nullptr;
        std::rethrow_exception(error);
    }
    accumulator_ -= STEP;
    weldGluePairs();
    world_->ClearForces();
    callStepHook("removeBlocks");
    applyPendingVelocities();
    if (accumulator_ > 2 * STEP) {
        recordTrajectories(FROM_BODY);
    } else {
        storePoses();
    }
}
