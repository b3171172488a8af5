// Thrust, drag and gluing: special objects driven by keys of their tables.

#include <cmath>
#include <cstdlib>

#include "common/world/GameLua.h"
#include "common/world/GameSounds.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

void GameLua::registerSpecialNatives() {
    bindMethod("startNewTrajectory", this, &GameLua::startNewTrajectory);
    bindMethod("addToTrajectory", this, &GameLua::addToTrajectory);
    bindMethod("addPuffToTrajectory", this, &GameLua::addPuffToTrajectory);
    addMethod("getTrajectory", this, &GameLua::getTrajectory, "(s) -> t");
}

void GameLua::runForcePasses() {
    const float dt = STEP;
    for (auto& entry : objects_) {
        GameObject& object = *entry.second;
        if (object.forcesAlways || !object.gravityEnabled) {
            dragPass(object, object.table);
            forcePass(object, object.table, dt);
        }
    }
}

void GameLua::dragPass(GameObject& object, const lua::LuaTable& table) {
    b2Body* body = object.body;
    b2Vec2 v = body->GetLinearVelocity();
    float air = table.getNumber("airResistance");
    if (air != 0) {
        body->ApplyForce(-air * v, body->GetWorldCenter(), true);
        return;
    }
    b2Vec2 relative(numberOr(table, "frictionXRelative", 0),
                    numberOr(table, "frictionYRelative", 0));
    if (relative.x == 0 && relative.y == 0) {
        return;
    }
    b2Vec2 d = b2Mul(body->GetTransform().q, relative);
    float k = b2Dot(v, d);
    if (k < 0) {
        body->ApplyForce(k * v, body->GetWorldCenter(), true);
    }
}

void GameLua::forcePass(GameObject& object, const lua::LuaTable& table, float dt) {
    b2Body* body = object.body;
    if (!object.gravityEnabled) {
        body->ApplyForce(-body->GetMass() * world_->GetGravity(), body->GetWorldCenter(), true);
    }
    if (isTrue(table, "disableForce")) {
        return;
    }
    bool impulse = false;
    bool thrust =
        table.isNumber("applyForceInterval") ? fireForceInterval(object, table, dt, impulse) : true;
    if (!thrust) {
        return;
    }
    b2Vec2 force;
    float relative = numberOr(table, "forceRelative", 0);
    if (std::fabs(relative) > 0) {
        float angle = object.bodyAngle();
        force.Set(relative * std::cos(angle), relative * std::sin(angle));
    } else {
        float mass = table.getNumber("mass");
        force.Set(table.getNumber("forceX") * mass, table.getNumber("forceY") * mass);
    }
    if (force.x == 0 && force.y == 0) {
        return;
    }
    if (table.isNumber("targetVelocity")) {
        float target = table.getNumber("targetVelocity");
        b2Vec2 v = body->GetLinearVelocity();
        if (std::fabs(v.x) >= target && v.x * force.x >= 0)
            force.x = 0;
        if (std::fabs(v.y) >= target && v.y * force.y >= 0)
            force.y = 0;
    }
    if (impulse) {
        body->ApplyLinearImpulse(force, body->GetWorldCenter(), true);
    } else {
        body->ApplyForce(force, body->GetWorldCenter(), true);
    }
}

bool GameLua::fireForceInterval(GameObject& object, const lua::LuaTable& table, float dt,
                                bool& impulse) {
    float interval = table.getNumber("applyForceInterval");
    float timer = numberOr(table, "applyForceTimer", interval) - dt;
    bool fired = timer <= 0;
    if (fired) {
        timer += interval;
        impulse = true;
        table.set("originalSprite", table.getString("sprite"));
        if (table.isString("spriteWhenForceApplied")) {
            setSprite(object.name, table.getString("spriteWhenForceApplied"));
        }
        playForceSound(table);
    } else if (timer < interval * 0.8f && table.isString("originalSprite")) {
        setSprite(object.name, table.getString("originalSprite"));
    }
    table.set("applyForceTimer", timer);
    return fired;
}

void GameLua::playForceSound(const lua::LuaTable& table) {
    if (!services_.sounds) {
        return;
    }
    float volume = numberOr(table, "soundWhenForceAppliedVolume", 1);
    if (table.isString("soundWhenForceApplied")) {
        services_.sounds->play(table.getString("soundWhenForceApplied"), volume, false);
    } else if (table.isTable("soundWhenForceApplied")) {
        lua::LuaTable sounds = table.getTable("soundWhenForceApplied");
        int count = 0;
        while (!sounds.isNil(count + 1)) {
            ++count;
        }
        if (count > 0) {
            services_.sounds->play(sounds.getString(std::rand() % count + 1), volume, false);
        }
    }
}

void GameLua::weldGluePairs() {
    std::vector<std::pair<b2Body*, b2Body*>> pairs;
    pairs.swap(glueQueue_);
    for (const auto& pair : pairs) {
        if (pair.first == pair.second) {
            continue;
        }
        destroyRecordedJointsOf(pair.second);
        b2WeldJointDef def;
        def.Initialize(pair.first, pair.second,
                       0.5f * (pair.first->GetPosition() + pair.second->GetPosition()));
        world_->CreateJoint(&def);
    }
}
