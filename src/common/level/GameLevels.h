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

/// Loading, saving and removing levels, and the start-up step that reads the block catalogue.
class GameLevels {
public:
    explicit GameLevels(GameLua& world);
    ~GameLevels();

    /// Start-up: the block catalogue, the hook `createStartUpAssets` and the
    /// mixer's voice limits.
    void runStartUp();
    /// Runs blocks.lua of the script folder into the global `blockTable`.
    void loadBlockTable();

    /// The level table of sealed level bytes: decrypted with key, entry 0 run
    /// with a fresh environment, its `filename` checked against fileName.
    /// Throws lang::Exception (or a subclass) for anything that is not a level.
    static lua::LuaTable readLevel(lua::LuaState& state, const uint8_t* bytes, size_t size,
                                   const std::vector<uint8_t>& key, const std::string& fileName);
    /// The level table of a level's Lua text, run and checked as readLevel does.
    static lua::LuaTable runLevelText(lua::LuaState& state, const std::string& text,
                                      const std::string& fileName);

private:
    // Natives.
    /// Locked during the physics step: there it logs the failure and changes
    /// nothing.
    void loadLevel(std::string name, std::string key);
    void saveLevel(std::string path);
    void removeTemporaryLevel(std::string name);

    void resetWorld();
    void publishLevel(const std::string& name, const std::string& key);
    lua::LuaTable savedLevelTable() const;

    GameLua& world_;
};
