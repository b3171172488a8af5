// Trails of the flying birds and the predicted path of a launch.

#include "common/world/GameLua.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"

namespace {

const char* const TRAIL_SPRITES[4] = {"TRAIL_WHITE_1", "TRAIL_WHITE_2", "TRAIL_WHITE_3",
                                      "BIRD_SPECIAL"};
const int BIRDS_PER_SET = 3;
const int TRAJECTORY_POINTS = 300;

}  // namespace

void GameLua::clearTrajectories() {
    for (int i = 0; i < 2 * BIRDS_PER_SET; ++i) {
        trajectoryPoints_[i].clear();
        trajectoryPuffs_[i].clear();
        for (int s = 0; s < 4; ++s) {
            trajectorySprites_[i][s] = TRAIL_SPRITES[s];
        }
    }
}

void GameLua::startNewTrajectory() {
    trajectorySet_ = trajectorySet_ == 0 ? BIRDS_PER_SET : 0;
    for (int i = trajectorySet_; i < trajectorySet_ + BIRDS_PER_SET; ++i) {
        trajectoryPoints_[i].clear();
        trajectoryPuffs_[i].clear();
        for (int s = 0; s < 4; ++s) {
            trajectorySprites_[i][s] = TRAIL_SPRITES[s];
        }
    }
}

void GameLua::addToTrajectory(float bird, float x, float y) {
    int k = lang::truncateToInt(bird);
    // Only birds 1 to 3 have lists.
    if (k >= 1 && k <= BIRDS_PER_SET) {
        trajectoryPoints_[trajectorySet_ + k - 1].emplace_back(x, y);
    }
}

void GameLua::addPuffToTrajectory(float bird, float x, float y) {
    int k = lang::truncateToInt(bird);
    if (k >= 1 && k <= BIRDS_PER_SET) {
        trajectoryPuffs_[trajectorySet_ + k - 1].emplace_back(x, y);
    }
}

void GameLua::recordTrajectories(PoseSource source) {
    std::vector<GameObject*> birds;
    auto addBird = [&](const std::string& name) {
        GameObject* object = findObject(name);
        lua::LuaTable world = lua::tableOrEmpty(objectsTable_, "world");
        if (object && hasTableIn(world, name)) {
            birds.push_back(object);
        }
    };
    if (isString("flyingBird")) {
        addBird(getString("flyingBird"));
    }
    if (isTable("otherBirds")) {
        lua::LuaTable others = getTable("otherBirds");
        for (int i = 1; i <= 2; ++i) {
            if (others.isString(i))
                addBird(others.getString(i));
        }
    }
    for (size_t k = 0; k < birds.size(); ++k) {
        GameObject& bird = *birds[k];
        const lua::LuaTable& table = bird.table;
        if (!table.isNil("recordTrajectory") && !lua::isTrue(table, "recordTrajectory")) {
            continue;
        }
        b2Vec2 p;
        if (source == FROM_BODY) {
            p = bird.body->GetPosition();
        } else if (source == FROM_PREVIOUS_POSE) {
            const GamePose& pose = bird.pose(1 - currentPose_);
            p.Set(pose.x, pose.y);
        } else {
            p.Set(bird.renderX, bird.renderY);
        }
        p *= 20;
        b2Vec2 last(table.getNumber("lastTrajectoryX"), table.getNumber("lastTrajectoryY"));
        if ((p - last).LengthSquared() > 1000) {
            trajectoryPoints_[trajectorySet_ + k].emplace_back(p.x, p.y);
            table.set("lastTrajectoryX", p.x);
            table.set("lastTrajectoryY", p.y);
        }
    }
}

int GameLua::getTrajectory(lua::LuaState* state) {
    GameObject* object = findObject(state->toString(1));
    if (!object) {
        state->pushNumber(0);
        return 1;
    }
    b2Vec2 v = object->body->GetLinearVelocity();
    float limit = b2_maxTranslation / STEP;
    if (v.Length() > limit) {
        v *= limit / v.Length();
    }
    b2Vec2 d = STEP * v;
    float gStep = world_->GetGravity().y * (1.0f / 900.0f);
    float x0 = object->renderX, y0 = object->renderY;
    lua::LuaTable result(*state);
    for (int i = 0; i < TRAJECTORY_POINTS; ++i) {
        float fi = static_cast<float>(i);
        lua::LuaTable point(*state);
        point.set("x", x0 + fi * d.x);
        point.set("y", y0 + fi * d.y + gStep * (fi * fi / 2) + gStep * (fi / 2));
        point.set("t", fi * STEP);
        result.set(i, &point);
    }
    state->pushTable(&result);
    return 1;
}
