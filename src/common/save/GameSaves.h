#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lua/LuaTable.h"

class GameLua;
namespace lua {
class LuaState;
}

/// How reading a saved table went.
enum class SavedTableResult {
    READ,           // the table holds the saved entries
    UNREADABLE,     // the bytes do not decrypt with the key
    FAILED_TO_RUN,  // they decrypt, but the text does not compile or run
};

/// Decrypts a saved table held in memory and runs its Lua text with `into` as
/// the environment. Runs are bounded in instructions and memory, so damaged or
/// hostile bytes can only fail. On failure `into` may hold part of the entries.
SavedTableResult openSavedTable(lua::LuaState& state, const uint8_t* bytes, size_t size,
                                const std::vector<uint8_t>& key, const lua::LuaTable& into,
                                const std::string& chunkName);

/// The encrypted form of a table's Lua text, as openSavedTable reads it.
std::vector<uint8_t> sealSavedTable(const std::string& source, const std::vector<uint8_t>& key);

/// The player's saved tables in application data (settings, highscores, play
/// data) and the natives that save and load tables and script files.
class GameSaves {
public:
    /// Registers the natives on the world.
    explicit GameSaves(GameLua& world);
    ~GameSaves();

    /// The world globals `nuked` and `damagedSaves` (empty), then `highscores`, `settings` and
    /// `bi_data` read from their files in application data.
    void loadSavedTables();
    /// Calls the script hook `calculatePlaytime`, then writes `settings` and
    /// `bi_data` back. Never throws: failures are logged and the rest goes on.
    /// Saves by the scripts (`saveLuaFile`) never throw either: a failure is a
    /// WARNING naming the file, and the old file stays.
    void saveOnExit();

    /// The saved table `file` of application data; an empty table when it is
    /// missing or damaged. A damaged file is renamed to file + ".bad" and its
    /// name appended to the list `damagedSaves`; nuked[file] = true when it
    /// decrypts but does not run.
    lua::LuaTable readTable(const std::string& file);
    /// Writes the table's identifier-keyed entries to application data, sealed,
    /// replacing the file atomically. Throws io::IOException naming the file.
    void writeTable(const std::string& file, const lua::LuaTable& table);

    /// Runs the sealed script at the application's resolved path of `path` in
    /// a fresh table (with `gamelua` set) stored as target[objectName], or in
    /// `target` itself when objectName is empty. With checkName, target.filename
    /// must be the file name of path. Failures are logged and shown when
    /// reportErrors is set, and otherwise ignored.
    void loadLuaFileToObject(const std::string& path, const lua::LuaTable& target,
                             const std::string& objectName, bool reportErrors = true,
                             bool checkName = false);

private:
    void saveLuaFile(std::string file, std::string tableName, bool sealed);
    void loadTableFromFile(std::string file, std::string globalName);
    void loadLuaFile(std::string path, std::string objectName);
    int loadLuaFileToObjectNative(lua::LuaState* state);
    bool checkForLuaFile(std::string path);

    void runScriptFile(const std::string& path, const lua::LuaTable& environment);
    void saveGlobal(const char* file, const char* name);
    void setAside(const std::string& file, const char* reason);
    // Records file in the world table `global`: as a key set to true, or
    // appended to the list.
    void markDamaged(const char* global, const std::string& file, bool asKey);

    GameLua& world_;
    std::vector<uint8_t> key_;
};
