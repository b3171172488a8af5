#include "lua/LuaState.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "io/InputStream.h"
#include "lang/Format.h"
#include "lauxlib.h"
#include "lua/LuaException.h"
#include "lua/StackGuard.h"
#include "lualib.h"

namespace lua {

namespace {

// Registry key under which coroutines find the wrapper of their state.
char stateKey;

const int kStreamBlock = 2048;

// Lua's own default allocator; the state is made with it so that its user
// pointer, which every thread of the state shares, is the wrapper. Natives
// find their LuaState from it without a registry lookup.
void* allocate(void*, void* block, size_t, size_t size) {
    if (size == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, size);
}

struct BufferReader {
    const char* data;
    size_t size;
};

const char* readBuffer(lua_State*, void* data, size_t* size) {
    auto* reader = static_cast<BufferReader*>(data);
    *size = reader->size;
    reader->size = 0;
    return *size > 0 ? reader->data : nullptr;
}

// Reads the stream in blocks. Runs inside Lua's protected parser, so a stream
// failure is kept here and rethrown once lua_load has returned.
struct StreamReader {
    io::InputStream* stream;
    int remaining;  // negative: length unknown, read to the end
    std::exception_ptr error;
    char block[kStreamBlock];
};

const char* readStream(lua_State*, void* data, size_t* size) {
    auto* reader = static_cast<StreamReader*>(data);
    *size = 0;
    if (reader->error || reader->remaining == 0) {
        return nullptr;
    }
    int want = reader->remaining < 0 ? kStreamBlock : std::min(kStreamBlock, reader->remaining);
    int got = 0;
    try {
        got = reader->stream->read(reader->block, want);
    } catch (...) {
        reader->error = std::current_exception();
        return nullptr;
    }
    if (got <= 0) {
        reader->remaining = 0;
        return nullptr;
    }
    got = std::min(got, want);
    if (reader->remaining > 0) {
        reader->remaining -= got;
    }
    *size = static_cast<size_t>(got);
    return reader->block;
}

// The value at index as text; empty unless it is a string or a number.
std::string textOf(lua_State* L, int index) {
    size_t length = 0;
    const char* text = lua_isstring(L, index) ? lua_tolstring(L, index, &length) : nullptr;
    return text ? std::string(text, length) : std::string();
}

// Passes blocks through, but ends the chunk at once when it is precompiled:
// Lua 5.1 cannot check bytecode well enough to run it from outside bytes.
struct SourceOnlyReader {
    lua_Reader inner;
    void* data;
    bool started;
    bool binary;
};

const char* readSourceOnly(lua_State* L, void* data, size_t* size) {
    auto* reader = static_cast<SourceOnlyReader*>(data);
    const char* block = reader->inner(L, reader->data, size);
    if (!reader->started && block && *size > 0) {
        reader->started = true;
        reader->binary = block[0] == LUA_SIGNATURE[0];
    }
    if (reader->binary) {
        *size = 0;
        return nullptr;
    }
    return block;
}

int setTableBody(lua_State* L) {
    lua_settable(L, 1);
    return 0;
}

}  // namespace

LuaState::LuaState() : main_(lua_newstate(&allocate, this)), L_(main_) {
    if (!main_) {
        throw LuaException(lang::Format("Failed to initialized Lua interpreter"));
    }
    lua_atpanic(main_, &LuaState::panic);
    try {
        registerWrapper();
        // One handler closure for every call: making it per call was garbage
        // the collector had to sweep, thousands of times a frame.
        lua_pushlightuserdata(main_, this);
        lua_pushcclosure(main_, &LuaState::messageHandler, 1);
        handlerRef_ = luaL_ref(main_, LUA_REGISTRYINDEX);
        openLibraries();
        lua_pushlightuserdata(main_, this);
        lua_pushcclosure(main_, &LuaState::scriptError, 1);
        lua_setfield(main_, LUA_GLOBALSINDEX, "error");
        lua_pushvalue(main_, LUA_GLOBALSINDEX);
        globals_ = LuaTable(this, luaL_ref(main_, LUA_REGISTRYINDEX));
    } catch (...) {
        globals_ = LuaTable();
        lua_close(main_);
        throw;
    }
}

void LuaState::pushKey(lua_State* L, const char* text) {
    if (!text) {
        lua_pushnil(L);
        return;
    }
    CachedKey& slot = keys_[(reinterpret_cast<uintptr_t>(text) >> 3) % KEY_SLOTS];
    if (slot.address == text && std::strcmp(slot.text.c_str(), text) == 0) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, slot.ref);
        return;
    }
    const size_t length = std::strlen(text);
    lua_pushlstring(L, text, length);
    if (length > KEY_MAX_LENGTH) {
        return;
    }
    luaL_unref(L, LUA_REGISTRYINDEX, slot.ref);
    lua_pushvalue(L, -1);
    slot.ref = luaL_ref(L, LUA_REGISTRYINDEX);
    slot.address = text;
    slot.text.assign(text, length);
}

LuaState::~LuaState() {
    globals_ = LuaTable();
    lua_close(main_);
}

void LuaState::registerWrapper() {
    // Trampolines find this object from the lua_State they are called with.
    lua_pushlightuserdata(main_, main_);
    lua_pushlightuserdata(main_, this);
    lua_rawset(main_, LUA_REGISTRYINDEX);
    lua_pushlightuserdata(main_, &stateKey);
    lua_pushlightuserdata(main_, this);
    lua_rawset(main_, LUA_REGISTRYINDEX);
}

void LuaState::openLibraries() {
    static const luaL_Reg libraries[] = {
        {"", luaopen_base},
        {LUA_TABLIBNAME, luaopen_table},
        {LUA_STRLIBNAME, luaopen_string},
        {LUA_MATHLIBNAME, luaopen_math},
        {LUA_OSLIBNAME, luaopen_os},
    };
    for (const luaL_Reg& library : libraries) {
        lua_pushcfunction(main_, library.func);
        lua_pushstring(main_, library.name);
        call(1, 0);
    }
}

LuaState* LuaState::fromLua(lua_State* L) {
    void* wrapper = nullptr;
    if (lua_getallocf(L, &wrapper) == &allocate) {
        return static_cast<LuaState*>(wrapper);
    }
    lua_pushlightuserdata(L, L);
    lua_rawget(L, LUA_REGISTRYINDEX);
    void* state = lua_touserdata(L, -1);
    lua_pop(L, 1);
    if (!state) {
        lua_pushlightuserdata(L, &stateKey);
        lua_rawget(L, LUA_REGISTRYINDEX);
        state = lua_touserdata(L, -1);
        lua_pop(L, 1);
    }
    return static_cast<LuaState*>(state);
}

const char* LuaState::typeName(int type) {
    static const char* const names[] = {"NIL",   "BOOLEAN",  "LIGHTUSERDATA", "NUMBER", "STRING",
                                        "TABLE", "FUNCTION", "USERDATA",      "THREAD"};
    return type >= 0 && type < 9 ? names[type] : "INVALID";
}

void LuaState::throwTypeError(int index, int expected) {
    throw LuaException(lang::Format("Excepted type {0} at stack position {1} but found {2}{3}",
                                    typeName(expected), index, typeName(lua_type(L_, index)),
                                    getCallStack()));
}

bool LuaState::toBoolean(int index) {
    checkType(index, LUA_TBOOLEAN);
    return lua_toboolean(L_, index) != 0;
}

float LuaState::toNumber(int index) {
    checkType(index, LUA_TNUMBER);
    return lua_tonumber(L_, index);
}

const char* LuaState::toString(int index) {
    checkType(index, LUA_TSTRING);
    return lua_tostring(L_, index);
}

void* LuaState::toLightUserData(int index) {
    checkType(index, LUA_TLIGHTUSERDATA);
    return lua_touserdata(L_, index);
}

LuaTable LuaState::toTable(int index) {
    checkType(index, LUA_TTABLE);
    lua_pushvalue(L_, index);
    return LuaTable(this, luaL_ref(L_, LUA_REGISTRYINDEX));
}

void LuaState::pushTable(const LuaTable* table) {
    // A default handle has no state to push into, so nil comes from here.
    if (table && !table->isEmpty()) {
        table->push();
    } else {
        lua_pushnil(L_);
    }
}

void LuaState::rawGet(int index) {
    checkType(index, LUA_TTABLE);
    lua_rawget(L_, index);
}

void LuaState::setTable(int index) {
    checkType(index, LUA_TTABLE);
    // Metamethods may run script code, so the store is a protected call.
    int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L_) + index + 1;
    lua_pushcfunction(L_, &setTableBody);
    lua_insert(L_, -3);
    lua_pushvalue(L_, table);
    lua_insert(L_, -3);
    call(3, 0);
}

void LuaState::rawSetIndex(int index, int n) {
    checkType(index, LUA_TTABLE);
    lua_rawseti(L_, index, n);
}

bool LuaState::next(int index) {
    checkType(index, LUA_TTABLE);
    return lua_next(L_, index) != 0;
}

void LuaState::call(int argCount, int resultCount) {
    lua_State* L = L_;
    int handler = lua_gettop(L) - argCount;
    lua_rawgeti(L, LUA_REGISTRYINDEX, handlerRef_);
    lua_insert(L, handler);
    errorStack_.clear();
    int status = lua_pcall(L, argCount, resultCount, handler);
    lua_remove(L, handler);
    if (status != 0) {
        throwCallError(status);
    }
    // A native failure that a script caught itself (pcall) is over.
    pending_ = nullptr;
}

void LuaState::throwCallError(int /*status*/) {
    if (pending_) {
        std::exception_ptr exception = pending_;
        pending_ = nullptr;
        pendingMessage_.clear();
        lua_pop(L_, 1);
        std::rethrow_exception(exception);
    }
    std::string message = textOf(L_, -1);
    lua_pop(L_, 1);
    std::string stack = errorStack_.empty() ? getCallStack(L_) : errorStack_;
    errorStack_.clear();
    throw LuaException(lang::Format("{0}{1}", message, stack));
}

int LuaState::messageHandler(lua_State* L) {
    auto* self = static_cast<LuaState*>(lua_touserdata(L, lua_upvalueindex(1)));
    size_t length = 0;
    const char* text = lua_isstring(L, 1) ? lua_tolstring(L, 1, &length) : nullptr;
    std::string described;
    if (!text) {
        // error({}) and the like: say what was thrown rather than nothing.
        if (luaL_callmeta(L, 1, "__tostring") && lua_isstring(L, -1)) {
            described = lua_tostring(L, -1);
        } else {
            described = std::string("(error object is a ") + luaL_typename(L, 1) + " value)";
        }
        text = described.c_str();
        length = described.size();
    }
    if (self->pending_) {
        if (lua_type(L, 1) == LUA_TSTRING &&
            self->pendingMessage_.compare(0, std::string::npos, text, length) == 0) {
            return 1;  // the native's own error: rethrown after the call
        }
        self->pending_ = nullptr;  // left over from an error a script caught
    }
    try {
        self->errorStack_ = getCallStack(L);
    } catch (...) {
        self->errorStack_.clear();
    }
    lua_pushlstring(L, text, length);
    return 1;
}

int LuaState::panic(lua_State* L) {
    // Only reached by an API error outside any protected call; Lua has already
    // reset its call state.
    throw LuaException(lang::Format("{0}{1}", textOf(L, -1), getCallStack(L)));
}

int LuaState::scriptError(lua_State* L) {
    auto* self = static_cast<LuaState*>(lua_touserdata(L, lua_upvalueindex(1)));
    self->pending_ = nullptr;
    lua_settop(L, 1);
    return lua_error(L);
}

int LuaState::runNative(lua_State* L, int (*body)(LuaState& state, lua_State* L)) {
    LuaState* state = fromLua(L);
    if (!state) {
        lua_pushstring(L, "Native called from a foreign Lua state");
        return -1;
    }
    if (state->pending_) {
        state->pending_ = nullptr;
    }
    lua_State* caller = state->L_;
    state->L_ = L;
    int results = -1;
    try {
        results = body(*state, L);
    } catch (const std::exception& e) {
        state->pending_ = std::current_exception();
        state->pendingMessage_ = e.what();
    } catch (...) {
        state->pending_ = std::current_exception();
        state->pendingMessage_ = "Unknown exception in native function";
    }
    state->L_ = caller;
    if (state->pending_) {
        lua_pushlstring(L, state->pendingMessage_.data(), state->pendingMessage_.size());
        return -1;
    }
    return results;
}

std::string LuaState::getCallStack() const {
    return getCallStack(L_);
}

std::string LuaState::getCallStack(lua_State* L) {
    lua_Debug ar;
    if (!lua_getstack(L, 1, &ar)) {
        return " (call stack not available)";
    }
    std::string text = "\nCall stack:\n";
    for (int level = 1; lua_getstack(L, level, &ar); ++level) {
        if (lua_getinfo(L, "Sl", &ar) && ar.currentline >= 0) {
            char line[24];
            std::snprintf(line, sizeof line, "(%i)\n", ar.currentline);
            text += ar.source;
            text += line;
        }
    }
    text += "(end)\n";
    return text;
}

void LuaState::load(lua_Reader reader, void* data, const std::string& chunkName) {
    SourceOnlyReader source{reader, data, false, false};
    int status = lua_load(L_, &readSourceOnly, &source, chunkName.c_str());
    std::string message = status != 0 ? textOf(L_, -1) : std::string();
    if (source.binary) {
        message = chunkName + ": precompiled chunks are not accepted";
    }
    if (status != 0 || source.binary) {
        lua_pop(L_, 1);
        throw LuaException(lang::Format("Error while compiling Lua: {0}", message));
    }
}

void LuaState::runLoaded(const LuaTable* environment) {
    if (environment && !environment->isEmpty()) {
        environment->push();
        if (lua_isfunction(L_, -2) && lua_istable(L_, -1)) {
            lua_setfenv(L_, -2);
        } else {
            lua_pop(L_, 1);
        }
    }
    call(0, 0);
}

void LuaState::runBuffer(const void* bytes, size_t size, const std::string& chunkName,
                         const LuaTable* environment) {
    StackGuard guard(L_);
    BufferReader reader{static_cast<const char*>(bytes), bytes ? size : 0};
    load(&readBuffer, &reader, chunkName);
    runLoaded(environment);
}

void LuaState::runStream(io::InputStream& stream, const std::string& chunkName,
                         const LuaTable* environment) {
    StackGuard guard(L_);
    std::unique_ptr<StreamReader> reader(new StreamReader{&stream, stream.available(), {}, {}});
    try {
        load(&readStream, reader.get(), chunkName);
    } catch (const LuaException&) {
        if (reader->error) {
            std::rethrow_exception(reader->error);
        }
        throw;
    }
    if (reader->error) {
        std::rethrow_exception(reader->error);
    }
    runLoaded(environment);
}

}  // namespace lua
