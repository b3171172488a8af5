#pragma once

#include "lua/LuaTable.h"

/// What the tables reachable from the scripts' globals hold, so that a set of
/// scripts that fails halfway through its run can be taken back whole. Scripts
/// often extend a table in place (`Play = Play or {}` and then its functions),
/// so putting back the globals alone would keep half of the failed set; this
/// records every table reachable through keys and values. Functions keep their
/// own upvalues, so restoring the old functions restores their state too.
class ScriptSnapshot {
public:
    /// Records root and each table reachable from it (metatables aside).
    explicit ScriptSnapshot(const lua::LuaTable& root);

    /// Puts every recorded table back as it was: fields added since are gone,
    /// changed and removed ones hold their recorded values again. Tables made
    /// since are left alone; nothing recorded refers to them any more.
    void restore() const;

    /// How many tables were recorded.
    int tableCount() const { return tables_; }

private:
    lua::LuaTable copies_;  // each recorded table -> a copy of its fields
    int tables_ = 0;
};
