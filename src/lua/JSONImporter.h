#pragma once

#include <vector>

#include "lang/Ptr.h"
#include "lua/LuaTable.h"
#include "util/JSONVisitor.h"

namespace lua {

/// Fills a Lua table from a walked JSON tree. Members of an object are stored
/// by name, elements of an array at 1, 2, ...; a JSON null stores nil, so it
/// removes an existing key of the target. The target keeps whatever was stored
/// before a failure.
class JSONImporter : public util::JSONVisitor {
public:
    /// target must be a table handle that outlives the importer; an empty handle
    /// throws LuaException.
    explicit JSONImporter(const LuaTable& target);
    ~JSONImporter() override;
    JSONImporter(const JSONImporter&) = delete;
    JSONImporter& operator=(const JSONImporter&) = delete;

    void visitNull(const char* name) override;
    void visitBool(const char* name, bool value) override;
    void visitNumber(const char* name, double value) override;
    void visitString(const char* name, const char* value) override;
    void beginObject(const char* name) override;
    void endObject() override;
    void beginArray(const char* name) override;
    void endArray() override;

private:
    struct Frame {
        const LuaTable* table;
        lang::Ptr<LuaTable> owned;  // null for the target
        int counter;                // -1 while filled by name, else the next index
    };

    /// The key of the next value in the top frame (advancing its counter).
    LuaTable::Key nextKey(const char* name);
    void beginTable(const char* name, int counter);
    void endTable();

    std::vector<Frame> frames_;
};

}  // namespace lua
