#pragma once

#include <string>

#include "lua/LuaTable.h"

/// The text of a level table laid out as the hand-written levels of the bundle
/// are: the header (comment lines), the level's plain keys one a line, then the
/// `world` and `joints` tables with one entry a line. Keys come in a fixed
/// order (the known ones as the levels use them, the rest sorted), so that a
/// level saved twice reads the same and a change shows as a small diff. The
/// text runs back into an equal table; values that Lua cannot write
/// (functions, userdata) are left out.
std::string levelText(const lua::LuaTable& level, const std::string& header);

/// The comment lines at the start of a level's text, each with its newline:
/// what a rewrite of the file keeps.
std::string levelHeader(const std::string& text);
