#include "lua/ScriptValues.h"

#include "lang/Format.h"
#include "lua/LuaException.h"

namespace lua {

std::vector<std::string> stringsOf(const LuaTable& array) {
    std::vector<std::string> strings;
    LuaState& state = *array.getState();
    StackGuard guard(state.getLua());
    for (int i = 1;; ++i) {
        array.pushField(i);
        const bool isString = state.getType(-1) == LUA_TSTRING;
        state.pop(1);
        if (!isString) {
            return strings;
        }
        strings.push_back(array.getString(i));
    }
}

void pushFunction(const LuaTable& owner, const char* name) {
    LuaState& state = *owner.getState();
    owner.pushField(name);
    if (!lua_isfunction(state.getLua(), -1)) {
        state.pop(1);
        throw LuaException(
            lang::Format("Script function {0} is not defined{1}", name, state.getCallStack()));
    }
}

}  // namespace lua
