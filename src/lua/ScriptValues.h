#pragma once

// The one home of the helpers that read script values and call script
// functions. Script data is read leniently (a missing number takes its
// default, a flag counts only when it is the boolean true); optional native
// arguments are read strictly (absent or nil takes the default, any other
// value must have the expected type).

#include <string>
#include <vector>

#include "lua.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"
#include "lua/StackGuard.h"

namespace lua {

// Lenient readers of table entries. The handle must not be empty.

/// A boolean that is true; other values Lua treats as true do not count.
inline bool isTrue(const LuaTable& table, const LuaTable::Key& key) {
    return table.isTrueBoolean(key);
}

/// The number under key, or fallback when the value is not a number.
inline float numberOr(const LuaTable& table, const LuaTable::Key& key, float fallback) {
    return table.getNumberOr(key, fallback);
}

/// The table under key, or an empty handle when the value is no table.
inline LuaTable tableOrEmpty(const LuaTable& table, const LuaTable::Key& key) {
    return table.isTable(key) ? table.getTable(key) : LuaTable();
}

/// Whether the value under key is a Lua string; unlike LuaTable::isString, a
/// number does not count.
inline bool holdsString(const LuaTable& table, const char* key) {
    StackGuard guard(table.getState()->getLua());
    table.pushField(key);
    return lua_type(table.getState()->getLua(), -1) == LUA_TSTRING;
}

/// The strings of an array from index 1 up to the first value that is not a
/// string (a number ends the list too).
std::vector<std::string> stringsOf(const LuaTable& array);

// Optional native arguments on the stack.

/// No argument at index, or nil.
inline bool isAbsent(LuaState* state, int index) {
    const int type = state->getType(index);
    return type == LUA_TNONE || type == LUA_TNIL;
}

inline bool optBoolean(LuaState* state, int index, bool fallback) {
    return isAbsent(state, index) ? fallback : state->toBoolean(index);
}

inline float optNumber(LuaState* state, int index, float fallback) {
    return isAbsent(state, index) ? fallback : state->toNumber(index);
}

/// Empty when absent.
inline std::string optString(LuaState* state, int index) {
    return isAbsent(state, index) ? std::string() : std::string(state->toString(index));
}

/// The argument at index is the boolean true (leniently: any other value is false).
inline bool isTrue(LuaState* state, int index) {
    return state->isBoolean(index) && state->toBoolean(index);
}

/// 1 when the native was called with the colon syntax (the table itself first).
inline int selfOffset(LuaState* state) {
    return state->getType(1) == LUA_TTABLE ? 1 : 0;
}

// Calling script functions by name.

inline void pushArg(LuaState& state, float value) {
    state.pushNumber(value);
}
inline void pushArg(LuaState& state, bool value) {
    state.pushBoolean(value);
}
inline void pushArg(LuaState& state, const std::string& value) {
    state.pushString(value);
}
inline void pushArg(LuaState& state, const char* value) {
    state.pushString(value);
}
inline void pushArg(LuaState& state, const LuaTable& value) {
    state.pushTable(&value);
}

/// Pushes the function stored in owner under name. Throws LuaException "Script
/// function <name> is not defined", with the call stack, when it is no function.
void pushFunction(const LuaTable& owner, const char* name);

/// Calls owner[name] with the arguments (float, bool, strings, tables) and no
/// results. Throws LuaException when it is not defined or raises an error.
template <class... A>
void callHook(const LuaTable& owner, const char* name, const A&... args) {
    LuaState& state = *owner.getState();
    StackGuard guard(state.getLua());
    pushFunction(owner, name);
    (pushArg(state, args), ...);
    state.call(static_cast<int>(sizeof...(A)), 0);
}

}  // namespace lua
