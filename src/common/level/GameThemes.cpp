#include "common/level/GameThemes.h"

#include <algorithm>
#include <cmath>

#include "common/level/GameLevels.h"
#include "common/world/GameLua.h"
#include "game/CompoSprite.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "gr/Context.h"
#include "lang/Format.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

namespace {

// A script number as a colour byte: NaN is 0, the rest is clamped to 0..255.
uint8_t roundedByte(float value) {
    if (!(value == value)) {
        return 0;
    }
    return static_cast<uint8_t>(std::lround(std::min(255.0f, std::max(0.0f, value))));
}

uint8_t truncatedByte(float value) {
    return static_cast<uint8_t>(std::min(255, std::max(0, lang::truncateToInt(value))));
}

void setTint(ThemeLayer& layer, float r, float g, float b, float a) {
    const float colour[] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        layer.tint[i] = truncatedByte(colour[i]);
    }
}

void readRgb(const lua::LuaTable& table, float out[3]) {
    out[0] = table.getNumber("r");
    out[1] = table.getNumber("g");
    out[2] = table.getNumber("b");
}

// The sprite or composite sprite of that name, and its metrics.
struct SpriteRef {
    const game::Sprite* sprite = nullptr;
    const game::CompoSprite* compo = nullptr;
    float width = 0, height = 0, pivotX = 0, pivotY = 0;
};

SpriteRef findSprite(const game::Resources* resources, const std::string& name) {
    SpriteRef ref;
    if (!resources) {
        return ref;
    }
    if ((ref.sprite = resources->getSprite(name))) {
        ref.width = static_cast<float>(ref.sprite->getWidth());
        ref.height = static_cast<float>(ref.sprite->getHeight());
        ref.pivotX = static_cast<float>(ref.sprite->getPivotX());
        ref.pivotY = static_cast<float>(ref.sprite->getPivotY());
    } else if ((ref.compo = resources->getCompoSprite(name))) {
        ref.width = static_cast<float>(ref.compo->getWidth());
        ref.height = static_cast<float>(ref.compo->getHeight());
        ref.pivotX = static_cast<float>(ref.compo->getPivotX());
        ref.pivotY = static_cast<float>(ref.compo->getPivotY());
    }
    return ref;
}

void spriteMetrics(const ThemeSprite& e, float& width, float& pivotX) {
    if (e.sprite) {
        width = static_cast<float>(e.sprite->getWidth());
        pivotX = static_cast<float>(e.sprite->getPivotX());
    } else if (e.compoSprite) {
        width = static_cast<float>(e.compoSprite->getWidth());
        pivotX = static_cast<float>(e.compoSprite->getPivotX());
    }
}

void readColours(const lua::LuaTable& entry, ThemeLayer& layer) {
    if (entry.isTable("fillBelow")) {
        lua::LuaTable fill = entry.getTable("fillBelow");
        const char* keys[] = {"r", "g", "b", "a"};
        for (int i = 0; i < 4; ++i) {
            layer.fillBelow[i] = roundedByte(fill.getNumber(keys[i]));
        }
        layer.hasFillBelow = true;
    }
    if (entry.isTable("tintColor")) {
        lua::LuaTable tint = entry.getTable("tintColor");
        for (int i = 0; i < 4; ++i) {
            layer.tint[i] = roundedByte(numberOr(tint, i + 1, 255));
        }
        layer.hasTint = true;
    }
}

ThemeLayer readLayer(const lua::LuaTable& entry, const game::Resources* resources) {
    ThemeLayer layer;
    layer.group = entry.getString(1);
    layer.spriteName = entry.getString(2);
    SpriteRef ref = findSprite(resources, layer.spriteName);
    layer.found = ref.sprite || ref.compo;
    layer.width = ref.width;
    layer.height = ref.height;
    layer.pivotX = ref.pivotX;
    layer.pivotY = ref.pivotY;
    layer.parallax = numberOr(entry, 3, 1);
    layer.scale = numberOr(entry, 4, 1);
    layer.tiled = entry.isBoolean(5) ? entry.getBoolean(5) : true;
    layer.baseX = numberOr(entry, 6, 4);
    layer.water = isTrue(entry, "water");
    layer.speed = numberOr(entry, "v", 0);
    layer.scaleWobbleY = numberOr(entry, "scaleWobbleY", 0);
    readColours(entry, layer);
    return layer;
}

std::vector<ThemeLayer> readLayers(const lua::LuaTable& theme, const char* key,
                                   const game::Resources* resources) {
    std::vector<ThemeLayer> layers;
    if (!theme.isTable(key)) {
        return layers;
    }
    lua::LuaTable list = theme.getTable(key);
    for (int i = 1; !list.isNil(i); ++i) {
        layers.push_back(readLayer(list.getTable(i), resources));
    }
    return layers;
}

}  // namespace

GameThemes::GameThemes(GameLua& world) : world_(world) {
    world_.bindMethod("setTheme", this, &GameThemes::setTheme);
    world_.bindMethod("setThemeTintColour", this, &GameThemes::setThemeTintColour);
    world_.bindMethod("setThemeRectColour", this, &GameThemes::setThemeRectColour);
    world_.bindMethod("setThemeLayerTintColour", this, &GameThemes::setThemeLayerTintColour);
    world_.bindMethod("setThemeForegroundOffsetY", this, &GameThemes::setThemeForegroundOffsetY);
    world_.bindMethod("createThemeSprite", this, &GameThemes::createThemeSprite);
    world_.bindMethod("modifyThemeSprite", this, &GameThemes::modifyThemeSprite);
    world_.bindMethod("removeThemeSprite", this, &GameThemes::removeThemeSprite);
}

GameThemes::~GameThemes() = default;

void GameThemes::setTheme(std::string name) {
    if (!world_.isTable("blockTable")) {
        world_.levels().loadBlockTable();
    }
    lua::LuaTable blocks = world_.getTable("blockTable");
    if (!blocks.isTable("themes") || !blocks.getTable("themes").isTable(name)) {
        throw lua::LuaException(lang::Format("setTheme: there is no theme {0}{1}", name,
                                             world_.getState()->getCallStack()));
    }
    lua::LuaTable entry = blocks.getTable("themes").getTable(name);
    if (!entry.isTable("color") || !entry.isTable("groundColor")) {
        throw lua::LuaException(lang::Format("setTheme: theme {0} needs color and groundColor{1}",
                                             name, world_.getState()->getCallStack()));
    }
    auto theme = std::make_unique<Theme>();
    if (entry.isTable("backgroundTintColor")) {
        readRgb(entry.getTable("backgroundTintColor"), theme->backgroundTint);
    }
    readRgb(entry.getTable("color"), theme->color);
    readRgb(entry.getTable("groundColor"), theme->groundColor);
    if (entry.isTable("waterBottomColor")) {
        readRgb(entry.getTable("waterBottomColor"), theme->waterBottomColor);
    }
    const game::Resources* resources = world_.services().resources;
    theme->bgLayers = readLayers(entry, "bgLayers", resources);
    theme->fgLayers = readLayers(entry, "fgLayers", resources);
    theme_ = std::move(theme);
}

void GameThemes::setThemeTintColour(float r, float g, float b) {
    Theme& theme = requireTheme("setThemeTintColour");
    // Bytes, as the layer colours read them: 300 would over-brighten the sky.
    theme.backgroundTint[0] = float(truncatedByte(r));
    theme.backgroundTint[1] = float(truncatedByte(g));
    theme.backgroundTint[2] = float(truncatedByte(b));
}

void GameThemes::setThemeRectColour(float layer, float r, float g, float b, float a) {
    setTint(backgroundLayer("setThemeRectColour", layer), r, g, b, a);
}

void GameThemes::setThemeLayerTintColour(float layer, float r, float g, float b, float a) {
    ThemeLayer& target = backgroundLayer("setThemeLayerTintColour", layer);
    setTint(target, r, g, b, a);
    target.hasTint = true;
}

void GameThemes::setThemeForegroundOffsetY(float layer, float y) {
    foregroundLayer("setThemeForegroundOffsetY", layer).offsetY = y;
}

void GameThemes::createThemeSprite(std::string id, std::string sprite, float x, float y,
                                   float speed, float scaleX, float scaleY, float angle,
                                   float layer) {
    ThemeLayer& target = anyLayer("createThemeSprite", layer);
    SpriteRef ref = findSprite(world_.services().resources, sprite);
    ThemeSprite created;
    created.sprite = ref.sprite;
    created.compoSprite = ref.compo;
    created.x = x;
    created.y = y;
    created.speed = speed;
    created.scaleX = scaleX;
    created.scaleY = scaleY;
    created.angle = angle;
    created.id = id;
    target.sprites.push_back(created);
}

void GameThemes::modifyThemeSprite(std::string id, float x, float y, float scaleX, float scaleY,
                                   float angle, float layer) {
    for (ThemeSprite& sprite : anyLayer("modifyThemeSprite", layer).sprites) {
        if (sprite.id == id) {
            sprite.x = x;
            sprite.y = y;
            sprite.scaleX = scaleX;
            sprite.scaleY = scaleY;
            sprite.angle = angle;
            return;
        }
    }
}

void GameThemes::removeThemeSprite(std::string id, float layer) {
    std::vector<ThemeSprite>& sprites = anyLayer("removeThemeSprite", layer).sprites;
    auto found = std::find_if(sprites.begin(), sprites.end(),
                              [&](const ThemeSprite& sprite) { return sprite.id == id; });
    if (found != sprites.end()) {
        sprites.erase(found);
    }
}

Theme& GameThemes::requireTheme(const char* native) {
    if (!theme_) {
        throw lua::LuaException(
            lang::Format("{0}: no theme is set{1}", native, world_.getState()->getCallStack()));
    }
    return *theme_;
}

ThemeLayer& GameThemes::backgroundLayer(const char* native, float layer) {
    std::vector<ThemeLayer>& layers = requireTheme(native).bgLayers;
    int32_t index = lang::truncateToInt(layer);
    if (index < 0 || static_cast<size_t>(index) >= layers.size()) {
        badLayer(native, layer);
    }
    return layers[static_cast<size_t>(index)];
}

ThemeLayer& GameThemes::foregroundLayer(const char* native, float layer) {
    std::vector<ThemeLayer>& layers = requireTheme(native).fgLayers;
    int32_t index = lang::truncateToInt(layer);
    if (index < 0 || static_cast<size_t>(index) >= layers.size()) {
        badLayer(native, layer);
    }
    return layers[static_cast<size_t>(index)];
}

ThemeLayer& GameThemes::anyLayer(const char* native, float layer) {
    Theme& theme = requireTheme(native);
    int32_t index = lang::truncateToInt(layer);
    if (index >= 0 && static_cast<size_t>(index) < theme.bgLayers.size()) {
        return theme.bgLayers[static_cast<size_t>(index)];
    }
    // Compared in 64 bits: index minus the count must not wrap.
    int64_t fg = static_cast<int64_t>(index) - static_cast<int64_t>(theme.bgLayers.size());
    if (index < 0 || fg >= static_cast<int64_t>(theme.fgLayers.size())) {
        badLayer(native, layer);
    }
    return theme.fgLayers[static_cast<size_t>(fg)];
}

void GameThemes::badLayer(const char* native, float layer) const {
    throw lua::LuaException(lang::Format("{0}: the theme has no layer {1}{2}", native,
                                         lang::truncateToInt(layer),
                                         world_.getState()->getCallStack()));
}

void GameThemes::scroll(float dt) {
    if (!theme_) {
        return;
    }
    const lang::Ptr<gr::Context>& context = world_.services().context;
    float screenWidth = context ? static_cast<float>(context->width()) : 0.0f;
    for (ThemeLayer& layer : theme_->bgLayers) {
        driftLayer(layer, dt, screenWidth);
    }
}

void GameThemes::driftLayer(ThemeLayer& layer, float dt, float screenWidth) {
    const float s = world_.getSimulationScale();
    const float minScale = world_.getMinWorldScale();
    // The view's width at the farthest zoom; a zero-width layer or zoom would divide by zero.
    float view = minScale > 0 ? screenWidth / minScale : screenWidth;
    float rightBound = (layer.width > 0 ? view / layer.width * layer.width : view) + layer.baseX;
    for (ThemeSprite& e : layer.sprites) {
        if (e.speed == 0) {
            continue;
        }
        float width = 0, pivotX = 0;
        spriteMetrics(e, width, pivotX);
        float left = e.x * s - pivotX * e.scaleX;
        float leftBound = layer.baseX - layer.scale * layer.width * 0.5f - width * e.scaleX * 1.1f;
        e.x += e.speed * dt;
        if (s == 0) {
            continue;
        }
        if (leftBound > left && e.speed < 0) {
            e.x = (pivotX * e.scaleX + rightBound) / s;
        } else if (rightBound < left && e.speed > 0) {
            e.x = (pivotX * e.scaleX + leftBound) / s;
        }
    }
}
