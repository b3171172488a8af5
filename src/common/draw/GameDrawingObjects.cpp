// The game objects in draw order, with the birds' trails.

#include <cmath>
#include <vector>

#include "common/draw/GameDrawing.h"
#include "common/ui/GameOverlays.h"
#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "common/world/WorldParticles.h"
#include "game/Anchor.h"
#include "game/CompoSprite.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "gr/Context.h"
#include "lua/ScriptValues.h"

namespace {

const float PIXELS_PER_UNIT = 20;
const int TRAIL_LISTS = 6;

}  // namespace

void GameDrawing::drawGameNative() {
    gr::Context* ctx = context();
    if (!ctx) {
        return;
    }
    const float scale = world_.getWorldScale();
    ctx->renderState().scaleX = scale;
    ctx->renderState().scaleY = scale;
    const bool extraDraws = lua::isTrue(world_, "hasExtraZOrderedDraws");
    // The keys are taken first: the hook may add or remove objects.
    std::vector<int> keys;
    for (const auto& entry : world_.drawOrder()) {
        keys.push_back(entry.first);
    }
    bool trailsDrawn = false;
    for (int key : keys) {
        if (extraDraws) {
            world_.callHook("drawZOrdered", static_cast<float>(key));
        }
        drawKey(key, trailsDrawn);
    }
    if (WorldParticles* particles = world_.services().particles) {
        particles->draw(*ctx, 1, -cameraX_, -cameraY_, scale);
    }
}

void GameDrawing::drawKey(int key, bool& trailsDrawn) {
    auto names = world_.drawOrder().find(key);
    if (names == world_.drawOrder().end()) {
        return;
    }
    for (const std::string& name : names->second) {
        GameObject* object = world_.findObject(name);
        if (!object || (!object->sprite && !object->compoSprite) || !object->visible) {
            continue;
        }
        if (isEditorOnly(object->colliderType) && !world_.isEditingOn()) {
            continue;
        }
        drawObject(*object, trailsDrawn);
    }
    world_.overlays().flushMasks();
}

void GameDrawing::drawObject(GameObject& object, bool& trailsDrawn) {
    gr::RenderState& state = context()->renderState();
    const float scale = world_.getWorldScale();
    state.translateX = -cameraX_;
    state.translateY = -cameraY_;
    state.scaleX = state.scaleY = scale;
    float x = PIXELS_PER_UNIT * object.renderX;
    float y = PIXELS_PER_UNIT * object.renderY;
    if (isCharacter(object.colliderType) && !trailsDrawn) {
        trailsDrawn = true;
        state.setAngle(0);
        drawTrails();
    }
    state.setAngle(object.renderAngle);
    if (object.sprite) {
        state.pivotX = static_cast<float>(object.sprite->getPivotX());
        state.pivotY = static_cast<float>(object.sprite->getPivotY());
    } else {
        state.pivotX = static_cast<float>(object.compoSprite->getPivotX());
        state.pivotY = static_cast<float>(object.compoSprite->getPivotY());
    }
    if (object.isStatic() && object.texture && object.sprite) {
        world_.overlays().addMask(object.texture, x, y, *object.sprite);
        return;
    }
    if (isSpinner(object.colliderType)) {
        const float dx = 5 * std::cos(object.spinPhase), dy = 5 * std::sin(object.spinPhase);
        drawObjectSprite(object, x - dx, y - dy);
        drawObjectSprite(object, x + dx, y + dy);
        return;
    }
    if (isCharacter(object.colliderType) && object.useDrawScale) {
        const float dx = object.drawScale[0], dy = object.drawScale[1];
        if (dx == 0 || dy == 0) {
            return;  // nothing to see, and no division by zero
        }
        state.translateX = state.translateY = 0;
        state.scaleX = dx * scale;
        state.scaleY = dy * scale;
        x = (x - cameraX_) / dx;
        y = (y - cameraY_) / dy;
    } else if (object.scaleX != 1 || object.scaleY != 1) {
        if (object.scaleX == 0 || object.scaleY == 0) {
            return;
        }
        state.translateX /= object.scaleX;
        state.translateY /= object.scaleY;
        state.scaleX *= object.scaleX;
        state.scaleY *= object.scaleY;
        x /= object.scaleX;
        y /= object.scaleY;
    } else if (isBigBird(object.colliderType)) {
        state.translateX *= 0.5f;
        state.translateY *= 0.5f;
        state.scaleX *= 2;
        state.scaleY *= 2;
        x *= 0.5f;
        y *= 0.5f;
    }
    drawObjectSprite(object, x, y);
}

void GameDrawing::drawObjectSprite(const GameObject& object, float x, float y) {
    if (object.sprite) {
        object.sprite->draw(context(), x, y, game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
    } else {
        object.compoSprite->draw(context(), x, y, game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
    }
}

void GameDrawing::drawTrails() {
    game::Resources* resources = world_.services().resources;
    if (!resources) {
        return;
    }
    for (int list = 0; list < TRAIL_LISTS; ++list) {
        const std::string* names = world_.trajectorySprites(list);
        const GameLua::PointList& points = world_.trajectoryPoints(list);
        for (size_t i = 0; i < points.size(); ++i) {
            resources->drawSprite(names[i % 3], points[i].first, points[i].second,
                                  game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
        }
        for (const auto& puff : world_.trajectoryPuffs(list)) {
            resources->drawSprite(names[3], puff.first, puff.second, game::ANCHOR_VPIVOT,
                                  game::ANCHOR_HPIVOT);
        }
    }
}
