// The configuration script's game keys.

#include <gtest/gtest.h>

#include "common/app/GameConfig.h"
#include "lang/Exception.h"
#include "lang/Ptr.h"
#include "lua/LuaState.h"

namespace {

GameConfig readKeys(const std::string& script, const std::string& basePath = "") {
    lang::Ptr<lua::LuaState> state = new lua::LuaState();
    state->runBuffer(script.data(), script.size(), "config.lua", nullptr);
    GameConfig config;
    config.scriptPath = "kept";
    config.read(state->getGlobals(), basePath);
    return config;
}

}  // namespace

TEST(GameConfig, ReadsKeysOfTheirTypeOnly) {
    GameConfig config = readKeys(R"(
        datapath = "data"; commonScriptPath = "common"
        shaderPath = "shaders"; deviceModel = "Desk"; isFullAdsVersion = true
        cloudServerUrl = "http://127.0.0.1:1/")",
                                 "/base/");
    EXPECT_EQ(config.datapath, "/base/data");
    EXPECT_EQ(config.scriptPath, "kept");
    EXPECT_EQ(config.commonScriptPath, "common");
    EXPECT_EQ(config.shaderPath, "shaders");
    EXPECT_EQ(config.deviceModel, "Desk");
    EXPECT_TRUE(config.fullAdsVersion);
    EXPECT_EQ(config.cloudServerUrl, "http://127.0.0.1:1/");
}

TEST(GameConfig, PathsOfAnotherTypeNameTheKey) {
    for (const char* script : {"scriptPath = true", "datapath = {}", "levelPath = print"}) {
        try {
            readKeys(script);
            ADD_FAILURE() << script << " accepted";
        } catch (const lang::Exception& e) {
            const std::string key = std::string(script).substr(0, std::string(script).find(' '));
            EXPECT_EQ(std::string(e.what()), key + " must be a string");
        }
    }
}

TEST(GameConfig, HdFlagMeansTheKeyHoldsABoolean) {
    struct Case {
        const char* script;
        bool hd;
    } cases[] = {{"isHDVersion = true", true},
                 {"isHDVersion = false", true},
                 {"isHDVersion = 1", false},
                 {"", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(readKeys(c.script).hdVersion, c.hd) << c.script;
    }
}

TEST(GameConfig, ClearPathsKeepsTheRest) {
    GameConfig config = readKeys(R"(datapath = "d"; imagePath = "i"; shaderPath = "s")");
    config.clearPaths();
    EXPECT_EQ(config.datapath, "");
    EXPECT_EQ(config.imagePath, "");
    EXPECT_EQ(config.scriptPath, "");
    EXPECT_EQ(config.shaderPath, "s");
}
