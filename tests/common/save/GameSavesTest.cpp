#include <gtest/gtest.h>

#include <cerrno>
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
#include "io/TempDir.h"
#include "io/VFS.h"
#include "qfseal/Sealer.h"
#include "support/LogCapture.h"

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
    for (const char* name : {"nuked", "damagedSaves", "highscores", "settings", "bi_data"}) {
        ASSERT_TRUE(world->isTable(name)) << name;
        EXPECT_EQ(world->getTable(name).count(), 0) << name;
    }
}

TEST_F(GameSavesTest, SavedSettingsComeBackWithTheirIdentifierKeys) {
    run(R"(settings = {volume = 0.5, name = "Ada \"the\" first\n", on = true,
                       levels = {1, 2, {stars = 3}}, [5] = "lost", ["my key"] = "lost",
                       playtime = 1234561, best = 1234567, step = 0.1}
           saveLuaFile("settings.lua", "settings", true)
           settings = nil
           loadTableFromFile("settings.lua", "settings"))");
    EXPECT_EQ(num("settings.volume"), 0.5f);
    EXPECT_EQ(str("settings.name"), "Ada \"the\" first\n");
    EXPECT_TRUE(truth("settings.on"));
    EXPECT_EQ(num("settings.levels[2] + settings.levels[3].stars"), 5);
    EXPECT_TRUE(truth("settings[5] == nil and settings['my key'] == nil"));
    // Every digit comes back: a play time that lost some would stop counting.
    EXPECT_TRUE(
        truth("settings.playtime == 1234561 and settings.best == 1234567 and "
              "settings.step == 0.1"));
    // Sealed, and written through a temporary file that is gone afterwards.
    EXPECT_EQ(appData.read("settings.lua").find("volume"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(appData.str()),
                            std::filesystem::directory_iterator()),
              1);
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
    qftest::LogCapture log;
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
        qftest::LogCapture log;
        saves().loadSavedTables();
        EXPECT_EQ(world->getTable("settings").count(), 0);
        EXPECT_EQ(truth("nuked['settings.lua'] == true"), c.nuked);
        // Set aside for the player and a bug report, and the scripts are told.
        EXPECT_FALSE(exists("settings.lua"));
        EXPECT_EQ(appData.read("settings.lua.bad"), c.bytes);
        EXPECT_EQ(str("damagedSaves[1]"), "settings.lua");
        EXPECT_TRUE(truth("damagedSaves[2] == nil"));
        ASSERT_EQ(log.messages(lang::log::WARNING).size(), 1u);
        EXPECT_NE(log.messages(lang::log::WARNING)[0].find(appData / "settings.lua.bad"),
                  std::string::npos);

        run("settings.volume = 3");
        saves().saveOnExit();
        saves().loadSavedTables();
        EXPECT_EQ(num("settings.volume"), 3);
        EXPECT_EQ(world->getTable("nuked").count(), 0);
        EXPECT_EQ(world->getTable("damagedSaves").count(), 0);
    }
}

TEST_F(GameSavesTest, EveryDamagedFileIsListedAndTheGoodOnesLoad) {
    appData.write("highscores.lua", "garbage");
    writeSaved("settings.lua", "volume = 0.5");
    writeSaved("bi_data.lua", "launches = ");
    saves().loadSavedTables();
    EXPECT_EQ(num("settings.volume"), 0.5f);
    EXPECT_EQ(str("damagedSaves[1] .. ',' .. damagedSaves[2]"), "highscores.lua,bi_data.lua");
    // A later load of another damaged file adds to the list.
    appData.write("extra.lua", "garbage");
    run("loadTableFromFile('extra.lua', 'extra')");
    EXPECT_EQ(str("damagedSaves[3]"), "extra.lua");
    EXPECT_TRUE(exists("extra.lua.bad"));
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
    bundle.write("out.lua", "old = 1\n");
    auto runHosted = [&](const std::string& code) {
        otherState.runBuffer(code.data(), code.size(), "t", hosted.get());
    };
    runHosted("level = {blocks = {'a'}}\nsaveLuaFile('out.lua', 'level', false)");
    EXPECT_EQ(bundle.read("out.lua"), "blocks = {\n    \"a\",\n}\n");
    // A table that cannot be written leaves the file as it was, not emptied.
    qftest::LogCapture log;
    runHosted(
        "level = {}; local p = level; for i = 1, 300 do p.a = {}; p = p.a end\n"
        "saveLuaFile('out.lua', 'level', false)");
    EXPECT_EQ(bundle.read("out.lua"), "blocks = {\n    \"a\",\n}\n");
    EXPECT_TRUE(log.contains("out.lua"));
}

// The game goes on after a save that fails: the old file stays, and the
// WARNING names the file and the reason.
TEST_F(GameSavesTest, FailingSavesAreWarningsAndKeepTheOldFile) {
    writeSaved("settings.lua", "volume = 0.5");
    appData.write("plain", "a file where a folder should be");
    struct Case {
        const char* what;
        const char* code;
        std::string file;
        std::string reason;
    };
    const Case cases[] = {
        {"no folder", "saveLuaFile('gone/settings.lua', 'settings', true)",
         appData / "gone/settings.lua", std::strerror(ENOENT)},
        {"a file in the folder's place", "saveLuaFile('plain/settings.lua', 'settings', true)",
         appData / "plain/settings.lua", std::strerror(ENOTDIR)},
        {"a table that would not load",
         "deep = {}; local p = deep; for i = 1, 300 do p.a = {}; p = p.a end\n"
         "saveLuaFile('settings.lua', 'deep', true)",
         "settings.lua", "does not load"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qftest::LogCapture log;
        run(std::string("settings = {volume = 1}\n") + c.code + "\nafterSave = true");
        EXPECT_TRUE(truth("afterSave"));
        run("afterSave = nil");
        const std::vector<std::string> warnings = log.messages(lang::log::WARNING);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find(c.file), std::string::npos) << warnings[0];
        EXPECT_NE(warnings[0].find(c.reason), std::string::npos) << warnings[0];
        saves().loadSavedTables();
        EXPECT_EQ(num("settings.volume"), 0.5f);
    }
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
        qftest::LogCapture log;
        run(c.code);
        if (*c.function) {
            ASSERT_EQ(log.records().size(), 1u) << c.code;
            EXPECT_EQ(std::string(log.records()[0].function), c.function);
            EXPECT_EQ(log.records()[0].level, lang::log::ERROR);
            EXPECT_NE(log.records()[0].message.find("Unable to load lua file scripts/"),
                      std::string::npos);
        } else {
            EXPECT_TRUE(log.records().empty()) << c.code;
        }
    }
    EXPECT_FALSE(truth("loaded == true"));
    run("t = {filename = 'levelA.lua'}\nloadLuaFileToObject('scripts/levelA.lua', t, '', true, "
        "true)");
    EXPECT_TRUE(truth("t.loaded"));
}

TEST_F(GameSavesTest, CheckForLuaFileOnlyOpensTheFile) {
    bundle.write("scripts/plain.lua", "not sealed at all");
    qftest::LogCapture log;
    EXPECT_TRUE(truth("checkForLuaFile('scripts/plain.lua')"));
    EXPECT_FALSE(truth("checkForLuaFile('scripts/missing.lua')"));
    EXPECT_TRUE(log.records().empty());
}

}  // namespace
