#include "game/LuaResources.h"

#include "game/Anchor.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"
#include "pf/Launcher.h"

namespace game {

using lua::optBoolean;
using lua::optString;
using lua::selfOffset;

LuaResources::LuaResources(lua::LuaState& state, const lang::Ptr<gr::Context>& context)
    : lua::LuaObject(state), resources_(new Resources(context)) {
    addLoadingNatives();
    addDrawingNatives();
    addTextNatives();
    addAudioNatives();
    addCompoNatives();
    state.getGlobals().set("res", this);
}

LuaResources::~LuaResources() = default;

void LuaResources::addLoadingNatives() {
    bindMethod("setPath", this, &LuaResources::setPath);
    addMethod("createSpriteSheet", this, &LuaResources::createSpriteSheet);
    addMethod("createCompoSpriteSet", this, &LuaResources::createCompoSpriteSet);
    addMethod("createBitmapFont", this, &LuaResources::createBitmapFont);
    addMethod("createSystemFont", this, &LuaResources::createSystemFont);
    addMethod("createTextGroupSet", this, &LuaResources::createTextGroupSet);
    bindMethod("captureSprite", this, &LuaResources::captureSprite);
    addMethod("releaseSpriteSheet", this, &LuaResources::releaseSpriteSheet);
    bindMethod("releaseCompoSpriteSet", this, &LuaResources::releaseCompoSpriteSet);
    bindMethod("releaseFont", this, &LuaResources::releaseFont);
    bindMethod("releaseTextGroupSet", this, &LuaResources::releaseTextGroupSet);
}

void LuaResources::addDrawingNatives() {
    addMethod("drawSprite", this, &LuaResources::drawSprite);
    addMethod("drawCompoSprite", this, &LuaResources::drawSprite);
    addMethod("drawSprites", this, &LuaResources::drawSprites, "(s, t, [s], [s])");
    bindMethod("setClipRect", this, &LuaResources::setClipRect);
    addMethod("getClipRect", this, &LuaResources::getClipRect);
    addMethod("getSpriteBounds", this, &LuaResources::getSpriteBounds);
    addMethod("getSpritePivot", this, &LuaResources::getSpritePivot);
    bindMethod("openURL", this, &LuaResources::openURL);
}

void LuaResources::addTextNatives() {
    addMethod("drawString", this, &LuaResources::drawString);
    bindMethod("loadLocale", this, &LuaResources::loadLocale);
    bindMethod("useLocale", this, &LuaResources::useLocale);
    bindMethod("useFont", this, &LuaResources::useFont);
    addMethod("getAvailableSystemFonts", this, &LuaResources::getAvailableSystemFonts);
    bindMethod("getString", this, &LuaResources::getString);
    bindMethod("getLocale", this, &LuaResources::getLocale);
    bindMethod("getStringWidth", this, &LuaResources::getStringWidth);
    bindMethod("getFontMaxAscending", this, &LuaResources::getFontMaxAscending);
    bindMethod("getFontMaxDescending", this, &LuaResources::getFontMaxDescending);
    bindMethod("getFontLeading", this, &LuaResources::getFontLeading);
    bindMethod("getFontTracking", this, &LuaResources::getFontTracking);
    bindMethod("getFontHeight", this, &LuaResources::getFontHeight);
}

int LuaResources::createSpriteSheet(lua::LuaState* state) {
    std::string path = state->toString(1);
    bool reload = optBoolean(state, 2, false);
    optBoolean(state, 3, false);  // accepted for old scripts; no effect
    resources_->createSpriteSheet(path, reload);
    return 0;
}

int LuaResources::createCompoSpriteSet(lua::LuaState* state) {
    std::string path = state->toString(1);
    resources_->createCompoSpriteSet(path, optBoolean(state, 2, false));
    return 0;
}

int LuaResources::createBitmapFont(lua::LuaState* state) {
    std::string path = state->toString(1);
    resources_->createBitmapFont(path, optBoolean(state, 2, false));
    return 0;
}

int LuaResources::createSystemFont(lua::LuaState* state) {
    std::string name = state->toString(1);
    std::string face = state->toString(2);
    int size = lang::truncateToInt(state->toNumber(3));
    // Packed as alpha, red, green, blue bytes, then split into the colour.
    uint32_t argb = 0;
    for (int i = 4; i <= 7; ++i) {
        argb = (argb << 8) | static_cast<uint32_t>(lang::truncateToInt(state->toNumber(i)));
    }
    int style = lang::truncateToInt(state->toNumber(8));
    bool reload = optBoolean(state, 9, false);
    resources_->createSystemFont(name, face, size, gr::Color::fromARGB(argb), style, reload);
    return 0;
}

int LuaResources::createTextGroupSet(lua::LuaState* state) {
    std::string path = state->toString(1);
    resources_->createTextGroupSet(path, optBoolean(state, 2, false));
    return 0;
}

int LuaResources::releaseSpriteSheet(lua::LuaState* state) {
    std::string path = state->toString(1);
    resources_->releaseSpriteSheet(path, optBoolean(state, 2, false));
    return 0;
}

void LuaResources::setPath(const std::string& path) {
    resources_->setPath(path);
}

void LuaResources::captureSprite(const std::string& name) {
    resources_->captureSprite(name);
}

void LuaResources::releaseCompoSpriteSet(const std::string& path) {
    resources_->releaseCompoSpriteSet(path);
}

void LuaResources::releaseFont(const std::string& path) {
    resources_->releaseFont(path);
}

void LuaResources::releaseTextGroupSet(const std::string& path) {
    resources_->releaseTextGroupSet(path);
}

int LuaResources::drawSprite(lua::LuaState* state) {
    // res:drawSprite(name, ...) is told apart by its second argument.
    int b = state->getType(2) == LUA_TNUMBER ? 0 : 1;
    std::string name = state->toString(1 + b);
    float x = state->toNumber(2 + b);
    float y = state->toNumber(3 + b);
    int vertical = ANCHOR_VPIVOT, horizontal = ANCHOR_HPIVOT;
    applyAnchor(optString(state, 4 + b), vertical, horizontal);
    applyAnchor(optString(state, 5 + b), vertical, horizontal);
    if (lua::isAbsent(state, 6 + b)) {
        resources_->drawSprite(name, x, y, vertical, horizontal);
    } else {
        float width = state->toNumber(6 + b);
        float height = state->toNumber(7 + b);
        resources_->drawSprite(name, x, y, vertical, horizontal, width, height);
    }
    return 0;
}

int LuaResources::drawSprites(lua::LuaState* state) {
    const int b = selfOffset(state);
    std::string name = state->toString(1 + b);
    lua_State* L = state->getLua();
    const int list = 2 + b;
    if (!state->isTable(list)) {
        state->toTable(list);  // raises the strict reader's error
    }
    int vertical = ANCHOR_VPIVOT, horizontal = ANCHOR_HPIVOT;
    applyAnchor(optString(state, 3 + b), vertical, horizontal);
    applyAnchor(optString(state, 4 + b), vertical, horizontal);
    const int length = static_cast<int>(lua_objlen(L, list));
    if (length % 2 != 0) {
        throw lang::Exception(
            lang::Format("res.drawSprites takes x, y pairs; {0} numbers were given", length));
    }
    points_.resize(static_cast<size_t>(length / 2));
    for (int i = 0; i < length; ++i) {
        lua_rawgeti(L, list, i + 1);
        if (lua_type(L, -1) != LUA_TNUMBER) {
            throw lang::Exception(
                lang::Format("res.drawSprites: entry {0} of the points is not a number", i + 1));
        }
        const float value = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
        (i % 2 ? points_[i / 2].y : points_[i / 2].x) = value;
    }
    resources_->drawSprites(name, points_.data(), length / 2, vertical, horizontal);
    return 0;
}

int LuaResources::drawString(lua::LuaState* state) {
    std::string group = state->toString(1);
    std::string key = state->toString(2);
    float x = state->toNumber(3);
    float y = state->toNumber(4);
    int vertical = ANCHOR_TOP, horizontal = ANCHOR_LEFT;
    applyAnchor(optString(state, 5), vertical, horizontal);
    applyAnchor(optString(state, 6), vertical, horizontal);
    resources_->drawString(group, key, x, y, vertical, horizontal);
    return 0;
}

void LuaResources::setClipRect(float x, float y, float width, float height) {
    resources_->setClipRect(lang::truncateToInt(x), lang::truncateToInt(y),
                            lang::truncateToInt(width), lang::truncateToInt(height));
}

int LuaResources::getClipRect(lua::LuaState* state) {
    int x, y, width, height;
    resources_->getClipRect(x, y, width, height);
    for (int v : {x, y, width, height}) {
        state->pushNumber(static_cast<float>(v));
    }
    return 4;
}

int LuaResources::getSpriteBounds(lua::LuaState* state) {
    int width, height;
    resources_->getSpriteBounds(state->toString(1 + selfOffset(state)), width, height);
    state->pushNumber(static_cast<float>(width));
    state->pushNumber(static_cast<float>(height));
    return 2;
}

int LuaResources::getSpritePivot(lua::LuaState* state) {
    int x, y;
    resources_->getSpritePivot(state->toString(1 + selfOffset(state)), x, y);
    state->pushNumber(static_cast<float>(x));
    state->pushNumber(static_cast<float>(y));
    return 2;
}

int LuaResources::getAvailableSystemFonts(lua::LuaState* state) {
    lua::LuaTable names(*state);
    int i = 1;
    for (const std::string& name : Resources::getAvailableSystemFonts()) {
        names.set(i++, name);
    }
    state->pushTable(&names);
    return 1;
}

void LuaResources::loadLocale(const std::string& group, const std::string& locale) {
    resources_->loadLocale(group, locale);
}

void LuaResources::useLocale(const std::string& locale) {
    resources_->useLocale(locale);
}

void LuaResources::useFont(const std::string& name) {
    resources_->useFont(name);
}

std::string LuaResources::getString(const std::string& group, const std::string& key) {
    return resources_->getString(group, key);
}

std::string LuaResources::getLocale() {
    return resources_->getLocale();
}

float LuaResources::getStringWidth(const std::string& text) {
    return static_cast<float>(resources_->getStringWidth(text));
}

float LuaResources::getFontMaxAscending() {
    return static_cast<float>(resources_->getFontMaxAscending());
}

float LuaResources::getFontMaxDescending() {
    return static_cast<float>(resources_->getFontMaxDescending());
}

float LuaResources::getFontLeading() {
    return static_cast<float>(resources_->getFontLeading());
}

float LuaResources::getFontTracking() {
    return static_cast<float>(resources_->getFontTracking());
}

float LuaResources::getFontHeight() {
    return static_cast<float>(resources_->getFontHeight());
}

void LuaResources::openURL(const std::string& url) {
    if (!launcher_) {
        launcher_ = new pf::Launcher();
    }
    launcher_->openURL(url);
}

}  // namespace game
