// The Lua table serializer behind the saved tables: a table built from the
// input is written as text, the text is run into an empty table, and the two
// must hold the same entries. What the writer leaves out on purpose is left
// out of the comparison too: keys that are not names at the top level, the
// keys "_G" and "this", keys that are tables, values it cannot write
// (functions) and tables already being written (cycles). A table the writer
// refuses (its text would not compile) is not compared.
#include <cmath>
#include <cstring>

#include "FuzzSupport.h"
#include "lua.h"
#include "lua/LuaException.h"
#include "lua/LuaSerializer.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"
#include "lua/StackGuard.h"

namespace {

lua::LuaState& state() {
    static lua::LuaState* s = new lua::LuaState();  // one interpreter for the whole run
    return *s;
}

int noop(lua_State*) {
    return 0;
}

const char* const kWords[] = {"a", "b", "score", "_G", "this", "end", "nil", "x1", "_", "level"};

// Pushes a key made from the input.
void pushKey(lua_State* L, fuzz::Input& in) {
    switch (in.byte() % 6) {
        case 0:
            lua_pushstring(L, kWords[in.byte() % (sizeof kWords / sizeof *kWords)]);
            break;
        case 1: {
            std::string s = in.text(24);
            lua_pushlstring(L, s.data(), s.size());
            break;
        }
        case 2:
            lua_pushnumber(L, lua_Number(int(in.byte() % 12) - 2));
            break;
        case 3: {
            uint32_t bits = in.u32();
            float f;
            std::memcpy(&f, &bits, sizeof f);
            lua_pushnumber(L, std::isnan(f) ? 0.5f : f);
            break;
        }
        case 4:
            lua_pushboolean(L, in.flag());
            break;
        default:
            lua_newtable(L);  // a table key: never written
            break;
    }
}

// Pushes a plain value made from the input.
void pushValue(lua_State* L, fuzz::Input& in) {
    switch (in.byte() % 5) {
        case 0: {
            std::string s = in.text(48);
            lua_pushlstring(L, s.data(), s.size());
            break;
        }
        case 1: {
            uint32_t bits = in.u32();
            float f;
            std::memcpy(&f, &bits, sizeof f);
            lua_pushnumber(L, f);
            break;
        }
        case 2:
            lua_pushnumber(L, lua_Number(int(in.u16()) - 1000));
            break;
        case 3:
            lua_pushboolean(L, in.flag());
            break;
        default:
            lua_pushcfunction(L, noop);
            break;
    }
}

// Builds the table on top of the stack from the input. `open` holds the
// stack indices of the tables being filled, outermost first.
void build(lua_State* L, fuzz::Input& in) {
    std::vector<int> open{lua_gettop(L)};
    while (!in.empty() && lua_checkstack(L, 8)) {
        const int t = open.back();
        switch (in.byte() % 6) {
            case 0:
            case 1:
                pushKey(L, in);
                pushValue(L, in);
                lua_settable(L, t);
                break;
            case 2:
                lua_pushnumber(L, lua_Number(lua_objlen(L, t) + 1));
                pushValue(L, in);
                lua_settable(L, t);
                break;
            case 3:  // a nested table, filled next
                pushKey(L, in);
                lua_newtable(L);
                lua_pushvalue(L, -1);
                lua_insert(L, -3);
                lua_settable(L, t);
                open.push_back(lua_gettop(L));
                break;
            case 4:  // back to the enclosing table
                if (open.size() > 1) {
                    lua_settop(L, open[open.size() - 2]);
                    open.pop_back();
                }
                break;
            default:  // a table already built: a cycle or a shared one
                pushKey(L, in);
                lua_pushvalue(L, open[in.byte() % open.size()]);
                lua_settable(L, t);
                break;
        }
    }
    lua_settop(L, open.front());
}

bool isName(lua_State* L, int index) {
    size_t length = 0;
    const char* s = lua_tolstring(L, index, &length);
    return lua::isIdentifier(s, length);
}

bool isSkippedName(lua_State* L, int index) {
    size_t length = 0;
    const char* s = lua_tolstring(L, index, &length);
    return (length == 2 && std::memcmp(s, "_G", 2) == 0) ||
           (length == 4 && std::memcmp(s, "this", 4) == 0);
}

std::string describe(lua_State* L, int index) {
    switch (lua_type(L, index)) {
        case LUA_TNUMBER: {
            char text[32];
            std::snprintf(text, sizeof text, "%.9g", double(lua_tonumber(L, index)));
            return text;
        }
        case LUA_TSTRING: {
            std::string out;
            size_t length = 0;
            const char* s = lua_tolstring(L, index, &length);
            lua::appendStringLiteral(s, length, out);
            return out;
        }
        case LUA_TBOOLEAN:
            return lua_toboolean(L, index) ? "true" : "false";
        default:
            return lua_typename(L, lua_type(L, index));
    }
}

class Compare {
public:
    Compare(lua_State* L, const std::string& text) : L_(L), text_(text) {}

    // The table at `a` as written must equal the table at `b` as read.
    void tables(int a, int b, bool nested) {
        // Three slots a level; the writer refuses trees deeper than Lua's stack allows.
        QF_FUZZ_CHECK(lua_checkstack(L_, 4),
                      "no stack left at depth " + std::to_string(path_.size()));
        path_.push_back(lua_topointer(L_, a));
        int kept = 0;
        lua_pushnil(L_);
        while (lua_next(L_, a) != 0) {
            const int value = lua_gettop(L_);
            const int key = value - 1;
            if (written(key, value, nested)) {
                ++kept;
                lua_pushvalue(L_, key);
                lua_rawget(L_, b);
                values(value, lua_gettop(L_), describe(L_, key));
                lua_pop(L_, 1);
            }
            lua_pop(L_, 1);
        }
        int read = 0;
        lua_pushnil(L_);
        while (lua_next(L_, b) != 0) {
            ++read;
            lua_pop(L_, 1);
        }
        QF_FUZZ_CHECK(read == kept, std::to_string(kept) + " entries written, " +
                                        std::to_string(read) + " read\n" + text_);
        path_.pop_back();
    }

private:
    bool onPath(const void* p) const {
        for (const void* q : path_) {
            if (p == q) {
                return true;
            }
        }
        return false;
    }

    bool written(int key, int value, bool nested) const {
        const int k = lua_type(L_, key);
        const int v = lua_type(L_, value);
        if (k != LUA_TBOOLEAN && k != LUA_TNUMBER && k != LUA_TSTRING) {
            return false;
        }
        if (v != LUA_TBOOLEAN && v != LUA_TNUMBER && v != LUA_TSTRING && v != LUA_TTABLE) {
            return false;
        }
        if (v == LUA_TTABLE && onPath(lua_topointer(L_, value))) {
            return false;
        }
        if (!nested && !(k == LUA_TSTRING && isName(L_, key))) {
            return false;
        }
        return !(k == LUA_TSTRING && isSkippedName(L_, key));
    }

    void values(int a, int b, const std::string& key) {
        const int type = lua_type(L_, a);
        QF_FUZZ_CHECK(lua_type(L_, b) == type, "key " + key + ": " + describe(L_, a) +
                                                   " read back as " + describe(L_, b) + "\n" +
                                                   text_);
        if (type == LUA_TTABLE) {
            tables(a, b, true);
        } else if (type == LUA_TNUMBER) {
            const float x = lua_tonumber(L_, a);
            const float y = lua_tonumber(L_, b);
            // Equal as Lua compares them: its compiler keeps one constant for
            // 0 and -0, so -0 may read back as 0.
            QF_FUZZ_CHECK((std::isnan(x) && std::isnan(y)) || x == y,
                          "key " + key + ": " + describe(L_, a) + " read back as " +
                              describe(L_, b) + "\n" + text_);
        } else {
            QF_FUZZ_CHECK(lua_rawequal(L_, a, b), "key " + key + ": " + describe(L_, a) +
                                                      " read back as " + describe(L_, b) + "\n" +
                                                      text_);
        }
    }

    lua_State* L_;
    const std::string& text_;
    std::vector<const void*> path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lua::LuaState& s = state();
    lua_State* L = s.getLua();
    {
        lua::StackGuard guard(L);
        fuzz::Input in(data, size);
        lua_newtable(L);
        const int written = lua_gettop(L);
        build(L, in);
        lua::LuaTable table = s.toTable(written);
        std::string text;
        try {
            text = table.serializeToString(0, false);
        } catch (const lua::LuaException&) {
            return 0;  // refused (too deep): nothing is written
        }
        lua::LuaTable read(s);
        try {
            s.runBuffer(text.data(), text.size(), "saved table", &read);
        } catch (const lua::LuaException& e) {
            QF_FUZZ_CHECK(false,
                          std::string("written text does not load: ") + e.what() + "\n" + text);
        }
        read.push();
        Compare(L, text).tables(written, lua_gettop(L), false);
    }
    lua_gc(L, LUA_GCCOLLECT, 0);
    return 0;
}
