#pragma once

#include <string>

/// Where the game's files are, from the configuration script's game keys.
struct GamePaths {
    std::string imagePath;
    std::string fontPath;
    std::string audioPath;
    std::string localizationPath;
    std::string levelPath;
    std::string scriptPath;
    std::string commonScriptPath;
    std::string deviceModel;
    bool hd = false;
};
