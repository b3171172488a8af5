// The slingshot: the aiming dots and the rubber bands.

#include <cmath>

#include "common/draw/GameDrawing.h"
#include "common/world/GameLua.h"
#include "game/Anchor.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "game/SpriteSheet.h"
#include "gr/Context.h"
#include "lua/ScriptValues.h"

namespace {

const float DOT_SPACING = 0.2f;  // seconds of flight between two dots
const float SCOPE_LENGTH = 3;    // seconds of flight shown

struct Curve {
    float x0, y0, dx, dy, bend;  // bend: gravity and lift per step, halved over (s² + s)

    float x(float s) const { return x0 + s * dx; }
    float y(float s) const { return y0 + s * dy + bend * (s * s + s) / 2; }
};

}  // namespace

void GameDrawing::drawSlingScopeNative(float vx, float vy, float lift) {
    gr::Context* ctx = context();
    game::Resources* resources = world_.services().resources;
    if (!ctx || !resources) {
        return;
    }
    const lua::LuaTable start = lua::tableOrEmpty(world_, "rubberBandPos");
    const float vmax = b2_maxTranslation / GameLua::STEP;
    const float speed = std::sqrt(vx * vx + vy * vy);
    if (speed > vmax) {
        vx *= vmax / speed;
        vy *= vmax / speed;
    }
    float extra = 0;
    if (std::fabs(lift) > 0.01f && world_.isString("currentBirdName")) {
        GameObject* bird = world_.findObject(world_.getString("currentBirdName"));
        const float mass = bird && bird->body ? bird->body->GetMass() : 0;
        // A massless bird would send the curve to infinity; it gets no lift.
        if (mass > 0) {
            extra = lift * (1.0f / 900.0f) / mass;
        }
    }
    const float gStep = world_.physicsWorld().GetGravity().y * (1.0f / 900.0f);
    const Curve curve{start.isEmpty() ? 0 : lua::numberOr(start, "x", 0),
                      start.isEmpty() ? 0 : lua::numberOr(start, "y", 0), vx * GameLua::STEP,
                      vy * GameLua::STEP, gStep + extra};
    const float k = lua::numberOr(world_, "physicsToWorld", 0);
    float phase =
        std::fmod(lua::numberOr(world_, "g_sling_scope_animation", 0) * DOT_SPACING, DOT_SPACING);
    gr::RenderState& state = ctx->renderState();
    const float tx = state.translateX, ty = state.translateY;
    const float sx = state.scaleX, sy = state.scaleY;
    for (; phase < SCOPE_LENGTH; phase += DOT_SPACING) {
        const float n = phase / GameLua::STEP;
        const float whole = std::floor(n), f = n - whole;
        const float px = (curve.x(whole) + f * (curve.x(whole + 1) - curve.x(whole))) * k;
        const float py = (curve.y(whole) + f * (curve.y(whole + 1) - curve.y(whole))) * k;
        const float shrink = 1 - phase / SCOPE_LENGTH;
        state.translateX = tx / shrink;
        state.translateY = ty / shrink;
        state.scaleX = sx * shrink;
        state.scaleY = sy * shrink;
        if (phase != 0) {
            resources->drawSprite("PARTICLE_SLINGDOT", px / shrink, py / shrink,
                                  game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
        }
    }
    state.translateX = tx;
    state.translateY = ty;
    state.scaleX = sx;
    state.scaleY = sy;
}

void GameDrawing::drawRubberband(float x1, float y1, float x2, float y2, float width,
                                 std::string sprite) {
    gr::Context* ctx = context();
    game::Resources* resources = world_.services().resources;
    const game::Sprite* band = resources ? resources->getSprite(sprite) : nullptr;
    gr::Texture* texture = band && band->getSheet() ? band->getSheet()->getTexture() : nullptr;
    const float dx = x2 - x1, dy = y2 - y1;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!ctx || !texture || !(length > 0)) {
        return;
    }
    const float n = width / 2 / length;
    const gr::Quad corners{{{x1 + n * dy, y1 - n * dx},
                            {x2 + n * dy, y2 - n * dx},
                            {x1 - n * dy, y1 + n * dx},
                            {x2 - n * dy, y2 + n * dx}}};
    gr::RenderState& state = ctx->renderState();
    const gr::RenderState saved = state;
    resetTransform(state);
    state.alpha = saved.alpha;
    ctx->drawTextureQuad(texture, corners, band->getTexCoords());
    state = saved;
}
