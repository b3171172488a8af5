#pragma once

#include <string>
#include <vector>

class GameLua;
namespace framework {
struct StateDigest;
}

/// Every object of the world with a body: the bits of its position, angle
/// and linear and angular velocity, so that any change at all is seen.
void digestWorld(const GameLua& world, framework::StateDigest& digest);

/// A SHA-1 over the files below the folders (recursively, in name order):
/// each file's path below its folder and its content, sealed files by what
/// they hold, so that sealing the same sources again gives the same id.
/// Missing folders count as empty.
std::string contentDigest(const std::vector<std::string>& folders);
