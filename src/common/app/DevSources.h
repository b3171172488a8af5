#pragma once

#include <string>

/// The editable sources behind a running game's bundle, for the level editor
/// and hot reload: a folder laid out like the repository's bundle/ (scripts/,
/// levels/, particles/) and, when the game runs from its own build, that build
/// folder. An installed game has neither, and offers neither tool.
struct DevSources {
    std::string sources;  // scripts/, levels/ and particles/ below it
    std::string build;    // the build folder whose bundle/ is sealed from sources; may be empty

    bool available() const { return !sources.empty(); }
};

/// The sources for the bundle at dataFolder. option (--sources DIR) names them
/// outright and must be a folder with a scripts/ folder in it, or this throws
/// lang::Exception naming it. Without it, a game whose data folder is the
/// bundle this build assembled gets the repository's bundle/; any other gets
/// none.
DevSources findDevSources(const std::string& dataFolder, const std::string& option);
