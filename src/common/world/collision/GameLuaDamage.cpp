// Collision damage: birds against blocks, blocks against blocks, breakable joints.

#include <algorithm>
#include <cmath>

#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

void GameLua::birdAgainstBlock(GameObject& bird, GameObject& block, b2Contact* contact) {
    std::string material = block.table.getString("materialName");
    lua::LuaTable factors = lua::tableOrEmpty(*this, "blockTable")
                                .getTable("damageFactors")
                                .getTable(bird.table.getString("damageFactors"));
    float damageMultiplier = numberOr(factors.getTable("damageMultiplier"), material, 1);
    float velocityMultiplier = numberOr(factors.getTable("velocityMultiplier"), material, 1);
    bool legacy = bird.table.isBoolean("useLegacyCollisionPath");
    b2Vec2 velocity = bird.body->GetLinearVelocity();
    float mass = bird.body->GetMass();
    float impact = velocity.Length() * mass / 10;
    destroyBreakableJoints(block.name, impact);
    float damage = impact * damageMultiplier;
    float dealt = 0;
    if (hasTableIn(worldTable_, block.name) && block.table.isNumber("strength")) {
        dealt = damage - numberOr(block.table, "defence", 0);
        if (isTrue(block.table, "ignoreAllDamage")) {
            dealt = 0;
        } else if (dealt > 0) {
            float old = block.table.getNumber("strength");
            float now = old - dealt;
            block.table.set("strength", now);
            if (now <= 0) {
                markDead(block, block.table);
                // A bird that carries no momentum keeps its velocity.
                float factor = 1;
                if (damage > 0 && mass > 0) {
                    factor = legacy ? std::min(1.0f, -now / mass / damage * 10 * 1.75f)
                                    : std::min(1.0f, (damage - old) / damage * velocityMultiplier);
                }
                if (legacy) {
                    bird.body->SetLinearVelocity(factor * velocity);
                } else {
                    bird.pendingVelocityX = velocity.x * factor;
                    bird.pendingVelocityY = velocity.y * factor;
                    bird.pendingVelocity = 1;
                }
                contact->SetEnabled(false);
                dealt = old;
            }
        }
    }
    callHook("birdCollision", bird.name, block.name, damage, std::floor(dealt));
}

void GameLua::blockAgainstBlock(GameObject& a, GameObject& b) {
    bool ground = isGround(a.colliderType) || isGround(b.colliderType) || a.name == "ground" ||
                  b.name == "ground";
    bool spareAll =
        ground && (isTrue(a.table, "ignoreGroundDamage") || isTrue(b.table, "ignoreGroundDamage"));
    bool spareB = isTrue(a.table, "noCollisionDamage") || isTrue(b.table, "ignoreAllDamage");
    bool spareA = isTrue(b.table, "noCollisionDamage") || isTrue(a.table, "ignoreAllDamage");
    b2Vec2 momentum = b.body->GetMass() * b.body->GetLinearVelocity() -
                      a.body->GetMass() * a.body->GetLinearVelocity();
    float damage = 0.1f * momentum.Length();
    float dealt = 0;
    if (!spareAll) {
        if (!spareA) {
            dealt += damageBlock(a, a.table, damage);
        }
        if (!spareB) {
            dealt += damageBlock(b, b.table, damage);
        }
    }
    destroyBreakableJoints(a.name, damage);
    destroyBreakableJoints(b.name, damage);
    callHook("blockCollision", a.name, b.name, damage, dealt);
}

float GameLua::damageBlock(GameObject& object, const lua::LuaTable& table, float damage) {
    if (!table.isNumber("strength")) {
        return 0;
    }
    float defence = numberOr(table, "defence", 0);
    if (damage < defence) {
        return 0;
    }
    float old = table.getNumber("strength");
    float now = old - (damage - defence);
    table.set("strength", now);
    if (now <= 0) {
        markDead(object, table);
        return old;
    }
    return damage - defence;
}

void GameLua::destroyBreakableJoints(std::string name, float force) {
    if (joints_.empty()) {
        return;  // most contacts: nothing to look up
    }
    // Names first: the hook may destroy joints and change the records.
    std::vector<std::string> broken;
    lua::LuaTable joints = jointsTable();
    for (const JointRecord& record : joints_) {
        if ((record.end1 != name && record.end2 != name) || !joints.isTable(record.name)) {
            continue;
        }
        lua::LuaTable joint = joints.getTable(record.name);
        if (isTrue(joint, "breakable") && force > joint.getNumber("breakForce")) {
            broken.push_back(record.name);
        }
    }
    for (const std::string& joint : broken) {
        callHook("destroyJointDeferred", joint);
    }
}
