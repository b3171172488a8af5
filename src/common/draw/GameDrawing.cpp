#include "common/draw/GameDrawing.h"

#include <algorithm>
#include <cmath>

#include "common/draw/DrawUtils.h"
#include "common/level/GameThemes.h"
#include "common/level/Theme.h"
#include "common/world/GameLua.h"
#include "common/world/WorldParticles.h"
#include "game/Resources.h"
#include "game/SpriteSheet.h"
#include "gr/Context.h"
#include "lang/Numbers.h"
#include "lua/LuaState.h"

namespace {

float clampByte(float value) {
    return value == value ? std::clamp(value, 0.0f, 255.0f) : 0.0f;
}

}  // namespace

void resetTransform(gr::RenderState& state) {
    const gr::Rect clip = state.clip;
    state.reset();
    state.clip = clip;
}

GameDrawing::GameDrawing(GameLua& world) : world_(world) {
    registerNatives();
}

GameDrawing::~GameDrawing() = default;

void GameDrawing::registerNatives() {
    world_.bindMethod("setBGColor", this, &GameDrawing::setBGColor);
    world_.bindMethod("setCameraViewport", this, &GameDrawing::setCameraViewport);
    world_.addMethod("getCameraTopLeft", this, &GameDrawing::getCameraTopLeft, "() -> n, n");
    world_.bindMethod("drawRect", this, &GameDrawing::drawRect);
    world_.bindMethod("drawTexturedRect", this, &GameDrawing::drawTexturedRect);
    world_.addMethod("setRenderState", this, &GameDrawing::setRenderState,
                     "([n, n, [n, n, [n, [n, n, [n]]]]])");
    world_.bindMethod("setAlpha", this, &GameDrawing::setAlpha);
    world_.bindMethod("drawGameNative", this, &GameDrawing::drawGameNative);
    world_.bindMethod("drawBackgroundNative", this, &GameDrawing::drawBackgroundNative);
    world_.bindMethod("drawLayer", this, &GameDrawing::drawLayer);
    world_.bindMethod("drawLine2D", this, &GameDrawing::drawLine2D);
    world_.bindMethod("drawRectLines", this, &GameDrawing::drawRectLines);
    world_.bindMethod("drawSlingScopeNative", this, &GameDrawing::drawSlingScopeNative);
    world_.bindMethod("drawRubberband", this, &GameDrawing::drawRubberband);
    world_.bindMethod("drawForegroundNative", this, &GameDrawing::drawForegroundNative);
}

gr::Context* GameDrawing::context() const {
    return world_.services().context.get();
}

Theme* GameDrawing::theme() const {
    return world_.themes().current();
}

DrawUtils* GameDrawing::drawUtils() {
    if (!drawUtils_ && context()) {
        drawUtils_ = new DrawUtils(world_.services().resources, world_.services().context);
    }
    return drawUtils_.get();
}

void GameDrawing::setCameraViewport(float x, float y, float, float) {
    cameraX_ = x;
    cameraY_ = y;
    gr::Context* ctx = context();
    WorldParticles* particles = world_.services().particles;
    if (particles && ctx && world_.getWorldScale() > 0) {
        // The view in world pixels: the camera is where screen (0, 0) lands.
        const float scale = world_.getWorldScale();
        particles->viewChanged(x, y, x + ctx->width() / scale, y + ctx->height() / scale);
    }
}

int GameDrawing::getCameraTopLeft(lua::LuaState* state) {
    state->pushNumber(cameraX_);
    state->pushNumber(cameraY_);
    return 2;
}

void GameDrawing::setBGColor(float r, float g, float b) {
    float c[3] = {clampByte(r), clampByte(g), clampByte(b)};
    const Theme* current = theme();
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        if (current) {
            c[i] *= current->color[i] / 255.0f;
        }
        // Clamped again: a theme colour outside 0..255 must not spill into the next byte.
        colour = colour << 8 | static_cast<uint32_t>(lang::truncateToInt(clampByte(c[i])));
    }
    clearColor_ = colour;
}

void GameDrawing::setAlpha(float alpha) {
    if (gr::Context* ctx = context()) {
        ctx->renderState().alpha = alpha;
    }
}

int GameDrawing::setRenderState(lua::LuaState* state) {
    gr::Context* ctx = context();
    const int count = state->getTop();
    if (!ctx) {
        return 0;
    }
    gr::RenderState& rs = ctx->renderState();
    if (count >= 2) {
        rs.translateX = state->toNumber(1);
        rs.translateY = state->toNumber(2);
    }
    if (count >= 4) {
        rs.scaleX = state->toNumber(3);
        rs.scaleY = state->toNumber(4);
    }
    if (count >= 5) {
        rs.setAngle(state->toNumber(5));
    }
    if (count >= 7) {
        rs.pivotX = state->toNumber(6);
        rs.pivotY = state->toNumber(7);
    }
    if (count >= 8) {
        rs.alpha = state->toNumber(8);
    }
    return 0;
}

void GameDrawing::drawRect(float r, float g, float b, float a, float x1, float y1, float x2,
                           float y2, bool keepState) {
    gr::Context* ctx = context();
    if (!ctx) {
        return;
    }
    if (!keepState) {
        resetTransform(ctx->renderState());
    }
    ctx->fillRect(x1, y1, x2, y2, gr::Color(r, g, b, a));
}

void GameDrawing::drawLine2D(float x1, float y1, float x2, float y2, float width, float r, float g,
                             float b, float a) {
    if (gr::Context* ctx = context()) {
        auto whole = [](float v) { return static_cast<float>(lang::truncateToInt(v)); };
        ctx->drawLine(whole(x1), whole(y1), whole(x2), whole(y2), whole(width),
                      gr::Color(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f));
    }
}

void GameDrawing::drawRectLines(float x1, float y1, float x2, float y2, float width, float r,
                                float g, float b, float a) {
    drawLine2D(x1, y1, x2, y1, width, r, g, b, a);
    drawLine2D(x1, y1, x1, y2, width, r, g, b, a);
    drawLine2D(x1, y2, x2, y2, width, r, g, b, a);
    drawLine2D(x2, y1, x2, y2, width, r, g, b, a);
}

void GameDrawing::drawTexturedRect(std::string texture, float x, float y, float w, float h, bool) {
    gr::Context* ctx = context();
    game::Resources* resources = world_.services().resources;
    game::SpriteSheet* sheet = resources ? resources->getSheet(texture) : nullptr;
    if (ctx && sheet && sheet->getTexture()) {
        ctx->drawTexture(sheet->getTexture(), x, y, w, h, gr::Quad::rect(0, 0, 1, 1));
    }
}
