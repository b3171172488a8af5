#pragma once

#include <string>

struct lua_State;

namespace lua {

/// Appends the table at index as Lua source: assignments at the top level,
/// a table constructor's body when nested. Leaves the stack unchanged.
void serializeTable(lua_State* L, int index, int indent, bool nested, std::string& out);

/// Appends a string literal in double quotes with Lua escapes.
void appendStringLiteral(const char* text, size_t length, std::string& out);

/// True for a name that Lua accepts as a bare identifier.
bool isIdentifier(const char* text, size_t length);

}  // namespace lua
