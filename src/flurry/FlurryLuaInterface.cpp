#include "flurry/FlurryLuaInterface.h"

#include "flurry/Flurry.h"

namespace flurry {

namespace {

// Entries of the table at index whose key and value are both strings (numbers
// are not taken for strings here).
Parameters stringEntries(lua::LuaState& state, int index) {
    Parameters parameters;
    lua_State* L = state.getLua();
    state.pushNil();
    while (state.next(index)) {
        if (state.getType(-2) == LUA_TSTRING && state.getType(-1) == LUA_TSTRING) {
            size_t keySize = 0;
            size_t valueSize = 0;
            const char* key = lua_tolstring(L, -2, &keySize);
            const char* value = lua_tolstring(L, -1, &valueSize);
            parameters[std::string(key, keySize)] = std::string(value, valueSize);
        }
        state.pop(1);
    }
    return parameters;
}

}  // namespace

FlurryLuaInterface::FlurryLuaInterface(lua::LuaState& state, Flurry* flurry)
    : lua::LuaObject(state), flurry_(flurry) {
    addMethod("startSession", this, &FlurryLuaInterface::startSession);
    addMethod("endSession", this, &FlurryLuaInterface::endSession);
    addMethod("logEvent", this, &FlurryLuaInterface::logEvent);
    state.getGlobals().set("Flurry", this);
}

FlurryLuaInterface::~FlurryLuaInterface() = default;

int FlurryLuaInterface::startSession(lua::LuaState* state) {
    flurry_->startSession(state->toString(1));
    return 0;
}

int FlurryLuaInterface::endSession(lua::LuaState*) {
    flurry_->endSession();
    return 0;
}

int FlurryLuaInterface::logEvent(lua::LuaState* state) {
    int count = state->getTop();
    std::string name = state->toString(1);
    Parameters parameters;
    if (count == 2 && state->getType(2) == LUA_TSTRING) {
        parameters[state->toString(2)] = std::string();
    } else if (count == 2 && state->isTable(2)) {
        parameters = stringEntries(*state, 2);
    } else if (count == 3) {
        std::string key = state->toString(2);
        parameters[key] = state->toString(3);
    }
    flurry_->logEvent(name, parameters);
    return 0;
}

}  // namespace flurry
