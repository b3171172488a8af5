#pragma once

struct lua_State;

namespace lua {

class LuaTableVisitor;

/// Walks the table at index into visitor; leaves the stack unchanged.
void visitTable(lua_State* L, int index, LuaTableVisitor& visitor);

}  // namespace lua
