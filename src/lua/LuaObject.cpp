#include "lua/LuaObject.h"

#include <cstring>
#include <utility>

#include "lang/Format.h"
#include "lauxlib.h"
#include "lua/LuaException.h"
#include "lua/StackGuard.h"

namespace lua {

namespace detail {

void ownerReleased(lua_State* L) {
    throw LuaException(lang::Format("{0}{1}",
                                    "Script method called after its native object was released",
                                    LuaState::getCallStack(L)));
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
    alive_ = static_cast<bool*>(lua_newuserdata(L, sizeof(bool)));
    *alive_ = true;
    aliveRef_ = luaL_ref(L, LUA_REGISTRYINDEX);
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
    // Closures still held by scripts keep the flag and now find it cleared.
    *alive_ = false;
    luaL_unref(L, LUA_REGISTRYINDEX, aliveRef_);
}

void LuaObject::storeMethod(const char* name, lua_CFunction trampoline, void* object,
                            const void* method, size_t size) {
    LuaState& state = *getState();
    lua_State* L = state.getLua();
    StackGuard guard(L);
    push();
    lua_pushstring(L, name);
    auto* binding =
        static_cast<detail::Binding*>(lua_newuserdata(L, sizeof(detail::Binding) + size));
    binding->object = object;
    binding->alive = alive_;
    std::memcpy(binding + 1, method, size);
    lua_rawgeti(L, LUA_REGISTRYINDEX, aliveRef_);
    lua_pushcclosure(L, trampoline, 2);
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
