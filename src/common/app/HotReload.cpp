#include "common/app/HotReload.h"

#include <algorithm>
#include <exception>

#include "common/app/ScriptSnapshot.h"
#include "common/app/SourceReseal.h"
#include "common/save/GameSaves.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "lang/Exception.h"
#include "lang/Log.h"
#include "lang/System.h"
#include "lauxlib.h"
#include "lua/LuaState.h"
#include "lua/ScriptValues.h"
#include "lua/StackGuard.h"
#include "pf/FolderWatcher.h"

namespace {

const char* const WATCHED[] = {"scripts", "levels", "particles"};

// The script loaders report an error in a nested file and go on (loadLuaFile
// shows it and returns); while a reload runs, such errors are recorded here
// instead, since they too make the new set a failed one.
class DialogCapture {
public:
    DialogCapture() : previous_(lang::Throwable::setDialogHook(&DialogCapture::record)) {
        active() = this;
    }
    ~DialogCapture() {
        lang::Throwable::setDialogHook(previous_);
        active() = nullptr;
    }
    DialogCapture(const DialogCapture&) = delete;
    DialogCapture& operator=(const DialogCapture&) = delete;

    std::vector<std::string> messages;

private:
    static DialogCapture*& active() {
        static DialogCapture* capture = nullptr;
        return capture;
    }
    static lang::Throwable::DialogChoice record(const std::string&, const std::string& message) {
        active()->messages.push_back(message);
        return lang::Throwable::DIALOG_IGNORE;
    }

    lang::Throwable::DialogHook previous_;
};

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

// Compiles every source without running any: one that does not compile keeps
// the whole set out.
std::string compileErrors(lua_State* L, const std::vector<BundleSource>& sources) {
    lua::StackGuard guard(L);
    std::vector<std::string> errors;
    for (const BundleSource& source : sources) {
        const std::string chunk = "@" + source.name;
        if (luaL_loadbuffer(L, reinterpret_cast<const char*>(source.content.data()),
                            source.content.size(), chunk.c_str()) != 0) {
            const char* message = lua_tostring(L, -1);
            errors.push_back(message ? message : source.name + ": does not compile");
        }
        lua_pop(L, 1);
    }
    return joined(errors, "\n");
}

// Calls the scripts' hook name with arg when they define one; its result
// when that is a table.
lua::LuaTable callReloadHook(GameLua& world, const char* name, const lua::LuaTable& arg) {
    lua::LuaState& state = *world.getState();
    lua::StackGuard guard(state.getLua());
    world.pushField(name);
    const bool defined = lua_isfunction(state.getLua(), -1);
    state.pop(1);
    if (!defined) {
        return lua::LuaTable();
    }
    lua::pushFunction(world, name);
    state.pushTable(&arg);
    state.call(1, 1);
    return state.isTable(-1) ? state.toTable(-1) : lua::LuaTable();
}

// As the game loads them at start: the star limits, then the game logic.
void runGameScripts(GameLua& world) {
    const GamePaths& paths = world.paths();
    world.saves().loadLuaFileToObject(paths.scriptPath + "/starLimits.lua", world, "starTable");
    const std::string path = world.resolvePath(paths.commonScriptPath + "/gamelogic.lua");
    const std::vector<uint8_t> bytes = readSealedFile(path);
    world.getState()->runBuffer(bytes.data(), bytes.size(), path, &world);
}

// Runs the new set and its scriptsReloaded; the errors, none when it took.
std::vector<std::string> runNewSet(GameLua& world, const lua::LuaTable& kept,
                                   DialogCapture& capture) {
    std::vector<std::string> errors;
    try {
        runGameScripts(world);
    } catch (const lang::Throwable& e) {
        errors.push_back(e.getMessage());
    }
    errors.insert(errors.end(), capture.messages.begin(), capture.messages.end());
    if (!errors.empty()) {
        return errors;
    }
    try {
        callReloadHook(world, "scriptsReloaded", kept);
    } catch (const lang::Throwable& e) {
        errors.push_back("scriptsReloaded: " + e.getMessage());
    }
    errors.insert(errors.end(), capture.messages.begin(), capture.messages.end());
    return errors;
}

// Runs the game scripts again between the reload hooks; the error, or empty.
// A failure restores the tables of the scripts that ran before and lets them
// restart what their scriptsReloading stopped.
std::string runScripts(GameLua& world) {
    DialogCapture capture;
    lua::LuaTable kept;
    try {
        kept = callReloadHook(world, "scriptsReloading", lua::LuaTable());
    } catch (const lang::Throwable& e) {
        return "scriptsReloading of the running scripts failed: " + e.getMessage();
    }
    const ScriptSnapshot snapshot(world);
    std::vector<std::string> errors = runNewSet(world, kept, capture);
    if (errors.empty()) {
        return std::string();
    }
    snapshot.restore();
    try {
        callReloadHook(world, "scriptsReloaded", kept);
    } catch (const lang::Throwable& e) {
        errors.push_back("The last good scripts did not restart either: " + e.getMessage());
    }
    return joined(errors, "\n");
}

}  // namespace

HotReload::HotReload(const DevSources& sources, GameLua& world, const std::string& dataFolder,
                     bool watch)
    : sources_(sources), world_(world), dataFolder_(dataFolder) {
    if (!watch) {
        return;
    }
    std::vector<std::string> roots;
    for (const char* folder : WATCHED) {
        roots.push_back(sources_.sources + "/" + folder);
    }
    try {
        watcher_ = std::make_unique<pf::FolderWatcher>(roots, QUIET_MILLIS);
    } catch (const lang::Throwable& e) {
        // The key still reloads.
        QF_LOG("", lang::log::WARNING, "Hot reload does not follow %s: %s",
               sources_.sources.c_str(), e.what());
    }
}

HotReload::~HotReload() = default;

bool HotReload::isSource(const std::string& path) const {
    const std::string suffix = ".lua";
    if (path.size() >= suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return true;
    }
    // A folder itself: the system lost track of what changed below it.
    return std::any_of(std::begin(WATCHED), std::end(WATCHED),
                       [&](const char* folder) { return path == sources_.sources + "/" + folder; });
}

void HotReload::poll(int64_t nowMillis) {
    if (watcher_) {
        const std::vector<std::string> batch = watcher_->poll(nowMillis);
        if (std::any_of(batch.begin(), batch.end(),
                        [this](const std::string& path) { return isSource(path); })) {
            changed_ = true;
        }
    }
    if (requested_ || changed_) {
        const Trigger trigger = requested_ ? Trigger::KEY : Trigger::CHANGE;
        requested_ = changed_ = false;
        reload(trigger);
    }
}

bool HotReload::reload(Trigger trigger) {
    const int64_t start = lang::System::currentTimeMicros();
    const Outcome outcome = resealAndRun(trigger);
    if (outcome == Outcome::NOTHING_CHANGED) {
        return true;
    }
    const bool ok = outcome == Outcome::RELOADED;
    const double millis = static_cast<double>(lang::System::currentTimeMicros() - start) / 1000;
    const std::string files = resealed_.empty() ? "no files" : joined(resealed_, ", ");
    if (ok) {
        QF_LOG("", lang::log::INFO, "Hot reload: resealed %s; the scripts run again (%.1f ms)",
               files.c_str(), millis);
    } else {
        QF_LOG("", lang::log::ERROR,
               "Hot reload failed (%.1f ms, resealed %s); the last good scripts go on:\n%s", millis,
               files.c_str(), error().c_str());
    }
    return ok;
}

HotReload::Outcome HotReload::resealAndRun(Trigger trigger) {
    resealed_.clear();
    std::string error;
    try {
        const std::vector<BundleSource> all = readBundleSources(sources_.sources, dataFolder_);
        const std::vector<BundleSource> changed = changedSources(all);
        if (changed.empty() && trigger == Trigger::CHANGE) {
            return Outcome::NOTHING_CHANGED;
        }
        error = compileErrors(world_.getState()->getLua(), all);
        if (error.empty()) {
            for (const BundleSource& file : changed) {
                resealed_.push_back(file.name);
            }
            writeSealed(changed);
            error = runScripts(world_);
        }
    } catch (const std::exception& e) {
        error = e.what();  // a source or a sealed file could not be read or written
    }
    if (error.empty()) {
        errorView_.clear();
        return Outcome::RELOADED;
    }
    errorView_.show(error);
    return Outcome::FAILED;
}
