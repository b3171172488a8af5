#include "lua/LuaTable.h"

#include <utility>

#include "io/InputStream.h"
#include "io/OutputStream.h"
#include "lang/Format.h"
#include "lauxlib.h"
#include "lua/LuaException.h"
#include "lua/LuaSerializer.h"
#include "lua/LuaState.h"
#include "lua/LuaTableWalker.h"
#include "lua/StackGuard.h"

namespace lua {

namespace {

[[noreturn]] void throwNotTable(const LuaTable::Key& key, int type) {
    throw LuaException(
        lang::Format("Tried to get value {0} from table, but type was {1} instead of {2}",
                     key.toString(), LuaState::typeName(type), "TABLE"));
}

}  // namespace

std::string LuaTable::Key::toString() const {
    return isIndex_ ? std::to_string(index_) : std::string(name_ ? name_ : "nil");
}

LuaTable::LuaTable() : state_(nullptr), ref_(LUA_NOREF) {}

LuaTable::LuaTable(LuaState& state) : state_(&state), ref_(LUA_NOREF) {
    lua_State* L = state.getLua();
    lua_newtable(L);
    ref_ = luaL_ref(L, LUA_REGISTRYINDEX);
}

LuaTable::LuaTable(const LuaTable& other) : lang::Object(other), state_(nullptr), ref_(LUA_NOREF) {
    if (!other.isEmpty()) {
        lua_State* L = other.state_->getLua();
        other.push();
        ref_ = luaL_ref(L, LUA_REGISTRYINDEX);
        state_ = other.state_;
    }
}

LuaTable& LuaTable::operator=(const LuaTable& other) {
    // The new reference is taken before the old one goes.
    LuaTable copy(other);
    std::swap(state_, copy.state_);
    std::swap(ref_, copy.ref_);
    return *this;
}

LuaTable::~LuaTable() {
    if (!isEmpty()) {
        luaL_unref(state_->getLua(), LUA_REGISTRYINDEX, ref_);
    }
}

void LuaTable::push() const {
    if (!isEmpty()) {
        lua_rawgeti(state_->getLua(), LUA_REGISTRYINDEX, ref_);
    } else if (state_) {
        lua_pushnil(state_->getLua());
    }
}

lua_State* LuaTable::luaFor(const Key& key) const {
    if (isEmpty()) {
        throwNotTable(key, LUA_TNIL);
    }
    if (!key.isIndex() && !key.name()) {
        throw LuaException(lang::Format("table index is nil"));
    }
    return state_->getLua();
}

void LuaTable::pushTableAndKey(lua_State* L, const Key& key) const {
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref_);
    if (key.isIndex()) {
        lua_pushinteger(L, key.index());
    } else if (key.isFixed()) {
        state_->pushKey(L, key.name());
    } else {
        lua_pushstring(L, key.name());
    }
}

int LuaTable::pushValueOf(lua_State* L, const Key& key) const {
    pushTableAndKey(L, key);
    lua_rawget(L, -2);
    lua_remove(L, -2);
    return lua_type(L, -1);
}

void LuaTable::set(const Key& key, const std::string& value) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushTableAndKey(L, key);
    lua_pushlstring(L, value.data(), value.size());
    lua_rawset(L, -3);
}

void LuaTable::set(const Key& key, const char* value) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushTableAndKey(L, key);
    if (value) {
        lua_pushstring(L, value);
    } else {
        lua_pushnil(L);
    }
    lua_rawset(L, -3);
}

void LuaTable::set(const Key& key, float value) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushTableAndKey(L, key);
    lua_pushnumber(L, value);
    lua_rawset(L, -3);
}

void LuaTable::set(const Key& key, bool value) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushTableAndKey(L, key);
    lua_pushboolean(L, value ? 1 : 0);
    lua_rawset(L, -3);
}

void LuaTable::set(const Key& key, const LuaTable* value) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushTableAndKey(L, key);
    if (value && !value->isEmpty()) {
        value->push();
    } else {
        lua_pushnil(L);
    }
    lua_rawset(L, -3);
}

void LuaTable::remove(const Key& key) const {
    set(key, static_cast<const LuaTable*>(nullptr));
}

float LuaTable::getNumber(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    return lua_tonumber(L, -1);
}

bool LuaTable::getBoolean(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    return lua_toboolean(L, -1) != 0;
}

std::string LuaTable::getString(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    size_t length = 0;
    // Converting the pushed copy of a number leaves the table untouched.
    const char* text = lua_isstring(L, -1) ? lua_tolstring(L, -1, &length) : nullptr;
    return text ? std::string(text, length) : std::string();
}

LuaTable LuaTable::getTable(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    int type = pushValueOf(L, key);
    if (type != LUA_TTABLE) {
        throwNotTable(key, type);
    }
    return LuaTable(state_, luaL_ref(L, LUA_REGISTRYINDEX));
}

bool LuaTable::isNil(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    return pushValueOf(L, key) == LUA_TNIL;
}

bool LuaTable::isString(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    return lua_isstring(L, -1) != 0;
}

bool LuaTable::isNumber(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    return lua_isnumber(L, -1) != 0;
}

bool LuaTable::isTable(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    return pushValueOf(L, key) == LUA_TTABLE;
}

bool LuaTable::isBoolean(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    return pushValueOf(L, key) == LUA_TBOOLEAN;
}

bool LuaTable::isTrueBoolean(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    return pushValueOf(L, key) == LUA_TBOOLEAN && lua_toboolean(L, -1) != 0;
}

float LuaTable::getNumberOr(const Key& key, float fallback) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    return lua_isnumber(L, -1) ? static_cast<float>(lua_tonumber(L, -1)) : fallback;
}

void LuaTable::pushField(const Key& key) const {
    pushValueOf(luaFor(key), key);
}

void LuaTable::callFunction(const Key& key) const {
    lua_State* L = luaFor(key);
    StackGuard guard(L);
    pushValueOf(L, key);
    state_->call(0, 0);
}

int LuaTable::count() const {
    if (isEmpty()) {
        return 0;
    }
    lua_State* L = state_->getLua();
    StackGuard guard(L);
    push();
    int entries = 0;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        lua_pop(L, 1);
        ++entries;
    }
    return entries;
}

void LuaTable::visit(LuaTableVisitor& visitor) const {
    if (isEmpty()) {
        return;
    }
    lua_State* L = state_->getLua();
    StackGuard guard(L);
    push();
    visitTable(L, lua_gettop(L), visitor);
}

void LuaTable::accept(LuaTableVisitor& visitor) const {
    visitor.begin();
    visit(visitor);
    visitor.end();
}

void LuaTable::runScript(io::InputStream& stream) const {
    if (state_) {
        state_->runStream(stream, stream.getName(), this);
    }
}

std::string LuaTable::serializeToString(int indent, bool nested) const {
    std::string text;
    if (!isEmpty()) {
        lua_State* L = state_->getLua();
        StackGuard guard(L);
        push();
        serializeTable(L, lua_gettop(L), indent, nested, text);
    }
    return text;
}

void LuaTable::serialize(io::OutputStream& out, int indent, bool nested) const {
    std::string text = serializeToString(indent, nested);
    // One write; the stream sees the same bytes as a byte-by-byte writer would.
    if (!text.empty()) {
        out.write(text.data(), static_cast<int>(text.size()));
    }
}

}  // namespace lua
