#pragma once

#include <string>
#include <vector>

#include "lua/LuaObject.h"

/// Finds game scripts by name in an ordered list of script folders, reads them
/// as sealed files and runs them in the global environment. Published to the
/// scripts as the global "native", with "loadLuaScript" and the logging
/// functions; other objects may add their own entries to that table.
class LuaManager : public lua::LuaObject {
public:
    /// Publishes "native" and runs "commands.lua"; every failure of loading it
    /// leaves the constructor as an exception.
    LuaManager(lua::LuaState& state, std::vector<std::string> scriptFolders);
    ~LuaManager() override;

    /// The bundle path of the first folder that holds name; throws
    /// io::IOException "Cannot find script {0} in script paths." otherwise.
    std::string findScript(const std::string& name) const;
    /// Finds, unseals and runs the script; throws io::IOException,
    /// lang::Exception and lua::LuaException.
    void loadScript(const std::string& name);

    const std::vector<std::string>& getScriptFolders() const { return scriptFolders_; }

private:
    /// native.loadLuaScript(name): nothing on success, the error text on failure.
    int lua_loadLuaScript(lua::LuaState* state);
    void lua_logError(const std::string& text);
    void lua_logWarning(const std::string& text);
    void lua_logInfo(const std::string& text);
    void lua_logVerbose(const std::string& text);
    void lua_logDebug(const std::string& text);

    lua::LuaState& state_;
    std::vector<std::string> scriptFolders_;
};
