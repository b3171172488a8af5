#include "common/app/LevelSources.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "common/level/GameLevels.h"
#include "common/level/LevelText.h"
#include "common/world/GameLua.h"
#include "io/AtomicFile.h"
#include "io/BasicFileSystem.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "qfseal/Sealer.h"

namespace {

const size_t MAX_NAME_LENGTH = 32;
const char* const SOURCE_FOLDER = "/levels";
const char* const SUFFIX = ".lua";

// What a level made in the editor starts with.
std::string newHeader(const std::string& name) {
    return "-- " + name +
           ": made with the level editor.\n"
           "-- Positions are in world units; y grows downwards and the ground's top is 0.\n";
}

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

}  // namespace

LevelSources::LevelSources(GameLua& world, DevSources sources)
    : world_(world), sources_(std::move(sources)) {
    world_.setNativeTopic("Level editor");
    world_.bindMethod("levelSourceNames", this, &LevelSources::levelSourceNames);
    world_.bindMethod("readLevelSource", this, &LevelSources::readLevelSource);
    world_.bindMethod("saveLevelSource", this, &LevelSources::saveLevelSource);
    world_.setNativeTopic("");
}

bool LevelSources::isLevelName(const std::string& name) {
    if (name.empty() || name.size() > MAX_NAME_LENGTH ||
        !std::isalpha(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
    });
}

std::string LevelSources::sourceFile(const std::string& name) const {
    return sources_.sources + SOURCE_FOLDER + "/" + name + SUFFIX;
}

std::string LevelSources::sealedFile(const std::string& name) const {
    return world_.resolvePath(world_.paths().levelPath + "/" + name + SUFFIX);
}

lua::LuaTable LevelSources::levelSourceNames() {
    lua::LuaTable names(*world_.getState());
    if (!sources_.available()) {
        return names;
    }
    std::vector<std::string> found;
    for (const std::string& file : io::globNames(sources_.sources + SOURCE_FOLDER + "/*.lua")) {
        const std::string bare = file.substr(0, file.size() - std::string(SUFFIX).size());
        if (isLevelName(bare)) {
            found.push_back(bare);
        }
    }
    std::sort(found.begin(), found.end());
    int index = 1;
    for (const std::string& name : found) {
        names.set(index++, name);
    }
    return names;
}

lua::LuaTable LevelSources::readLevelSource(std::string name) {
    std::string text;
    if (!sources_.available() || !isLevelName(name) || !readText(sourceFile(name), text)) {
        throw lua::LuaException(lang::Format("readLevelSource: there is no level source {0}{1}",
                                             name, world_.getState()->getCallStack()));
    }
    try {
        return GameLevels::runLevelText(*world_.getState(), text, name + SUFFIX);
    } catch (const lang::Exception& e) {
        // To the script an error it can catch, like any native's.
        throw lua::LuaException(lang::Format("readLevelSource: {0}", e.getMessage()));
    }
}

std::string LevelSources::saveLevelSource(std::string name, lua::LuaTable level) {
    if (!isLevelName(name)) {
        return BAD_NAME;
    }
    if (!sources_.available()) {
        return "this game has no level sources";
    }
    const std::string source = sourceFile(name);
    std::string old;
    const std::string header = readText(source, old) ? levelHeader(old) : newHeader(name);
    level.set("filename", name + SUFFIX);
    const std::string text = levelText(level, header);
    try {
        io::replaceFile(source, text.data(), text.size());
        const std::vector<uint8_t> sealed = qfseal::seal(text, name + SUFFIX);
        io::replaceFile(sealedFile(name), sealed.data(), sealed.size());
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}
