// Buoyancy, water drag, splashes and drowning.

#include <algorithm>
#include <cmath>

#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "common/world/WorldParticles.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

namespace {

const float PI = 3.1415927f;
const float TWO_PI = 6.28318530718f;

struct Water {
    float level = 0;
    bool hasKillLevel = false;
    float killLevel = 0;
};

// The water settings of the objects table; false when there is no water.
bool readWater(const lua::LuaTable& objects, Water& water) {
    if (objects.isNumber("waterLevel")) {
        water.level = objects.getNumber("waterLevel");
        return true;
    }
    if (!objects.isTable("water")) {
        return false;
    }
    lua::LuaTable table = objects.getTable("water");
    water.level = table.getNumber("waterLevel");
    water.hasKillLevel = table.isNumber("killLevel");
    water.killLevel = table.getNumber("killLevel");
    return true;
}

float sign(float v) {
    return v > 0 ? 1.0f : (v < 0 ? -1.0f : 0.0f);
}

// Leans a tilted box or polygon back upright.
float rightingOffset(const GameObject& object) {
    if (isFlyingBird(object.colliderType) || object.shapeKind == GameObject::SHAPE_CIRCLE) {
        return 0;
    }
    float theta = std::fmod(object.renderAngle, TWO_PI);
    float magnitude = std::fabs(theta);
    if (magnitude > PI / 18 && magnitude < 17 * PI / 18) {
        return theta < PI / 2 ? 0.07f : -0.07f;
    }
    return 0;
}

}  // namespace

void GameLua::waterPass(float dt) {
    Water water;
    if (objects_.empty() || !readWater(objectsTable_, water)) {
        return;
    }
    // Buoyancy grows over this depth; without one there is no buoyancy, but
    // entering, leaving and drowning still happen.
    float depthMax = numberOr(*this, "waterMaxBuoyancyDepth", 0);
    float time = numberOr(*this, "timeSinceLevelStart", 0);
    // By name, looked up again each time: the splash hook may remove objects.
    std::string name = objects_.begin()->first;
    for (;;) {
        GameObject* object = findObject(name);
        lua::LuaTable table = object->table;
        if (!table.getBoolean("homing")) {
            waterObject(name, water.level, depthMax, time, dt);
            if ((object = findObject(name)) != nullptr) {
                drownObject(*object, table, water.level, depthMax, water.hasKillLevel,
                            water.killLevel);
            }
        }
        auto next = objects_.upper_bound(name);
        if (next == objects_.end()) {
            break;
        }
        name = next->first;
    }
}

void GameLua::waterObject(const std::string& name, float level, float depthMax, float time,
                          float dt) {
    GameObject* object = findObject(name);
    lua::LuaTable table = object->table;
    b2Body* body = object->body;
    float mass = body->GetMass();
    b2Vec2 v = body->GetLinearVelocity();
    float speed = v.Length();
    bool isBird = isFlyingBird(object->colliderType);
    if (!(object->renderY > -level && body->IsAwake() && mass > 0)) {
        if (body->GetAngularDamping() != 0 && object->renderY < -level - 5) {
            body->SetAngularDamping(0);
            table.set("waterTimerIsActive", false);
            if (time > 2 && speed > 5) {
                splash(*object, "waterSplashUp", isBird);
            }
        }
        return;
    }
    const bool buoyant = depthMax > 0;
    float depth = std::min(level + object->renderY, depthMax);
    float a = isBird && v.y <= 0 ? 1.2f : 0.8f;
    b2Vec2 force(0, buoyant ? -world_->GetGravity().y * mass * (a * depth / depthMax + 1.05f) : 0);
    if (table.isNumber("floatability")) {
        force.y *= table.getNumber("floatability");
    }
    if (speed > 5) {
        float r = object->radius > 0 ? object->radius : 1.0f;
        force.x = -sign(v.x) * 0.5f * v.x * v.x * 0.48f * r;
        force.y -= 0.5f * v.y * v.y * 0.48f * r;
        if (!isBird && v.y < -20) {
            force.y = 0;
        }
    }
    float offset = rightingOffset(*object);
    if (isTrue(table, "isEggGrenade")) {
        if (v.y > 1) {
            force.y *= 3.5f;
        }
        force.x = 35;
    }
    if (body->GetAngularDamping() == 0) {
        if (time > 2) {
            splash(*object, speed < 15 ? "waterSplashUp" : "waterSplash", isBird);
            if ((object = findObject(name)) == nullptr) {
                return;
            }
        }
        object->body->SetAngularDamping(0.5f);
        table.set("waterTimerIsActive", true);
    }
    if (speed >= 0.5f) {
        table.set("timeWithoutMoving", 0.0f);
    } else {
        float still = numberOr(table, "timeWithoutMoving", 0);
        if (still >= 2) {
            return;
        }
        table.set("timeWithoutMoving", still + dt);
    }
    if (!buoyant) {
        return;
    }
    applyForceNative(name, force.x, force.y, object->renderX + offset, object->renderY);
}

void GameLua::drownObject(GameObject& object, const lua::LuaTable& table, float level,
                          float depthMax, bool hasKillLevel, float killLevel) {
    if (!isGremlin(object.colliderType)) {
        return;
    }
    bool drowned = hasKillLevel ? killLevel + object.renderY >= depthMax
                                : level + object.renderY >= depthMax &&
                                      object.body->GetLinearVelocity().y == 0;
    if (drowned) {
        table.set("strength", 0.0f);
        markDead(object, table);
    }
}

void GameLua::splash(GameObject& object, const char* particle, bool isBird) {
    float scale = getNumber("physicsToWorld");
    if (services_.particles) {
        services_.particles->emit(particle, object.renderX * scale, object.renderY * scale, 10, 10,
                                  3);
    }
    callHook("playWaterSplash", isBird);
}
