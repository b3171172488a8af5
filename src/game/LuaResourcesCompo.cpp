// The composite-sprite natives of the table "res".

#include "game/CompoSprite.h"
#include "game/LuaResources.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"

namespace game {

namespace {

const char* const TAG = "game/LuaResources";

CompoSprite* findCompo(const Resources& resources, const std::string& name, const char* function,
                       bool forSet) {
    CompoSprite* compo = resources.getCompoSprite(name);
    if (!compo && forSet) {
        lang::log::write(TAG, __FILE__, function, __LINE__, lang::log::ERROR,
                         "Could not find composprite (for set): %s", name.c_str());
    } else if (!compo) {
        lang::log::write(TAG, __FILE__, function, __LINE__, lang::log::ERROR,
                         "Could not find composprite (for get): %s", name.c_str());
    }
    return compo;
}

// The part named by argument 2: a 0-based index or a part name; null otherwise.
CompoSprite::Entry* findEntry(lua::LuaState* state, const CompoSprite& compo) {
    switch (state->getType(2)) {
        case LUA_TNUMBER:
            return compo.getSpriteEntry(lang::truncateToInt(state->toNumber(2)));
        case LUA_TSTRING:
            return compo.getSpriteEntry(std::string(state->toString(2)));
        default:
            return nullptr;
    }
}

void pushEntry(lua::LuaState* state, const CompoSprite::Entry& e) {
    lua::LuaTable t(*state);
    t.set("name", e.name);
    t.set("x", e.x);
    t.set("y", e.y);
    t.set("scaleX", e.scaleX);
    t.set("scaleY", e.scaleY);
    t.set("flipX", e.flipX < 0);
    t.set("flipY", e.flipY < 0);
    t.set("angle", e.angle);
    t.set("visible", e.visible);
    state->pushTable(&t);
}

void setNumber(const lua::LuaTable& t, const char* key, float& field) {
    if (!t.isNil(key)) {
        field = t.getNumber(key);
    }
}

void applyFields(const lua::LuaTable& t, CompoSprite& compo, CompoSprite::Entry& e,
                 const SpriteProvider& sprites) {
    if (!t.isNil("name")) {
        std::string name = t.getString("name");
        if (name != e.name) {
            std::string spriteName = name.substr(0, name.find('#'));
            compo.renameEntry(e.name, name, sprites.getSprite(spriteName));
        }
    }
    setNumber(t, "x", e.x);
    setNumber(t, "y", e.y);
    setNumber(t, "scaleX", e.scaleX);
    setNumber(t, "scaleY", e.scaleY);
    setNumber(t, "angle", e.angle);
    if (!t.isNil("flipX")) {
        e.flipX = lua::isTrue(t, "flipX") ? -1.f : 1.f;
    }
    if (!t.isNil("flipY")) {
        e.flipY = lua::isTrue(t, "flipY") ? -1.f : 1.f;
    }
    if (!t.isNil("visible")) {
        e.visible = lua::isTrue(t, "visible");
    }
}

}  // namespace

void LuaResources::addCompoNatives() {
    addMethod("getCompoSpriteBounds", this, &LuaResources::getCompoSpriteBounds);
    addMethod("getCompoSpriteData", this, &LuaResources::getCompoSpriteData);
    addMethod("getCompoSpriteEntry", this, &LuaResources::getCompoSpriteEntry);
    addMethod("setCompoSpriteEntry", this, &LuaResources::setCompoSpriteEntry);
}

int LuaResources::getCompoSpriteBounds(lua::LuaState* state) {
    std::string name = state->toString(state->getTop() > 1 ? 2 : 1);
    CompoSprite* compo =
        findCompo(*resources_, name, "game::LuaResources::getCompoSpriteBounds", false);
    if (!compo) {
        return 0;
    }
    compo->updateBounds();
    // In float: the bounds of an empty figure overflow an int.
    float width = static_cast<float>(compo->getWidth());
    float height = static_cast<float>(compo->getHeight());
    float pivotX = static_cast<float>(compo->getPivotX());
    float pivotY = static_cast<float>(compo->getPivotY());
    for (float v : {-pivotX, -pivotY, width - pivotX, height - pivotY}) {
        state->pushNumber(v);
    }
    return 4;
}

int LuaResources::getCompoSpriteData(lua::LuaState* state) {
    CompoSprite* compo = resources_->getCompoSprite(state->toString(1));
    if (!compo) {
        return 0;
    }
    lua::LuaTable data(*state);
    for (int i = 0; i < compo->getEntryCount(); ++i) {
        const CompoSprite::Entry& e = *compo->getSpriteEntry(i);
        lua::LuaTable part(*state);
        part.set(1, e.name);
        part.set(2, e.x);
        part.set(3, e.y);
        data.set(i + 1, &part);
    }
    state->pushTable(&data);
    return 1;
}

int LuaResources::getCompoSpriteEntry(lua::LuaState* state) {
    std::string name = state->toString(1);
    CompoSprite* compo =
        findCompo(*resources_, name, "game::LuaResources::getCompoSpriteEntry", false);
    CompoSprite::Entry* entry = compo ? findEntry(state, *compo) : nullptr;
    if (!entry) {
        return 0;
    }
    pushEntry(state, *entry);
    return 1;
}

int LuaResources::setCompoSpriteEntry(lua::LuaState* state) {
    std::string name = state->toString(1);
    CompoSprite* compo =
        findCompo(*resources_, name, "game::LuaResources::setCompoSpriteEntry", true);
    CompoSprite::Entry* entry = compo ? findEntry(state, *compo) : nullptr;
    if (!entry) {
        return 0;
    }
    lua::LuaTable fields = state->toTable(3);
    applyFields(fields, *compo, *entry, *resources_);
    return 0;
}

}  // namespace game
