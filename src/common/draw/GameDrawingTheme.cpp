// The theme's background and foreground layers, the ground and the water.

#include <cmath>

#include "common/draw/DrawUtils.h"
#include "common/draw/GameDrawing.h"
#include "common/level/Theme.h"
#include "common/ui/GameOverlays.h"
#include "common/world/GameLua.h"
#include "game/Anchor.h"
#include "game/CompoSprite.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "gr/Context.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"

namespace {

// A layer whose scale or width asks for more tiles than this across the
// screen is broken; drawing stops there instead of looping for ages.
const int MAX_TILES = 4096;

math::float4 colourOf(const uint8_t bytes[4]) {
    return math::float4(bytes[0] / 255.0f, bytes[1] / 255.0f, bytes[2] / 255.0f, bytes[3] / 255.0f);
}

// The water level of the objects table, false when there is no water.
bool waterLevel(const lua::LuaTable& objects, float& level) {
    if (objects.isNumber("waterLevel")) {
        level = objects.getNumber("waterLevel");
        return true;
    }
    if (objects.isTable("water")) {
        level = lua::numberOr(objects.getTable("water"), "waterLevel", 0);
        return true;
    }
    return false;
}

}  // namespace

float GameDrawing::groundLine(const Theme& theme) const {
    float height = 0;
    if (!theme.fgLayers.empty()) {
        const ThemeLayer& first = theme.fgLayers[0];
        height = first.scale * (first.height - first.pivotY);
    }
    return -(cameraY_ - height) * world_.getWorldScale();
}

void GameDrawing::fillGround(const float colour[3], float alpha, float line) {
    gr::Context* ctx = context();
    resetTransform(ctx->renderState());
    ctx->fillRect(0, std::floor(line), static_cast<float>(ctx->width()),
                  static_cast<float>(ctx->height() + 1),
                  gr::Color(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, alpha));
}

void GameDrawing::drawBackgroundNative() {
    drawBackgroundLayers();
    world_.overlays().drawSpotlight();
}

void GameDrawing::drawBackgroundLayers() {
    Theme* current = theme();
    gr::Context* ctx = context();
    if (!current || !ctx) {
        return;
    }
    setBGColor(current->color[0], current->color[1], current->color[2]);
    gr::RenderState& state = ctx->renderState();
    state.setAngle(0);
    state.translateX = -cameraX_;
    state.translateY = -cameraY_;
    const float line = groundLine(*current);
    for (const ThemeLayer& layer : current->bgLayers) {
        drawFullLayer(layer, -cameraY_ / layer.scale, line);
    }
}

void GameDrawing::drawForegroundNative() {
    Theme* current = theme();
    gr::Context* ctx = context();
    if (!current || !ctx) {
        return;
    }
    const float line = groundLine(*current);
    fillGround(current->groundColor, 1, line);
    float level = 0;
    const bool water = waterLevel(world_.objectsTable(), level);
    bool waterDrawn = false;
    for (const ThemeLayer& layer : current->fgLayers) {
        float y = (layer.offsetY - cameraY_) / layer.scale;
        if (layer.water) {
            if (!water) {
                continue;
            }
            y -= level * world_.getSimulationScale() / layer.scale;
            waterDrawn = true;
        }
        drawFullLayer(layer, y, line);
    }
    if (waterDrawn) {
        fillGround(current->waterBottomColor, 0.99f, line);
    }
}

void GameDrawing::drawFullLayer(const ThemeLayer& layer, float y, float line) {
    gr::RenderState& state = context()->renderState();
    const Theme& current = *theme();
    const float ws = world_.getWorldScale(), s = layer.scale, w = layer.width;
    const float time = world_.getGameTime();
    const math::float4 colour = layer.hasTint ? colourOf(layer.tint)
                                              : math::float4(current.backgroundTint[0] / 255.0f,
                                                             current.backgroundTint[1] / 255.0f,
                                                             current.backgroundTint[2] / 255.0f, 1);
    float drift = 0;
    if (layer.scrollOffset != 0 || layer.speed != 0) {
        drift = std::fmod(layer.scrollOffset + layer.speed * time, s * w / layer.parallax);
    }
    const float scaleY =
        layer.scaleWobbleY != 0 ? (std::sin(time) * layer.scaleWobbleY + s) * ws : s * ws;
    const float tiltShift = (1 - layer.parallax) * world_.getTilt() * 500;
    const float h = std::fmod(layer.parallax * (cameraX_ + drift) + tiltShift, s * w);
    const float right = context()->width() / s / ws + layer.pivotX;
    const bool translucent = layer.hasTint && layer.tint[3] != 255;
    if (translucent) {
        state.alpha = layer.tint[3] / 255.0f;
    }
    DrawUtils* utils = drawUtils();
    if (layer.found && utils) {
        // The layer's position is in screen pixels at its own scale.
        state.setAngle(0);
        state.translateX = state.translateY = 0;
        state.pivotX = state.pivotY = 0;
        state.scaleX = s * ws;
        state.scaleY = scaleY;
        if (!layer.tiled) {
            const float x = static_cast<float>(
                lang::truncateToInt(layer.baseX - cameraX_ * layer.parallax / s - tiltShift / s));
            utils->drawSprite(layer.spriteName, x, y, 1, colour);
        } else if (w > 0) {
            const float x0 = -(h / s + w);
            float i = static_cast<float>(lang::truncateToInt(x0));
            const float frac = x0 - i;
            for (int n = 0; i < right && n < MAX_TILES; ++n, i += w) {
                utils->drawSprite(layer.spriteName, i + frac, y, 1, colour);
            }
            if (layer.hasFillBelow) {
                state.scaleX = state.scaleY = 1;
                context()->fillRect(0, (layer.height + y - layer.pivotY) * scaleY,
                                    static_cast<float>(context()->width()), std::floor(line) + 1,
                                    gr::Color::fromBytes(layer.fillBelow[0], layer.fillBelow[1],
                                                         layer.fillBelow[2], layer.fillBelow[3]));
            }
        }
    }
    drawThemeSprites(layer, layer.parallax);
    if (translucent) {
        state.alpha = 1;
    }
}

void GameDrawing::drawThemeSprites(const ThemeLayer& layer, float parallax) {
    gr::RenderState& state = context()->renderState();
    const float ws = world_.getWorldScale(), units = world_.getSimulationScale();
    for (const ThemeSprite& e : layer.sprites) {
        if ((!e.sprite && !e.compoSprite) || e.scaleX == 0 || e.scaleY == 0) {
            continue;
        }
        state.scaleX = ws * e.scaleX;
        state.scaleY = ws * e.scaleY;
        state.translateX = -cameraX_ * parallax / e.scaleX;
        state.translateY = -cameraY_ / e.scaleY;
        state.pivotX =
            static_cast<float>(e.sprite ? e.sprite->getPivotX() : e.compoSprite->getPivotX());
        state.pivotY =
            static_cast<float>(e.sprite ? e.sprite->getPivotY() : e.compoSprite->getPivotY());
        state.setAngle(e.angle);
        const float x = e.x * units / e.scaleX, y = e.y * units / e.scaleY;
        if (e.sprite) {
            e.sprite->draw(context(), x, y, game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
        } else {
            e.compoSprite->draw(context(), x, y, game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
        }
    }
}

void GameDrawing::drawLayer(float index) {
    Theme* current = theme();
    const int i = lang::truncateToInt(index);
    if (!current || !context() || i < 0) {
        return;
    }
    const size_t k = static_cast<size_t>(i);
    if (k < current->bgLayers.size()) {
        drawBackgroundLayer(current->bgLayers[k]);
    } else if (k - current->bgLayers.size() < current->fgLayers.size()) {
        drawForegroundLayer(current->fgLayers[k - current->bgLayers.size()]);
    }
}

void GameDrawing::drawBackgroundLayer(ThemeLayer& layer) {
    const Theme& current = *theme();
    setBGColor(current.color[0], current.color[1], current.color[2]);
    gr::RenderState& state = context()->renderState();
    const float ws = world_.getWorldScale(), s = layer.scale, w = layer.width;
    state.setAngle(0);
    state.scaleX = state.scaleY = s * ws;
    if (layer.scrollOffset != 0) {
        layer.scrollOffset = std::fmod(layer.scrollOffset, s * w);
    }
    state.translateX = 0;
    state.translateY = -cameraY_ / s;
    const float right = context()->width() / s / ws + layer.pivotX;
    game::Resources* resources = world_.services().resources;
    if (resources && w > 0) {
        float x = std::floor(-(std::fmod(cameraX_ + layer.scrollOffset, s * w) + s * w) / s);
        for (int n = 0; x < right && n < MAX_TILES; ++n, x += w) {
            resources->drawSprite(layer.spriteName, x, 0, game::ANCHOR_VPIVOT, game::ANCHOR_HPIVOT);
        }
    }
    drawThemeSprites(layer, 1);
}

void GameDrawing::drawForegroundLayer(ThemeLayer& layer) {
    const Theme& current = *theme();
    fillGround(current.groundColor, 1, groundLine(current));
    gr::RenderState& state = context()->renderState();
    const float ws = world_.getWorldScale(), s = layer.scale, w = layer.width, p = layer.parallax;
    state.scaleX = state.scaleY = s * ws;
    if (layer.scrollOffset != 0) {
        layer.scrollOffset = std::fmod(layer.scrollOffset, w * s / p);
    }
    const float c = (layer.scrollOffset + cameraX_) * p;
    const float right = context()->width() / s / ws + layer.pivotX;
    const float x0 = -(std::fmod(c, w * s) + w * s) / s;
    int64_t i = lang::truncateToInt(x0);
    state.translateX = x0 - static_cast<float>(i);
    state.translateY = -cameraY_ / s;
    const int step = lang::truncateToInt(w);
    game::Resources* resources = world_.services().resources;
    if (resources && step > 0) {
        for (int n = 0; static_cast<float>(i) < right && n < MAX_TILES; ++n, i += step) {
            resources->drawSprite(layer.spriteName, static_cast<float>(i), 0, game::ANCHOR_VPIVOT,
                                  game::ANCHOR_HPIVOT);
        }
    }
    drawThemeSprites(layer, 1);
}
