#include "lua/LuaObject.h"

#include <cstring>
#include <utility>

#include "lang/Format.h"
#include "lua/LuaException.h"
#include "lua/StackGuard.h"

namespace lua {

namespace detail {

void checkOwnerAlive(lua_State* L) {
    if (!lua_istable(L, lua_upvalueindex(3))) {
        return;
    }
    lua_rawgeti(L, lua_upvalueindex(3), 0);
    bool alive = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (!alive) {
        throw LuaException(lang::Format("{0}{1}",
                                        "Script method called after its native object was released",
                                        LuaState::getCallStack(L)));
    }
}

}  // namespace detail

LuaObject::LuaObject(LuaState& state) : LuaTable(state) {
    lua_State* L = state.getLua();
    StackGuard guard(L);
    push();
    lua_pushlightuserdata(L, this);
    lua_rawseti(L, -2, 0);
    state.getGlobals().push();
    lua_setfield(L, -2, "_G");
    lua_pushvalue(L, -1);
    lua_setfield(L, -2, "this");
}

LuaObject::~LuaObject() {
    if (isEmpty()) {
        return;
    }
    lua_State* L = getState()->getLua();
    StackGuard guard(L);
    push();
    lua_pushnil(L);
    lua_rawseti(L, -2, 0);
}

void LuaObject::storeMethod(const char* name, lua_CFunction trampoline, void* object,
                            const void* method, size_t size) {
    LuaState& state = *getState();
    lua_State* L = state.getLua();
    StackGuard guard(L);
    push();
    lua_pushstring(L, name);
    lua_pushlightuserdata(L, object);
    std::memcpy(lua_newuserdata(L, size), method, size);
    push();
    lua_pushcclosure(L, trampoline, 3);
    state.setTable(-3);
}

void LuaObject::listNative(const char* name, std::string signature) {
    for (Native& native : natives_) {
        if (native.name == name) {
            native.signature = std::move(signature);
            native.topic = topic_;
            return;
        }
    }
    natives_.push_back(Native{name, std::move(signature), topic_});
}

}  // namespace lua
