#pragma once

#include <string>
#include <vector>

#include "lua/LuaTableVisitor.h"

namespace lua {

/// Writes a walked Lua table as JSON text (run it with LuaTable::accept).
///
/// A table whose entries all have integer keys becomes an array of its values in
/// the walk's order; any other non-empty table becomes an object, with integer
/// keys written as decimal names; an empty table is {}. Numbers that JSON cannot
/// hold (NaN, infinities) are written as null. Entries the walk passes without
/// their key (negative number keys, tables under number keys) have no object
/// form and are left out of objects.
class JSONExporter : public LuaTableVisitor {
public:
    JSONExporter();

    /// The text of the last complete walk.
    const std::string& getText() const { return text_; }

    void visitNil(int index) override;
    void visitBoolean(int index, bool value) override;
    void visitNumber(int index, float value) override;
    void visitString(int index, const char* value) override;
    void visitNil(const char* name) override;
    void visitBoolean(const char* name, bool value) override;
    void visitNumber(const char* name, float value) override;
    void visitString(const char* name, const char* value) override;
    void beginTable(const char* name) override;
    void endTable() override;
    void begin() override;
    void end() override;

private:
    /// One entry of an open container; the value is written already.
    struct Item {
        enum Kind { INDEX, NAME, UNNAMED } kind;
        int index;
        std::string name;
        std::string value;
    };
    struct Container {
        std::vector<Item> items;
        bool named = false;  // holds a string key
    };

    Item& add(int index);
    Item& add(const char* name);
    /// The finished text of the top container, which is removed.
    std::string close();

    std::vector<Container> open_;
    std::string text_;
};

/// Appends text as a JSON string literal with its escapes.
void appendJSONString(const char* text, std::string& out);

}  // namespace lua
