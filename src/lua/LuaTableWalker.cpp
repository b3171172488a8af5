#include "lua/LuaTableWalker.h"

#include <vector>

#include "lang/Format.h"
#include "lua.h"
#include "lua/LuaException.h"
#include "lua/LuaTableVisitor.h"

namespace lua {

namespace {

const int kMaxDepth = 1000;

class Walker {
public:
    Walker(lua_State* L, LuaTableVisitor& visitor) : L_(L), visitor_(visitor) {}

    void table(int index);

private:
    void entry();
    void scalar(const char* name, bool named, int index);
    bool onPath(const void* table) const;

    lua_State* L_;
    LuaTableVisitor& visitor_;
    std::vector<const void*> path_;  // tables being walked, to cut cycles
};

bool Walker::onPath(const void* table) const {
    for (const void* p : path_) {
        if (p == table) {
            return true;
        }
    }
    return false;
}

void Walker::table(int index) {
    if (path_.size() >= static_cast<size_t>(kMaxDepth) || !lua_checkstack(L_, 4)) {
        throw LuaException(lang::Format("Table nesting deeper than {0} levels", kMaxDepth));
    }
    path_.push_back(lua_topointer(L_, index));
    lua_pushnil(L_);
    while (lua_next(L_, index) != 0) {
        entry();
        lua_pop(L_, 1);
    }
    path_.pop_back();
}

void Walker::entry() {
    const char* name = nullptr;
    bool named = true;
    int index = 0;
    switch (lua_type(L_, -2)) {
        case LUA_TSTRING:
            name = lua_tostring(L_, -2);
            if (name[0] == '_' && name[1] == 'G' && name[2] == '\0') {
                return;
            }
            break;
        case LUA_TNUMBER: {
            // Keys that do not fit an int go to the named callbacks, like negatives.
            lua_Number key = lua_tonumber(L_, -2);
            if (key > -1.0f && key < 2147483648.0f) {
                named = false;
                index = static_cast<int>(key);
            }
            break;
        }
        default:
            return;
    }
    if (lua_type(L_, -1) != LUA_TTABLE) {
        scalar(name, named, index);
        return;
    }
    if (onPath(lua_topointer(L_, -1))) {
        return;
    }
    visitor_.beginTable(name);
    table(lua_gettop(L_));
    visitor_.endTable();
}

void Walker::scalar(const char* name, bool named, int index) {
    switch (lua_type(L_, -1)) {
        case LUA_TBOOLEAN: {
            bool value = lua_toboolean(L_, -1) != 0;
            named ? visitor_.visitBoolean(name, value) : visitor_.visitBoolean(index, value);
            break;
        }
        case LUA_TNUMBER: {
            float value = lua_tonumber(L_, -1);
            named ? visitor_.visitNumber(name, value) : visitor_.visitNumber(index, value);
            break;
        }
        case LUA_TSTRING: {
            const char* value = lua_tostring(L_, -1);
            named ? visitor_.visitString(name, value) : visitor_.visitString(index, value);
            break;
        }
        default:
            break;  // functions, userdata and threads have no visitor form
    }
}

}  // namespace

void visitTable(lua_State* L, int index, LuaTableVisitor& visitor) {
    if (index < 0 && index > LUA_REGISTRYINDEX) {
        index = lua_gettop(L) + index + 1;
    }
    Walker(L, visitor).table(index);
}

}  // namespace lua
