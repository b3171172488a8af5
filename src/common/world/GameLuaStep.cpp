// What follows the physics steps: poses, interpolation, destruction countdown,
// moving detection and rolling sounds.

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "common/world/GameSounds.h"
#include "lua/ScriptValues.h"
#include "lua/StackGuard.h"

namespace {

const float PI = 3.1415927f;
const float TWO_PI = 6.28318530718f;

float blend(float previous, float next, float alpha) {
    return (1 - alpha) * previous + alpha * next;
}

}  // namespace

void GameLua::applyPendingVelocities() {
    for (GameObject* object : tracked_) {
        if (!object->pendingVelocity) {
            continue;
        }
        if (!object->isStatic()) {
            object->body->SetLinearVelocity(
                b2Vec2(object->pendingVelocityX, object->pendingVelocityY));
        }
        object->pendingVelocity = 0;
    }
}

void GameLua::storePoses() {
    currentPose_ = 1 - currentPose_;
    for (auto& entry : objects_) {
        GameObject& object = *entry.second;
        if (!object.body->IsAwake()) {
            continue;
        }
        const b2Vec2& p = object.body->GetPosition();
        object.pose(currentPose_) = GamePose{p.x, p.y, object.bodyAngle()};
        if (isFlyingBird(object.colliderType) && object.body->GetMass() != 0) {
            object.body->SetBullet(true);
        }
    }
}

void GameLua::interpolate() {
    float alpha = accumulator_ / STEP;
    for (auto& entry : objects_) {
        GameObject& object = *entry.second;
        if (!object.body->IsAwake()) {
            continue;
        }
        const GamePose& next = object.pose(currentPose_);
        const GamePose& previous = object.pose(1 - currentPose_);
        object.renderX = blend(previous.x, next.x, alpha);
        object.renderY = blend(previous.y, next.y, alpha);
        float from = previous.angle;
        if (std::fabs(next.angle - from) >= PI) {
            from += from < next.angle ? TWO_PI : -TWO_PI;
        }
        object.renderAngle = blend(from, next.angle, alpha);
    }
}

void GameLua::countDownDestruction(float scaled) {
    for (auto& entry : objects_) {
        GameObject& object = *entry.second;
        if (!object.destroyPending) {
            continue;
        }
        object.destroyTimer -= scaled;
        if (object.destroyTimer <= 0) {
            object.table.set("strength", 0.0f);
            markDead(object, object.table);
            object.destroyPending = 0;
        }
    }
}

void GameLua::detectMoving(float dt) {
    bool moving = false, awake = false, aboveTolerance = false;
    if (!objects_.empty()) {
        for (auto& entry : rollingSounds_) {
            entry.second = 0;
        }
        // In name order. The hook may remove objects: only then is the next one
        // looked up again by name; otherwise the iterator is still good.
        auto it = objects_.begin();
        while (it != objects_.end()) {
            const uint64_t removals = removals_;
            std::string name = it->first;
            moving = detectMovingOf(*it->second, name, dt, awake, aboveTolerance) || moving;
            if (removals_ == removals) {
                ++it;
            } else {
                it = objects_.upper_bound(name);
            }
        }
    }
    set("hasMovingObjects", moving);
    set("hasAwakeObjects", awake);
    set("hasMovingObjectsAboveTolerance", aboveTolerance);
}

bool GameLua::detectMovingOf(GameObject& current, const std::string& name, float dt, bool& awake,
                             bool& aboveTolerance) {
    GameObject* object = &current;
    // The object's table, read below also when the hook removed the object: a
    // handle of its own is made only then, from the copy kept on the stack.
    const lua::LuaTable* table = &current.table;
    std::optional<lua::LuaTable> removedTable;
    lua::LuaState& state = *getState();
    lua::StackGuard guard(state.getLua());
    current.table.push();
    const int kept = state.getTop();
    bool busy = isFlyingBird(object->colliderType) &&
                !(table->isNil("pinkTimer") && table->isNil("bombTimer") &&
                  table->isNil("shootDelayTimer"));
    b2Body* body = object->body;
    if (object->wasAwake || body->IsAwake()) {
        awake = true;
        float mass = body->GetMass();
        bool outside = mass > 0 && (object->renderY > 20 || object->renderX < levelMinX_ ||
                                    object->renderX > levelMaxX_);
        b2Vec2 v = body->GetLinearVelocity();
        const uint64_t removals = removals_;
        callHook("updateObjectProperties", name, object->renderX, object->renderY, v.x, v.y,
                 object->bodyAngle(), !body->IsAwake(), outside);
        if (removals_ != removals) {
            removedTable = state.isTable(kept) ? state.toTable(kept) : lua::LuaTable();
            table = &*removedTable;
            object = findObject(name);
            if (!object) {
                return busy;
            }
        }
        body = object->body;
        float w = body->GetAngularVelocity();
        bool jointed = body->GetJointList() != nullptr;
        float v2 = v.x * v.x + v.y * v.y;
        if (v2 > 0.0005f && !isFlyingBird(object->colliderType) && !jointed) {
            aboveTolerance = true;
        }
        // A spin either way keeps the shot going.
        if (v2 > 9 || (std::fabs(w) > 0.1f && !jointed) || lua::isTrue(*table, "inBubble")) {
            busy = true;
        }
        if (object->shapeKind == GameObject::SHAPE_CIRCLE && !isFlyingBird(object->colliderType)) {
            float loudness = std::min(1.0f, body->GetMass() * object->radius * std::fabs(w) / 400);
            float& entry = rollingSounds_[object->rollingSound];
            entry = std::max(entry, loudness);
        }
    }
    bool counts = busy && !isExcludedFromMoving(*table);
    if (isSpinner(object->colliderType)) {
        object->spinPhase = std::fmod(object->spinPhase + dt * 1.2f, TWO_PI);
    }
    object->wasAwake = body->IsAwake() ? 1 : 0;
    return counts;
}

bool GameLua::isExcludedFromMoving(const lua::LuaTable& table) const {
    if (!objectsTable_.isTable("doNotConsiderAsMovingObjects") || !table.isString("definition")) {
        return false;
    }
    lua::LuaTable excluded = objectsTable_.getTable("doNotConsiderAsMovingObjects");
    return excluded.isBoolean(table.getString("definition"));
}

void GameLua::playRollingSounds() {
    GameSounds* sounds = services_.sounds;
    for (const auto& entry : rollingSounds_) {
        if (entry.first.empty() || !sounds) {
            continue;
        }
        if (entry.second > 0) {
            if (sounds->isPlaying(entry.first)) {
                sounds->setVolume(entry.first, entry.second);
            } else {
                sounds->play(entry.first, entry.second, true);
            }
        } else {
            sounds->stop(entry.first);
        }
    }
    rollingSounds_.clear();
}
