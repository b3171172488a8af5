#pragma once

// Private helpers of the GameLua implementation files.

#include <string>

#include "common/world/GameLua.h"
#include "lua/LuaState.h"
#include "lua/StackGuard.h"

namespace gamelua {

/// Boolean true: a boolean that is true (other values Lua treats as true do not count).
inline bool isTrue(const lua::LuaTable& table, const lua::LuaTable::Key& key) {
    return table.isBoolean(key) && table.getBoolean(key);
}

/// The number under key, or fallback when the value is not a number.
inline float numberOr(const lua::LuaTable& table, const lua::LuaTable::Key& key, float fallback) {
    return table.isNumber(key) ? table.getNumber(key) : fallback;
}

inline void pushArg(lua::LuaState& state, float value) {
    state.pushNumber(value);
}
inline void pushArg(lua::LuaState& state, bool value) {
    state.pushBoolean(value);
}
inline void pushArg(lua::LuaState& state, const std::string& value) {
    state.pushString(value);
}
inline void pushArg(lua::LuaState& state, const char* value) {
    state.pushString(value);
}
inline void pushArg(lua::LuaState& state, const lua::LuaTable& value) {
    state.pushTable(&value);
}

}  // namespace gamelua

template <class... A>
void GameLua::callHook(const char* name, const A&... args) {
    lua::LuaState& state = *getState();
    lua::StackGuard guard(state.getLua());
    pushHook(name);
    (gamelua::pushArg(state, args), ...);
    state.call(static_cast<int>(sizeof...(A)), 0);
}
