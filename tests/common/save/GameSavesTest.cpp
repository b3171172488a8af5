#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/save/GameSaves.h"
#include "common/save/PersistenceKey.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "common/world/GameLuaFixture.h"
#include "io/IOException.h"
#include "io/LogCapture.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "qfseal/Sealer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Application data and bundle in fresh folders while a test runs.
class Roots {
protected:
    Roots() : oldAppData_(io::appDataRoot()), oldBundle_(io::bundleRoot()) {
        io::setAppDataRoot(appData.str() + "/");
        io::setBundleRoot(bundle.str() + "/");
    }
    ~Roots() {
        io::setAppDataRoot(oldAppData_);
        io::setBundleRoot(oldBundle_);
    }

    TempDir appData;
    TempDir bundle;

private:
    std::string oldAppData_, oldBundle_;
};

class GameSavesTest : private Roots, public worldtest::GameLuaFixture {
protected:
    GameSaves& saves() { return world->saves(); }

    void writeSaved(const std::string& file, const std::string& source,
                    const Bytes& key = persistenceKey()) {
        Bytes sealed = sealSavedTable(source, key);
        appData.write(file, std::string(sealed.begin(), sealed.end()));
    }
    void script(const std::string& path, const std::string& code) {
        Bytes sealed = qfseal::seal(code, path);
        bundle.write(path, std::string(sealed.begin(), sealed.end()));
    }
    bool exists(const std::string& appDataFile) {
        return std::filesystem::exists(appData / appDataFile);
    }

    using Roots::appData;
    using Roots::bundle;
};

TEST_F(GameSavesTest, FirstStartGivesEmptyTables) {
    saves().loadSavedTables();
    for (const char* name : {"nuked", "highscores", "settings", "bi_data"}) {
        ASSERT_TRUE(world->isTable(name)) << name;
        EXPECT_EQ(world->getTable(name).count(), 0) << name;
    }
}

TEST_F(GameSavesTest, SavedSettingsComeBackWithTheirIdentifierKeys) {
    run(R"(settings = {volume = 0.5, name = "Ada \"the\" first\n", on = true,
                       levels = {1, 2, {stars = 3}}, [5] = "lost", ["my key"] = "lost"}
           saveLuaFile("settings.lua", "settings", true)
           settings = nil
           loadTableFromFile("settings.lua", "settings"))");
    EXPECT_EQ(num("settings.volume"), 0.5f);
    EXPECT_EQ(str("settings.name"), "Ada \"the\" first\n");
    EXPECT_TRUE(truth("settings.on"));
    EXPECT_EQ(num("settings.levels[2] + settings.levels[3].stars"), 5);
    EXPECT_TRUE(truth("settings[5] == nil and settings['my key'] == nil"));
    // Sealed, and written through a temporary file that is gone afterwards.
    EXPECT_EQ(appData.read("settings.lua").find("volume"), std::string::npos);
    EXPECT_FALSE(exists("settings.lua.tmp"));
}

TEST_F(GameSavesTest, ExitSavesSettingsAndPlayDataAfterThePlaytimeHook) {
    run(R"(settings = {volume = 0.25}
           bi_data = {launches = 3}
           highscores = {best = 7}
           function calculatePlaytime() bi_data.playtime = 42 end)");
    saves().saveOnExit();
    saves().loadSavedTables();
    EXPECT_EQ(num("settings.volume"), 0.25f);
    EXPECT_EQ(num("bi_data.launches + bi_data.playtime"), 45);
    // Highscores are saved by the scripts only.
    EXPECT_FALSE(exists("highscores.lua"));
}

TEST_F(GameSavesTest, ExitStillSavesWhenThePlaytimeHookFails) {
    LogCapture log;
    run("settings = {volume = 1}");  // no calculatePlaytime
    saves().saveOnExit();
    EXPECT_TRUE(log.contains("calculatePlaytime"));
    saves().loadSavedTables();
    EXPECT_EQ(num("settings.volume"), 1);
}

TEST_F(GameSavesTest, DamagedFilesGiveEmptyTablesAndTheNextSaveIsGood) {
    const std::string good = "volume = 0.5\nname = \"player\"\n";
    Bytes sealed = sealSavedTable(good, persistenceKey());
    auto text = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
    auto seal = [](const std::string& source) {
        Bytes b = sealSavedTable(source, persistenceKey());
        return std::string(b.begin(), b.end());
    };
    std::string doubling = "s = 'abcdefgh'\n";
    for (int i = 0; i < 40; ++i) {
        doubling += "s = s .. s\n";
    }
    struct Case {
        const char* what;
        std::string bytes;
        bool nuked;
    };
    const Case cases[] = {
        {"empty file", "", false},
        {"cut inside a block", text(Bytes(sealed.begin(), sealed.end() - 5)), false},
        {"cut at a block", text(Bytes(sealed.begin(), sealed.end() - 16)), false},
        {"sealed with the content key", text(sealSavedTable(good, contentKey())), false},
        {"plain text", good, false},
        {"does not compile", seal("volume = = 1"), true},
        {"fails while running", seal("volume = 1\nerror('boom')"), true},
        {"runs for ever", seal("volume = 1\nwhile true do end"), true},
        {"grows without end", seal(doubling), true},
        {"precompiled", seal("\x1bLua\x51 rest"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        appData.write("settings.lua", c.bytes);
        saves().loadSavedTables();
        EXPECT_EQ(world->getTable("settings").count(), 0);
        EXPECT_EQ(truth("nuked['settings.lua'] == true"), c.nuked);

        run("settings.volume = 3");
        saves().saveOnExit();
        saves().loadSavedTables();
        EXPECT_EQ(num("settings.volume"), 3);
        EXPECT_EQ(world->getTable("nuked").count(), 0);
    }
}

TEST(SavedTableTest, RandomBytesNeverOpen) {
    lua::LuaState state;
    std::mt19937 random(7);
    for (size_t size : {1u, 15u, 16u, 17u, 32u, 48u, 1000u, 4096u}) {
        for (int round = 0; round < 20; ++round) {
            Bytes bytes(size);
            for (uint8_t& b : bytes) {
                b = static_cast<uint8_t>(random());
            }
            lua::LuaTable into(state);
            EXPECT_NE(
                openSavedTable(state, bytes.data(), bytes.size(), persistenceKey(), into, "random"),
                SavedTableResult::READ);
        }
    }
}

TEST(SavedTableTest, PersistenceKeyIsItsOwn) {
    EXPECT_EQ(persistenceKey().size(), 32u);
    EXPECT_NE(persistenceKey(), contentKey());
}

TEST_F(GameSavesTest, SaveLuaFileWritesOnlyTables) {
    run(R"(settings = 5
           saveLuaFile("settings.lua", "settings", true)
           saveLuaFile("missing.lua", "noSuchGlobal", true))");
    EXPECT_FALSE(exists("settings.lua"));
    EXPECT_FALSE(exists("missing.lua"));
}

TEST_F(GameSavesTest, UnsealedSaveWritesLuaTextAtTheResolvedPath) {
    worldtest::RecordingHost host;
    host.basePath = bundle.str();
    lua::LuaState otherState;
    GameLua::Services services;
    services.host = &host;
    lang::Ptr<GameLua> hosted(new GameLua(otherState, services));
    std::string code = "level = {blocks = {'a'}}\nsaveLuaFile('out.lua', 'level', false)";
    otherState.runBuffer(code.data(), code.size(), "t", hosted.get());
    EXPECT_EQ(bundle.read("out.lua"), "blocks = {\n    \"a\",\n}\n");
}

TEST_F(GameSavesTest, FailingSealedSaveRaisesToTheScript) {
    io::setAppDataRoot(appData / "no/such/folder/");
    run("settings = {volume = 1}");
    EXPECT_THROW(run("saveLuaFile('settings.lua', 'settings', true)"), io::IOException);
}

TEST_F(GameSavesTest, ScriptFilesLoadIntoTheWorldOrIntoTables) {
    script("scripts/a.lua", "fromFile = 'world'\nvalue = 4");
    run(R"(loadLuaFile("scripts/a.lua", "")
           loadLuaFile("scripts/a.lua", "holder")
           target = {}
           loadLuaFileToObject("scripts/a.lua", target, "inner")
           loadLuaFileToObject("scripts/a.lua", target, ""))");
    EXPECT_EQ(str("fromFile"), "world");
    EXPECT_EQ(num("holder.value"), 4);
    EXPECT_EQ(num("target.inner.value + target.value"), 8);
    EXPECT_TRUE(truth("target.inner.gamelua == this"));
}

TEST_F(GameSavesTest, ApplicationLoadsATableFromCpp) {
    script("scripts/starLimits.lua", "limits = {1, 2, 3}");
    saves().loadLuaFileToObject("scripts/starLimits.lua", *world, "starTable");
    EXPECT_EQ(num("starTable.limits[3]"), 3);
}

TEST_F(GameSavesTest, LoadFailuresAreReportedUnlessAskedNotTo) {
    script("scripts/broken.lua", "x = = 1");
    script("scripts/levelA.lua", "loaded = true");
    struct Case {
        const char* code;
        const char* function;  // empty: nothing logged
    };
    const Case cases[] = {
        {"loadLuaFile('scripts/missing.lua', '')", "GameLua::loadLuaFile"},
        {"loadLuaFile('scripts/broken.lua', 'b')", "GameLua::loadLuaFile"},
        {"loadLuaFileToObject('scripts/missing.lua', {}, 'x')", "GameLua::loadLuaFileToObject"},
        {"loadLuaFileToObject('scripts/missing.lua', {}, 'x', false)", ""},
        {"loadLuaFileToObject('scripts/levelA.lua', {filename = 'levelB.lua'}, 'x', true, true)",
         "GameLua::loadLuaFileToObject"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        run(c.code);
        if (*c.function) {
            ASSERT_EQ(log.records.size(), 1u) << c.code;
            EXPECT_EQ(std::string(log.records[0].function), c.function);
            EXPECT_EQ(log.records[0].level, lang::log::ERROR);
            EXPECT_NE(log.records[0].message.find("Unable to load lua file scripts/"),
                      std::string::npos);
        } else {
            EXPECT_TRUE(log.records.empty()) << c.code;
        }
    }
    EXPECT_FALSE(truth("loaded == true"));
    run("t = {filename = 'levelA.lua'}\nloadLuaFileToObject('scripts/levelA.lua', t, '', true, "
        "true)");
    EXPECT_TRUE(truth("t.loaded"));
}

TEST_F(GameSavesTest, CheckForLuaFileOnlyOpensTheFile) {
    bundle.write("scripts/plain.lua", "not sealed at all");
    LogCapture log;
    EXPECT_TRUE(truth("checkForLuaFile('scripts/plain.lua')"));
    EXPECT_FALSE(truth("checkForLuaFile('scripts/missing.lua')"));
    EXPECT_TRUE(log.records.empty());
}

}  // namespace
