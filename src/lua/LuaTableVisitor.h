#pragma once

namespace lua {

/// Receives the entries of a table walked by LuaTable::visit. Index callbacks get
/// non-negative integer keys; named callbacks get string keys, or a null name for
/// keys that are negative or do not fit an int.
class LuaTableVisitor {
public:
    virtual ~LuaTableVisitor() = default;
    virtual void visitNil(int index) = 0;
    virtual void visitBoolean(int index, bool value) = 0;
    virtual void visitNumber(int index, float value) = 0;
    virtual void visitString(int index, const char* value) = 0;
    virtual void visitNil(const char* name) = 0;
    virtual void visitBoolean(const char* name, bool value) = 0;
    virtual void visitNumber(const char* name, float value) = 0;
    virtual void visitString(const char* name, const char* value) = 0;
    /// name is null for a table stored under a number key.
    virtual void beginTable(const char* name) = 0;
    virtual void endTable() = 0;
    virtual void begin() = 0;
    virtual void end() = 0;
};

}  // namespace lua
