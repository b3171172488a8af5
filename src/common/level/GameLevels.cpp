#include "common/level/GameLevels.h"

#include <cstdio>
#include <exception>

#include "audio/AudioOutput.h"
#include "common/level/LevelText.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "game/Resources.h"
#include "io/AtomicFile.h"
#include "io/BasicFileSystem.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lauxlib.h"
#include "lua/LuaState.h"
#include "lua/StackGuard.h"

namespace {

// A level is data; its script never needs more than a small part of this.
const int LEVEL_INSTRUCTION_BUDGET = 10000000;

void budgetSpent(lua_State* L, lua_Debug*) {
    luaL_error(L, "level script exceeded its instruction budget");
}

// Stops a script that would run for ever; the earlier hook comes back after.
class InstructionBudget {
public:
    InstructionBudget(lua_State* L, int instructions)
        : L_(L), hook_(lua_gethook(L)), mask_(lua_gethookmask(L)), count_(lua_gethookcount(L)) {
        lua_sethook(L, &budgetSpent, LUA_MASKCOUNT, instructions);
    }
    ~InstructionBudget() { lua_sethook(L_, hook_, mask_, count_); }
    InstructionBudget(const InstructionBudget&) = delete;
    InstructionBudget& operator=(const InstructionBudget&) = delete;

private:
    lua_State* L_;
    lua_Hook hook_;
    int mask_;
    int count_;
};

// Keys of `objects` that a saved level keeps, with the type each must have.
struct SavedKey {
    const char* name;
    int type;
};
const SavedKey SAVED_KEYS[] = {
    {"theme", LUA_TSTRING},
    {"birdCameraData", LUA_TTABLE},
    {"castleCameraData", LUA_TTABLE},
    {"BoomBoxSpawnRect", LUA_TTABLE},
    {"physicsToWorld", LUA_TNUMBER},
    {"joints", LUA_TTABLE},
    {"counts", LUA_TTABLE},
    {"doNotWaitForMovingObjects", LUA_TBOOLEAN},
    {"themeSprites", LUA_TTABLE},
    {"levelParticles", LUA_TTABLE},
    {"worldGravity", LUA_TNUMBER},
    {"waterLevel", LUA_TNUMBER},
    {"water", LUA_TTABLE},
};

// Pushes t[key] for the table at index, without metamethods.
void rawField(lua_State* L, int index, const char* key) {
    lua_pushstring(L, key);
    lua_rawget(L, index);
}

// The saved form of one object: its place, name and definition.
void pushSavedObject(lua_State* L, int object) {
    lua_newtable(L);
    int entry = lua_gettop(L);
    for (const char* key : {"angle", "x", "y"}) {
        rawField(L, object, key);
        lua_Number value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : 0;
        lua_pop(L, 1);
        lua_pushnumber(L, value);
        lua_setfield(L, entry, key);
    }
    for (const char* key : {"name", "definition"}) {
        rawField(L, object, key);
        if (!lua_isstring(L, -1)) {
            lua_pop(L, 1);
            lua_pushliteral(L, "");
        }
        lua_tostring(L, -1);  // a number becomes its text
        lua_setfield(L, entry, key);
    }
    for (const char* key : {"owner", "startNumber"}) {
        rawField(L, object, key);
        if (lua_type(L, -1) == LUA_TNUMBER) {
            lua_setfield(L, entry, key);
        } else {
            lua_pop(L, 1);
        }
    }
}

// Pushes the saved `world` table built from the object tables under objects.world.
void pushSavedWorld(lua_State* L, int objects) {
    lua_newtable(L);
    int saved = lua_gettop(L);
    rawField(L, objects, "world");
    int world = lua_gettop(L);
    if (lua_istable(L, world)) {
        lua_pushnil(L);
        while (lua_next(L, world) != 0) {
            if (lua_type(L, -2) == LUA_TSTRING && lua_istable(L, -1)) {
                pushSavedObject(L, lua_gettop(L));
                lua_pushvalue(L, -3);
                lua_insert(L, -2);
                lua_rawset(L, saved);
            }
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
}

// A failed or interrupted save never leaves a torn level.
void writeAtomically(const std::string& target, const std::string& text) {
    io::replaceFile(target, text.data(), text.size());
}

}  // namespace

GameLevels::GameLevels(GameLua& world) : world_(world) {
    world_.bindMethod("loadLevel", this, &GameLevels::loadLevel);
    world_.bindMethod("saveLevel", this, &GameLevels::saveLevel);
    world_.bindMethod("removeTemporaryLevel", this, &GameLevels::removeTemporaryLevel);
}

GameLevels::~GameLevels() = default;

void GameLevels::runStartUp() {
    loadBlockTable();
    world_.callHook("createStartUpAssets");
    game::Resources* resources = world_.services().resources;
    audio::AudioOutput* output = resources ? resources->getAudioOutput() : nullptr;
    if (output) {
        const int limits[][2] = {{1, 4}, {2, 6}, {3, 3}, {4, 3}, {5, 3}};
        for (const auto& limit : limits) {
            output->setChannelCountLimit(limit[0], limit[1]);
        }
    }
}

void GameLevels::loadBlockTable() {
    const std::string path = world_.paths().scriptPath + "/blocks.lua";
    std::vector<uint8_t> source = readSealedFile(path);
    lua::LuaState& state = *world_.getState();
    lua::LuaTable blocks(state);
    state.runBuffer(source.data(), source.size(), path, &blocks);
    world_.set("blockTable", &blocks);
}

lua::LuaTable GameLevels::readLevel(lua::LuaState& state, const uint8_t* bytes, size_t size,
                                    const std::vector<uint8_t>& key, const std::string& fileName) {
    std::vector<uint8_t> source = openSealed(bytes, size, key);
    return runLevelText(state, std::string(source.begin(), source.end()), fileName);
}

lua::LuaTable GameLevels::runLevelText(lua::LuaState& state, const std::string& text,
                                       const std::string& fileName) {
    lua::LuaTable level(state);
    {
        InstructionBudget budget(state.getLua(), LEVEL_INSTRUCTION_BUDGET);
        state.runBuffer(text.data(), text.size(), fileName, &level);
    }
    if (!level.isString("filename") || level.getString("filename") != fileName) {
        throw lang::Exception(
            lang::Format("Level file {0} names {1} as its file name", fileName,
                         level.isString("filename") ? level.getString("filename") : "nothing"));
    }
    return level;
}

void GameLevels::loadLevel(std::string name, std::string key) {
    try {
        resetWorld();
        publishLevel(name, key);
    } catch (const std::exception& e) {
        lang::log::write("", __FILE__, "GameLua::loadLevel", __LINE__, lang::log::WARNING,
                         "Unable to load level.");
        lang::log::write("", __FILE__, "GameLua::loadLevel", __LINE__, lang::log::WARNING, "%s: %s",
                         name.c_str(), e.what());
    }
    world_.setLevelLoading(false);
}

void GameLevels::resetWorld() {
    world_.beginLevelLoad("loadLevel");
    loadBlockTable();
    world_.callHook("loadParticles", false);
    world_.reindexLevelTables();
    world_.resetWorld();
}

void GameLevels::publishLevel(const std::string& name, const std::string& key) {
    const std::string fileName = name + ".lua";
    lang::Ptr<io::InputStream> file = io::openInputStream(fileName);
    std::vector<uint8_t> bytes = io::readAll(*file);
    file.reset();
    std::vector<uint8_t> levelKey(key.begin(), key.end());
    lua::LuaTable level =
        readLevel(*world_.getState(), bytes.data(), bytes.size(),
                  key.empty() ? contentKey() : levelKey, io::PathName(fileName).getFileName());
    world_.set("loadedObjects", &level);
}

lua::LuaTable GameLevels::savedLevelTable() const {
    lua::LuaState& state = *world_.getState();
    lua_State* L = state.getLua();
    lua::StackGuard guard(L);
    world_.objectsTable().push();
    int objects = lua_gettop(L);
    lua_newtable(L);
    int saved = lua_gettop(L);
    for (const SavedKey& key : SAVED_KEYS) {
        rawField(L, objects, key.name);
        if (lua_type(L, -1) == key.type) {
            lua_setfield(L, saved, key.name);
        } else {
            lua_pop(L, 1);
        }
    }
    pushSavedWorld(L, objects);
    lua_setfield(L, saved, "world");
    return state.toTable(saved);
}

void GameLevels::saveLevel(std::string path) {
    std::string text = levelText(savedLevelTable(), "");
    writeAtomically(world_.resolvePath(path + ".lua"), text);
}

void GameLevels::removeTemporaryLevel(std::string name) {
    if (name.find("temp") == std::string::npos) {
        throw lang::Exception(
            lang::Format("Attempted to remove level {0} that apparently isn't temporary.", name));
    }
    io::PathName file(world_.resolvePath(name + ".lua"));
    io::remove(file.toString());
    // A bare file name has no folder of its own: never the working directory.
    std::string folder = file.getParent().toString();
    if (folder.empty() || folder == "/") {
        return;
    }
    if (io::list(folder, "", io::LIST_FILES | io::LIST_DIRECTORIES, false).empty()) {
        io::remove(folder);
    }
}
