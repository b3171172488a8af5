#include "common/app/LuaManager.h"

#include <utility>

#include "common/save/SealedFile.h"
#include "framework/App.h"
#include "io/BasicFileSystem.h"
#include "io/IOException.h"
#include "io/PathName.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"

namespace {

// Script folders are relative to the application's data path; without an
// application (tools, tests) they are relative to the bundle.
std::string resolveScriptPath(const std::string& path) {
    if (framework::App::exists()) {
        return framework::App::current->resolvePath(path);
    }
    return io::PathName(path).toString();
}

}  // namespace

LuaManager::LuaManager(lua::LuaState& state, std::vector<std::string> scriptFolders)
    : lua::LuaObject(state), state_(state), scriptFolders_(std::move(scriptFolders)) {
    state.getGlobals().set("native", static_cast<const lua::LuaTable*>(this));
    addMethod("loadLuaScript", this, &LuaManager::lua_loadLuaScript);
    bindMethod("logError", this, &LuaManager::lua_logError);
    bindMethod("logWarning", this, &LuaManager::lua_logWarning);
    bindMethod("logInfo", this, &LuaManager::lua_logInfo);
    bindMethod("logVerbose", this, &LuaManager::lua_logVerbose);
    bindMethod("logDebug", this, &LuaManager::lua_logDebug);
    loadScript("commands.lua");
}

LuaManager::~LuaManager() = default;

std::string LuaManager::findScript(const std::string& name) const {
    for (const std::string& folder : scriptFolders_) {
        std::string candidate = resolveScriptPath(folder + "/" + name);
        if (io::existsInBundle(candidate)) {
            return candidate;
        }
    }
    throw io::IOException(lang::Format("Cannot find script {0} in script paths.", name));
}

void LuaManager::loadScript(const std::string& name) {
    std::string path = findScript(name);
    std::vector<uint8_t> bytes = readSealedFile(path);
    state_.runBuffer(bytes.data(), bytes.size(), path, nullptr);
}

int LuaManager::lua_loadLuaScript(lua::LuaState* state) {
    std::string name = state->toString(1);
    try {
        loadScript(name);
    } catch (const lang::Exception& e) {
        state->pushString(e.getMessage());
        return 1;
    }
    return 0;
}

void LuaManager::lua_logError(const std::string& text) {
    lang::log::write("Lua", __FILE__, "LuaManager::lua_logError", __LINE__, lang::log::ERROR, "%s",
                     text.c_str());
}

void LuaManager::lua_logWarning(const std::string& text) {
    lang::log::write("Lua", __FILE__, "LuaManager::lua_logWarning", __LINE__, lang::log::WARNING,
                     "%s", text.c_str());
}

// The engine logs errors and warnings only.
void LuaManager::lua_logInfo(const std::string&) {}
void LuaManager::lua_logVerbose(const std::string&) {}
void LuaManager::lua_logDebug(const std::string&) {}
