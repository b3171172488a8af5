#pragma once

#include <string>

namespace lua {
class LuaObject;
}

/// Appends object's natives to out, grouped under their topics as
/// "== topic" lines, one "name  signature" line each; prefix ("res.")
/// goes before every name.
void appendNatives(std::string& out, const lua::LuaObject& object, const std::string& prefix,
                   const std::string& fallbackTopic);

/// What `quillfire --list-natives` prints: the natives of a world built with
/// no window, context or bundle, then those of the script objects the game
/// publishes beside it. Reads the registration lists, so nothing can be
/// registered without showing up here.
std::string nativeListing();
