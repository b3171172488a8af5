#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/WindowSettings.h"

namespace lua {
class LuaTable;
}

namespace framework {

/// Reads the application's own keys from the configuration script's globals;
/// runs after the window keys are applied.
using GameKeysReader = std::function<void(const lua::LuaTable& globals)>;

/// The folder part of argument 1 (before its last '/' or '\'), which becomes the
/// working directory; "" when it has none.
std::string configurationFolder(const std::string& argument);

/// "config.lua" without argument 1, else argument 1; once its folder has become
/// the working directory, only its file name part is left to open.
std::string configurationFile(const std::vector<std::string>& arguments);

/// 90, 180 and 270 degrees give 1, 2 and 3; anything else 0.
int orientationFromDegrees(float degrees);

/// Sets fullscreen to false and appends the orientations 1 and 3, then copies
/// every window key that the globals hold. Throws lang::Exception naming the
/// key when a value has the wrong type or a size or frame rate is out of range.
void applyWindowKeys(const lua::LuaTable& globals, WindowSettings& settings);

/// Runs the script at path (relative to the bundle) in a fresh Lua state and
/// applies the window keys and then the game keys. Stream and script errors
/// propagate; errors in the values are given the file's name.
void readConfiguration(const std::string& path, WindowSettings& settings,
                       const GameKeysReader& gameKeys);

}  // namespace framework
