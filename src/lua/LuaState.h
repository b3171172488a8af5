#pragma once

#include <cstddef>
#include <exception>
#include <string>

#include "lang/Object.h"
#include "lauxlib.h"
#include "lua.h"
#include "lua/LuaTable.h"

/// The interpreter is built with single-precision numbers; Debian's own headers
/// in /usr/include/lua5.1 would silently give doubles.
static_assert(sizeof(lua_Number) == 4, "Lua must be built with float numbers (deps/prefix)");

namespace io {
class InputStream;
}

namespace lua {

/// Owns the interpreter and turns every script error into a C++ exception.
///
/// Every call into Lua is a protected call: a script error comes out as
/// LuaException "{0}{1}" (message, call stack) once Lua has unwound its own
/// state, and an exception thrown by a native comes out unchanged. Operations that
/// do not say otherwise leave the stack as they found it. Main thread only.
class LuaState : public lang::Object {
public:
    /// Throws LuaException when the interpreter cannot be created.
    LuaState();
    ~LuaState() override;
    LuaState(const LuaState&) = delete;
    LuaState& operator=(const LuaState&) = delete;

    /// The Lua thread that operations work on: the main thread, or the coroutine
    /// that called the native currently running.
    lua_State* getLua() const { return L_; }
    LuaTable& getGlobals() { return globals_; }

    /// The wrapper of L (or of the state L is a coroutine of); null if none.
    static LuaState* fromLua(lua_State* L);
    /// "NIL", "BOOLEAN", ... "THREAD"; "INVALID" for other numbers.
    static const char* typeName(int type);

    /// Strict readers: the slot must hold exactly the expected type, otherwise
    /// LuaException "Excepted type {0} at stack position {1} but found {2}{3}".
    bool toBoolean(int index);
    float toNumber(int index);
    const char* toString(int index);
    void* toLightUserData(int index);
    LuaTable toTable(int index);

    int getType(int index) const { return lua_type(L_, index); }
    bool isBoolean(int index) const { return lua_isboolean(L_, index); }
    /// Numbers and numeric strings.
    bool isNumber(int index) const { return lua_isnumber(L_, index) != 0; }
    /// Strings and numbers.
    bool isString(int index) const { return lua_isstring(L_, index) != 0; }
    bool isTable(int index) const { return lua_istable(L_, index); }
    bool isLightUserData(int index) const { return lua_islightuserdata(L_, index); }

    void pushNil() { lua_pushnil(L_); }
    void pushBoolean(bool value) { lua_pushboolean(L_, value ? 1 : 0); }
    void pushNumber(float value) { lua_pushnumber(L_, value); }
    void pushString(const char* value) { lua_pushstring(L_, value); }
    void pushString(const std::string& value) { lua_pushlstring(L_, value.data(), value.size()); }
    void pushLightUserData(void* value) { lua_pushlightuserdata(L_, value); }
    /// Pushes the string text onto L (this state or one of its threads) as
    /// lua_pushstring does. The strings pushed often, such as the keys the
    /// engine reads and the hooks it calls, are kept in the registry and
    /// pushed from there, sparing the hashing and interning of a new copy.
    void pushKey(lua_State* L, const char* text);
    /// Pushes nil for a null or empty handle.
    void pushTable(const LuaTable* table);
    /// function must not let C++ exceptions out; natives that may throw are
    /// published through LuaObject, whose trampolines catch them.
    void pushClosure(lua_CFunction function, int upvalueCount) {
        lua_pushcclosure(L_, function, upvalueCount);
    }
    void newTable() { lua_newtable(L_); }

    /// Stack and table primitives; the table at index is type-checked first.
    void pop(int count) { lua_pop(L_, count); }
    void pushValue(int index) { lua_pushvalue(L_, index); }
    int getTop() const { return lua_gettop(L_); }
    void rawGet(int index);
    /// t[k] = v with metamethods, for t at index and k, v on top (both popped).
    void setTable(int index);
    void rawSetIndex(int index, int n);
    /// lua_next on the table at index.
    bool next(int index);
    /// Calls the function below the argCount arguments on top of the stack and
    /// leaves resultCount results. The function and arguments are removed also on
    /// failure.
    void call(int argCount, int resultCount);

    /// Compiles one chunk and runs it; environment may be null (globals).
    void runBuffer(const void* bytes, size_t size, const std::string& chunkName,
                   const LuaTable* environment);
    void runStream(io::InputStream& stream, const std::string& chunkName,
                   const LuaTable* environment);

    /// "\nCall stack:\n" and "source(line)\n" for every Lua level from level 1,
    /// then "(end)\n"; " (call stack not available)" when there is no level 1.
    std::string getCallStack() const;
    static std::string getCallStack(lua_State* L);

    /// Runs a native on behalf of the closure being called on L: body's C++
    /// exception is kept and its message pushed, and -1 is returned, so that the
    /// caller raises a Lua error with lua_error outside any C++ scope. The kept
    /// exception is rethrown unchanged when the protected call returns.
    static int runNative(lua_State* L, int (*body)(LuaState& state, lua_State* L));

private:
    static int panic(lua_State* L);
    static int scriptError(lua_State* L);
    static int messageHandler(lua_State* L);
    void registerWrapper();
    void openLibraries();
    void load(lua_Reader reader, void* data, const std::string& chunkName);
    void runLoaded(const LuaTable* environment);
    [[noreturn]] void throwCallError(int status);
    [[noreturn]] void throwTypeError(int index, int expected);
    void checkType(int index, int expected) {
        if (lua_type(L_, index) != expected) {
            throwTypeError(index, expected);
        }
    }

    lua_State* main_;
    lua_State* L_;
    LuaTable globals_;
    int handlerRef_ = 0;  // registry reference of the message handler
    /// A native's exception on its way through Lua, and the message it was
    /// raised with (to recognise it in the message handler).
    std::exception_ptr pending_;
    std::string pendingMessage_;
    /// Call stack captured by the message handler of the failing protected call.
    std::string errorStack_;
    /// pushKey's strings, one slot for each text address (direct-mapped); the
    /// text is compared, so a reused address only misses.
    struct CachedKey {
        const char* address = nullptr;
        std::string text;
        int ref = LUA_NOREF;
    };
    enum { KEY_SLOTS = 128, KEY_MAX_LENGTH = 48 };
    CachedKey keys_[KEY_SLOTS];
};

}  // namespace lua
