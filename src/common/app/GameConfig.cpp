#include "common/app/GameConfig.h"

#include "lang/Exception.h"
#include "lang/Format.h"
#include "lua/LuaTable.h"
#include "lua/ScriptValues.h"

namespace {

// A folder given as another type would fail much later, far from its cause.
void readString(const lua::LuaTable& globals, const char* key, std::string& value) {
    if (globals.isNil(key)) {
        return;
    }
    if (!globals.isString(key)) {
        throw lang::Exception(lang::Format("{0} must be a string", key));
    }
    value = globals.getString(key);
}

}  // namespace

GameConfig& GameConfig::current() {
    static GameConfig config;
    return config;
}

void GameConfig::read(const lua::LuaTable& globals, const std::string& basePath) {
    std::string data;
    readString(globals, "datapath", data);
    if (!data.empty() || globals.isString("datapath")) {
        datapath = basePath + data;
    }
    readString(globals, "imagePath", imagePath);
    readString(globals, "fontPath", fontPath);
    readString(globals, "audioPath", audioPath);
    readString(globals, "localizationPath", localizationPath);
    readString(globals, "levelPath", levelPath);
    readString(globals, "commonScriptPath", commonScriptPath);
    readString(globals, "scriptPath", scriptPath);
    readString(globals, "shaderPath", shaderPath);
    readString(globals, "deviceModel", deviceModel);
    fullAdsVersion = lua::isTrue(globals, "isFullAdsVersion");
    hdVersion = globals.isBoolean("isHDVersion");
    readString(globals, "cloudServerUrl", cloudServerUrl);
    readString(globals, "analyticsLogFile", analyticsLogFile);
}

void GameConfig::clearPaths() {
    for (std::string* path : {&datapath, &imagePath, &fontPath, &audioPath, &localizationPath,
                              &levelPath, &scriptPath, &commonScriptPath, &deviceModel}) {
        path->clear();
    }
}
