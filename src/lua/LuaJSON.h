#pragma once

#include <cstddef>
#include <string>

namespace util {
class JSONVisitor;
}

namespace lua {

class LuaTable;

/// Parses JSON text with cJSON and stores the members of its root object in
/// table (see JSONImporter). Throws lang::Exception "JSON parsing failed here:
/// {0}" with the text from where parsing stopped, and LuaException when the
/// root is an array with elements (they have no names to be stored under).
/// Entries stored before a failure stay in the table.
void importJSON(const std::string& text, const LuaTable& table);
void importJSON(const char* bytes, size_t size, const LuaTable& table);

/// Parses JSON text with cJSON and walks the members of its root into visitor;
/// throws lang::Exception like importJSON.
void walkJSON(const char* bytes, size_t size, util::JSONVisitor& visitor);

/// The table as JSON text (see JSONExporter).
std::string exportJSON(const LuaTable& table);

}  // namespace lua
