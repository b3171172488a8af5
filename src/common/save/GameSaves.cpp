#include "common/save/GameSaves.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "common/save/PersistenceKey.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "io/AppDataInputStream.h"
#include "io/AtomicFile.h"
#include "io/BundleInputStream.h"
#include "io/IOException.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lauxlib.h"
#include "lua.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "lua/ScriptValues.h"
#include "util/AES.h"

namespace {

// Saved tables far beyond any real player's data are damage, not data.
const int kMaxSavedBytes = 32 << 20;
const long long kMemoryAllowance = 16 << 20;

// Memory a saved table may take while it runs; growth past it fails as Lua's
// out-of-memory error.
struct MemoryBudget {
    lua_Alloc original;
    void* data;
    long long left;
};

void* budgetedAlloc(void* ud, void* ptr, size_t oldSize, size_t newSize) {
    auto* budget = static_cast<MemoryBudget*>(ud);
    long long growth = static_cast<long long>(newSize) - static_cast<long long>(oldSize);
    if (growth > budget->left) {
        return nullptr;  // Lua never asks to grow when freeing, so this cannot fail a free
    }
    void* result = budget->original(budget->data, ptr, oldSize, newSize);
    if (result || newSize == 0) {
        budget->left -= growth;
    }
    return result;
}

void stopLongRun(lua_State* L, lua_Debug*) {
    luaL_error(L, "saved table runs too long");
}

// Saved tables are assignments without loops or calls: a run needs no more
// instructions than its text has bytes, and memory in proportion. Anything
// beyond that is stopped as a script error.
class BoundedRun {
public:
    BoundedRun(lua_State* L, size_t textSize) : L_(L) {
        budget_.original = lua_getallocf(L, &budget_.data);
        budget_.left = kMemoryAllowance + 16 * static_cast<long long>(textSize);
        lua_setallocf(L, &budgetedAlloc, &budget_);
        lua_sethook(L, &stopLongRun, LUA_MASKCOUNT, 1024 + 4 * static_cast<int>(textSize));
    }
    ~BoundedRun() {
        lua_sethook(L_, nullptr, 0, 0);
        lua_setallocf(L_, budget_.original, budget_.data);
    }
    BoundedRun(const BoundedRun&) = delete;
    BoundedRun& operator=(const BoundedRun&) = delete;

private:
    lua_State* L_;
    MemoryBudget budget_;
};

void reportLoadFailure(const char* function, const std::string& path,
                       const lang::Throwable& error) {
    lang::log::write("", __FILE__, function, __LINE__, lang::log::ERROR,
                     "Unable to load lua file %s", path.c_str());
    error.showDialog();
}

}  // namespace

SavedTableResult openSavedTable(lua::LuaState& state, const uint8_t* bytes, size_t size,
                                const std::vector<uint8_t>& key, const lua::LuaTable& into,
                                const std::string& chunkName) {
    util::AES aes(key, util::AES::KEY_LENGTH_FROM_KEY, util::AES::PAD_MODE_PKCS7);
    std::vector<uint8_t> text;
    if (size > static_cast<size_t>(kMaxSavedBytes) || !aes.decrypt(bytes, size, text)) {
        return SavedTableResult::UNREADABLE;
    }
    try {
        BoundedRun bound(state.getLua(), text.size());
        state.runBuffer(text.data(), text.size(), chunkName, &into);
    } catch (const lua::LuaException&) {
        return SavedTableResult::FAILED_TO_RUN;
    }
    return SavedTableResult::READ;
}

std::vector<uint8_t> sealSavedTable(const std::string& source, const std::vector<uint8_t>& key) {
    util::AES aes(key, util::AES::KEY_LENGTH_FROM_KEY, util::AES::PAD_MODE_PKCS7);
    std::vector<uint8_t> sealed;
    aes.encrypt(reinterpret_cast<const uint8_t*>(source.data()), source.size(), sealed);
    return sealed;
}

GameSaves::GameSaves(GameLua& world) : world_(world), key_(persistenceKey()) {
    world_.bindMethod("saveLuaFile", this, &GameSaves::saveLuaFile);
    world_.bindMethod("loadLuaFile", this, &GameSaves::loadLuaFile);
    world_.addMethod("loadLuaFileToObject", this, &GameSaves::loadLuaFileToObjectNative,
                     "(s, t, s, [b, [b]])");
    world_.bindMethod("checkForLuaFile", this, &GameSaves::checkForLuaFile);
    world_.bindMethod("loadTableFromFile", this, &GameSaves::loadTableFromFile);
}

GameSaves::~GameSaves() = default;

void GameSaves::loadSavedTables() {
    lua::LuaTable nuked(*world_.getState());
    world_.set("nuked", &nuked);
    lua::LuaTable damaged(*world_.getState());
    world_.set("damagedSaves", &damaged);
    const char* const names[][2] = {
        {"highscores", "highscores.lua"}, {"settings", "settings.lua"}, {"bi_data", "bi_data.lua"}};
    for (const auto& name : names) {
        lua::LuaTable table = readTable(name[1]);
        world_.set(name[0], &table);
    }
}

void GameSaves::saveOnExit() {
    try {
        world_.callHook("calculatePlaytime");
    } catch (const lang::Throwable& e) {
        // The player's settings matter more than the play time.
        QF_LOG("", lang::log::ERROR, "calculatePlaytime failed: %s", e.what());
    }
    saveGlobal("settings.lua", "settings");
    saveGlobal("bi_data.lua", "bi_data");
}

void GameSaves::saveGlobal(const char* file, const char* name) {
    saveLuaFile(file, name, true);
}

lua::LuaTable GameSaves::readTable(const std::string& file) {
    lua::LuaState& state = *world_.getState();
    std::vector<uint8_t> bytes;
    try {
        lang::Ptr<io::InputStream> in(new io::AppDataInputStream(file));
        if (in->available() > kMaxSavedBytes) {
            setAside(file, "it is too large");
            return lua::LuaTable(state);
        }
        bytes = io::readAll(*in);
    } catch (const lang::Exception&) {
        return lua::LuaTable(state);  // no file yet: the scripts start from defaults
    }
    lua::LuaTable table(state);
    // A save is never empty: an empty file is one that lost its content.
    if (bytes.empty()) {
        setAside(file, "it is empty");
        return table;
    }
    const SavedTableResult result =
        openSavedTable(state, bytes.data(), bytes.size(), key_, table, file);
    if (result == SavedTableResult::READ) {
        return table;
    }
    if (result == SavedTableResult::FAILED_TO_RUN) {
        markDamaged("nuked", file, true);
    }
    setAside(file, result == SavedTableResult::UNREADABLE ? "it does not decrypt"
                                                          : "its text does not run");
    // Never half a table: the entries before the failure may be damaged too.
    return lua::LuaTable(state);
}

void GameSaves::markDamaged(const char* global, const std::string& file, bool asKey) {
    if (!world_.isTable(global)) {
        lua::LuaTable fresh(*world_.getState());
        world_.set(global, &fresh);
    }
    lua::LuaTable marks = world_.getTable(global);
    if (asKey) {
        marks.set(file, true);
    } else {
        marks.set(marks.count() + 1, file);
    }
}

// The next save would overwrite the damaged file; the player may still want
// it back, and a bug report wants to see it.
void GameSaves::setAside(const std::string& file, const char* reason) {
    const std::string path = io::pathUnderRoot(io::appDataRoot(), file);
    const std::string kept = path + ".bad";
    if (std::rename(path.c_str(), kept.c_str()) == 0) {
        QF_LOG("", lang::log::WARNING,
               "The saved file %s is damaged (%s): kept as %s, starting "
               "from defaults",
               path.c_str(), reason, kept.c_str());
    } else {
        QF_LOG("", lang::log::WARNING,
               "The saved file %s is damaged (%s) and cannot be set "
               "aside (%s): starting from defaults",
               path.c_str(), reason, std::strerror(errno));
    }
    markDamaged("damagedSaves", file, false);
}

void GameSaves::writeTable(const std::string& file, const lua::LuaTable& table) {
    std::vector<uint8_t> sealed = sealSavedTable(table.serializeToString(0, false), key_);
    io::replaceFile(io::pathUnderRoot(io::appDataRoot(), file), sealed.data(), sealed.size());
}

void GameSaves::saveLuaFile(std::string file, std::string tableName, bool sealed) {
    if (!world_.isTable(tableName)) {
        return;
    }
    lua::LuaTable table = world_.getTable(tableName);
    // A save that fails must not end the game: the old file stays, and the
    // player can go on and try again at the next save.
    try {
        if (sealed) {
            writeTable(file, table);
            return;
        }
        const std::string text = table.serializeToString(0, false);
        io::replaceFile(world_.resolvePath(file), text.data(), text.size());
    } catch (const lang::Throwable& e) {
        QF_LOG("", lang::log::WARNING, "Could not save %s, the old file is kept: %s", file.c_str(),
               e.what());
    }
}

void GameSaves::loadTableFromFile(std::string file, std::string globalName) {
    lua::LuaTable table = readTable(file);
    world_.set(globalName, &table);
}

void GameSaves::runScriptFile(const std::string& path, const lua::LuaTable& environment) {
    std::vector<uint8_t> bytes = readSealedFile(path);
    world_.getState()->runBuffer(bytes.data(), bytes.size(), path, &environment);
}

void GameSaves::loadLuaFile(std::string path, std::string objectName) {
    std::string resolved = world_.resolvePath(path);
    try {
        if (objectName.empty()) {
            runScriptFile(resolved, world_);
            return;
        }
        lua::LuaTable environment(*world_.getState());
        world_.set(objectName, &environment);
        runScriptFile(resolved, environment);
    } catch (const lang::Throwable& e) {
        reportLoadFailure("GameLua::loadLuaFile", path, e);
    }
}

void GameSaves::loadLuaFileToObject(const std::string& path, const lua::LuaTable& target,
                                    const std::string& objectName, bool reportErrors,
                                    bool checkName) {
    std::string resolved = world_.resolvePath(path);
    try {
        std::string fileName = io::PathName(path).getFileName();
        if (checkName && target.getString("filename") != fileName) {
            throw lang::Exception(
                lang::Format("The table is for {0}, not {1}", target.getString("filename"), path));
        }
        if (objectName.empty()) {
            runScriptFile(resolved, target);
            return;
        }
        lua::LuaTable environment(*world_.getState());
        environment.set("gamelua", static_cast<const lua::LuaTable*>(&world_));
        target.set(objectName, &environment);
        runScriptFile(resolved, environment);
    } catch (const lang::Throwable& e) {
        if (reportErrors) {
            reportLoadFailure("GameLua::loadLuaFileToObject", path, e);
        }
    }
}

int GameSaves::loadLuaFileToObjectNative(lua::LuaState* state) {
    std::string path = state->toString(1);
    lua::LuaTable target = state->toTable(2);
    std::string objectName = state->toString(3);
    bool reportErrors = state->getType(4) > LUA_TNIL ? state->toBoolean(4) : true;
    bool checkName = state->getType(5) > LUA_TNIL ? state->toBoolean(5) : false;
    loadLuaFileToObject(path, target, objectName, reportErrors, checkName);
    return 0;
}

bool GameSaves::checkForLuaFile(std::string path) {
    try {
        lang::Ptr<io::InputStream> in(new io::BundleInputStream(world_.resolvePath(path)));
        return true;
    } catch (const lang::Exception&) {
        return false;
    }
}
