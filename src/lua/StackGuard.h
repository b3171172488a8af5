#pragma once

#include "lua.h"

namespace lua {

/// Restores the Lua stack top on scope exit, also when an exception leaves the scope.
class StackGuard {
public:
    explicit StackGuard(lua_State* L) : L_(L), top_(lua_gettop(L)) {}
    ~StackGuard() { lua_settop(L_, top_); }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

    int top() const { return top_; }

private:
    lua_State* L_;
    int top_;
};

}  // namespace lua
