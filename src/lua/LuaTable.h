#pragma once

#include <string>

#include "lang/Object.h"
#include "lua/LuaTableVisitor.h"

struct lua_State;

namespace io {
class InputStream;
class OutputStream;
}  // namespace io

namespace lua {

class LuaState;

/// A counted handle on one Lua table, held through a reference in the Lua
/// registry. All accesses are raw (no metamethods) and leave the Lua stack as they
/// found it. A handle must not outlive its LuaState; use it on the game thread only.
class LuaTable : public lang::Object {
public:
    /// A key: a C string, a std::string or an integer index.
    class Key {
    public:
        /// A null name is Lua's nil key, which no table accepts.
        Key(const char* name) : name_(name), index_(0), isIndex_(false), isFixed_(true) {}
        Key(const std::string& name)
            : name_(name.c_str()), index_(0), isIndex_(false), isFixed_(false) {}
        Key(int index) : name_(nullptr), index_(index), isIndex_(true), isFixed_(false) {}

        bool isIndex() const { return isIndex_; }
        /// Named by a C string, mostly a literal: worth LuaState::pushKey's cache.
        bool isFixed() const { return isFixed_; }
        const char* name() const { return name_; }
        int index() const { return index_; }
        /// The key as text, for messages.
        std::string toString() const;

    private:
        const char* name_;
        int index_;
        bool isIndex_;
        bool isFixed_;
    };

    /// An empty handle; it pushes nil.
    LuaTable();
    /// Creates a new empty table in state.
    explicit LuaTable(LuaState& state);
    LuaTable(const LuaTable& other);
    LuaTable& operator=(const LuaTable& other);
    ~LuaTable() override;

    bool isEmpty() const { return state_ == nullptr || ref_ < 0; }
    LuaState* getState() const { return state_; }
    /// Pushes the table, or nil for an empty handle that has a state; a handle
    /// without one has nowhere to push, so use LuaState::pushTable.
    void push() const;

    void set(const Key& key, const std::string& value) const;
    void set(const Key& key, const char* value) const;
    void set(const Key& key, float value) const;
    void set(const Key& key, int value) const { set(key, static_cast<float>(value)); }
    void set(const Key& key, double value) const { set(key, static_cast<float>(value)); }
    void set(const Key& key, bool value) const;
    /// Stores the table, or nil for a null or empty handle.
    void set(const Key& key, const LuaTable* value) const;
    void remove(const Key& key) const;

    /// 0 when the value is neither a number nor a numeric string.
    float getNumber(const Key& key) const;
    /// Lua truth: false only for nil and false.
    bool getBoolean(const Key& key) const;
    /// Empty when the value is neither a string nor a number.
    std::string getString(const Key& key) const;
    /// Throws LuaException when the value is not a table.
    LuaTable getTable(const Key& key) const;

    bool isNil(const Key& key) const;
    /// String or number.
    bool isString(const Key& key) const;
    /// Number or numeric string.
    bool isNumber(const Key& key) const;
    bool isTable(const Key& key) const;
    bool isBoolean(const Key& key) const;
    /// The boolean true, read with one look-up (isBoolean and getBoolean take two).
    bool isTrueBoolean(const Key& key) const;
    /// The number (or numeric string) under key, or fallback, read with one look-up.
    float getNumberOr(const Key& key, float fallback) const;

    /// Leaves the value stored under name on the stack.
    void pushField(const Key& key) const;
    /// Calls the function stored under name with no arguments and no results.
    void callFunction(const Key& key) const;
    /// Number of entries of every kind.
    int count() const;

    /// Walks the entries in Lua's order; tables are entered recursively. The key
    /// "_G" and tables already being walked are skipped.
    void visit(LuaTableVisitor& visitor) const;
    /// begin(), visit(), end().
    void accept(LuaTableVisitor& visitor) const;

    /// Runs the stream as a chunk named after the stream, with this table as its
    /// environment.
    void runScript(io::InputStream& stream) const;

    /// Writes the table as Lua source. At the top level (indent 0, not nested) the
    /// text is a chunk of assignments that rebuilds the identifier-keyed entries.
    void serialize(io::OutputStream& out, int indent = 0, bool nested = false) const;
    std::string serializeToString(int indent = 0, bool nested = false) const;

protected:
    int getRef() const { return ref_; }

private:
    friend class LuaState;
    /// Takes over a registry reference.
    LuaTable(LuaState* state, int ref) : state_(state), ref_(ref) {}
    /// The thread to work on; throws LuaException for an empty handle.
    lua_State* luaFor(const Key& key) const;
    /// Pushes the table and the key.
    void pushTableAndKey(lua_State* L, const Key& key) const;
    /// Pushes the value under key and returns its Lua type.
    int pushValueOf(lua_State* L, const Key& key) const;

    LuaState* state_;
    int ref_;
};

}  // namespace lua
