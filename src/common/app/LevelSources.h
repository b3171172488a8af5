#pragma once

#include <string>

#include "common/app/DevSources.h"
#include "lua/LuaTable.h"

class GameLua;

/// The level editor's access to the level sources of a game run from its
/// sources (DevSources): listing and reading `<sources>/levels/*.lua`, and
/// saving a level there as readable Lua (levelText) and, sealed, into the
/// running game's level folder, so that the game can start it at once. A
/// game without sources has these natives too; they find no levels and
/// refuse to save.
class LevelSources {
public:
    LevelSources(GameLua& world, DevSources sources);

    /// A level's name: a letter, then letters, digits, '_' or '-', at most 32.
    static bool isLevelName(const std::string& name);

    /// The result of saveLevelSource when the name is no level name.
    static constexpr const char* BAD_NAME = "BAD_NAME";

private:
    // Natives.
    /// The names of the level sources (without ".lua"), sorted.
    lua::LuaTable levelSourceNames();
    /// The level table of a level source. Throws lua::LuaException when there
    /// is none or it does not read as a level.
    lua::LuaTable readLevelSource(std::string name);
    /// Sets level.filename to name .. ".lua" and writes the level, each file
    /// atomically: first the source (keeping the old file's header comments),
    /// then the sealed copy. Returns "" when both are written, BAD_NAME, or
    /// what went wrong; a failed write leaves the file it meant to replace.
    std::string saveLevelSource(std::string name, lua::LuaTable level);

    std::string sourceFile(const std::string& name) const;
    std::string sealedFile(const std::string& name) const;

    GameLua& world_;
    DevSources sources_;
};
