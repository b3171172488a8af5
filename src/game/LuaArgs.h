#pragma once

// Reading optional native arguments: an absent or nil argument takes the
// default, any other value must have the expected type (strict readers).

#include <string>

#include "lua.h"
#include "lua/LuaState.h"

namespace game {
namespace luaargs {

inline bool absent(lua::LuaState* state, int index) {
    int type = state->getType(index);
    return type == LUA_TNONE || type == LUA_TNIL;
}

inline bool optBoolean(lua::LuaState* state, int index, bool fallback) {
    return absent(state, index) ? fallback : state->toBoolean(index);
}

inline float optNumber(lua::LuaState* state, int index, float fallback) {
    return absent(state, index) ? fallback : state->toNumber(index);
}

inline std::string optString(lua::LuaState* state, int index) {
    return absent(state, index) ? std::string() : std::string(state->toString(index));
}

// 1 when the native was called with the colon syntax (the table itself first).
inline int selfOffset(lua::LuaState* state) {
    return state->getType(1) == LUA_TTABLE ? 1 : 0;
}

}  // namespace luaargs
}  // namespace game
