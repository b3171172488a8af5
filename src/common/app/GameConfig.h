#pragma once

#include <string>

namespace lua {
class LuaTable;
}

/// The game keys of the configuration script. Process-wide, like the window
/// keys: read before the application exists, emptied once it has taken them.
struct GameConfig {
    std::string datapath;
    std::string imagePath;
    std::string fontPath;
    std::string audioPath;
    std::string localizationPath;
    std::string levelPath;
    std::string commonScriptPath;
    std::string scriptPath;
    std::string shaderPath;
    std::string deviceModel;
    bool fullAdsVersion = false;
    // Set when the key holds a boolean of either value.
    bool hdVersion = false;
    // Where the cloud client and analytics go; empty keeps them local.
    std::string cloudServerUrl;
    std::string analyticsLogFile;

    static GameConfig& current();

    /// Copies each key the globals hold with its type; datapath is prefixed
    /// with basePath.
    void read(const lua::LuaTable& globals, const std::string& basePath);
    /// Forgets the paths and the device model once the application has them.
    void clearPaths();
};
