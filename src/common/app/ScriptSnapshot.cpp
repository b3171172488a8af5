#include "common/app/ScriptSnapshot.h"

#include "lua/LuaState.h"
#include "lua/StackGuard.h"

namespace {

// Pushes a copy of the fields of the table at index and queues the tables
// among its keys and values that copies does not hold yet.
void copyFields(lua_State* L, int table, int copies, int todo, int& queued) {
    lua_newtable(L);
    const int copy = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, table)) {
        for (int slot : {-2, -1}) {
            if (lua_type(L, slot) != LUA_TTABLE) {
                continue;
            }
            lua_pushvalue(L, slot);
            lua_rawget(L, copies);
            const bool known = !lua_isnil(L, -1);
            lua_pop(L, 1);
            if (!known) {
                lua_pushvalue(L, slot);
                lua_rawseti(L, todo, ++queued);
            }
        }
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, copy);  // copy[key] = value; the key stays for lua_next
    }
}

}  // namespace

ScriptSnapshot::ScriptSnapshot(const lua::LuaTable& root) {
    lua::LuaState& state = *root.getState();
    lua_State* L = state.getLua();
    lua::StackGuard guard(L);
    lua_checkstack(L, 8);
    lua_newtable(L);
    const int copies = lua_gettop(L);
    lua_newtable(L);
    const int todo = lua_gettop(L);
    int queued = 0;
    root.push();
    lua_rawseti(L, todo, ++queued);
    while (queued > 0) {
        lua_rawgeti(L, todo, queued);
        lua_pushnil(L);
        lua_rawseti(L, todo, queued--);
        const int table = lua_gettop(L);
        lua_pushvalue(L, table);
        lua_rawget(L, copies);
        const bool known = !lua_isnil(L, -1);
        lua_pop(L, 1);
        if (!known) {
            copyFields(L, table, copies, todo, queued);
            lua_pushvalue(L, table);
            lua_insert(L, -2);
            lua_rawset(L, copies);
            ++tables_;
        }
        lua_settop(L, todo);
    }
    copies_ = state.toTable(copies);
}

void ScriptSnapshot::restore() const {
    lua_State* L = copies_.getState()->getLua();
    lua::StackGuard guard(L);
    lua_checkstack(L, 8);
    copies_.push();
    const int copies = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, copies)) {
        const int copy = lua_gettop(L), table = copy - 1;
        // Clearing the fields one by one is allowed while traversing.
        lua_pushnil(L);
        while (lua_next(L, table)) {
            lua_pop(L, 1);
            lua_pushvalue(L, -1);
            lua_pushnil(L);
            lua_rawset(L, table);
        }
        lua_pushnil(L);
        while (lua_next(L, copy)) {
            lua_pushvalue(L, -2);
            lua_insert(L, -2);
            lua_rawset(L, table);
        }
        lua_pop(L, 1);  // the copy; the table is the key for lua_next
    }
}
