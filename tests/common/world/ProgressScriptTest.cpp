// The game's saved progress script (bundle/scripts/progress.lua) run in a
// world: damaged tables are mended, stars and unlocks follow the results.

#include <fstream>
#include <sstream>
#include <string>

#include "common/world/GameLuaFixture.h"

using worldtest::GameLuaFixture;

class ProgressScriptTest : public GameLuaFixture {
protected:
    void SetUp() override {
        std::ifstream in(QF_GAME_SCRIPTS "/progress.lua");
        ASSERT_TRUE(in.good());
        std::stringstream text;
        text << in.rdbuf();
        run(text.str());
        // Saving is recorded instead of written to the player's folder.
        run(R"(
            saved = {}
            function saveLuaFile(file, name) saved[#saved + 1] = file end
            function loadTableFromFile(file, name) end
            eps = { { levels = { "a1", "a2" } }, { levels = { "b1" } } }
            settings = {}; highscores = {}; progress = {}
            Progress.load()
        )");
    }
    std::string settingsAfter(const std::string& table) {
        run("settings = " + table + "; Progress.load()");
        return str(
            "string.format('%g %s %s %s %s', settings.volume, tostring(settings.sfx), "
            "tostring(settings.music), settings.language, tostring(settings.fullscreen))");
    }
};

TEST_F(ProgressScriptTest, DamagedSettingsBecomeDefaults) {
    struct Case {
        const char* saved;
        const char* expected;
    };
    const Case cases[] = {
        {"nil", "0.8 true true en false"},
        {"'text'", "0.8 true true en false"},
        {"{ volume = 'loud', sfx = 'yes', music = 0, language = 'fr', fullscreen = 1 }",
         "0.8 true true en false"},
        {"{ volume = 0/0 }", "0.8 true true en false"},
        {"{ volume = 7 }", "1 true true en false"},
        {"{ volume = -2 }", "0 true true en false"},
        {"{ volume = '0.25' }", "0.25 true true en false"},
        {"{ volume = 0.3, sfx = false, music = false, language = 'de', fullscreen = true }",
         "0.3 false false de true"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        EXPECT_EQ(c.expected, settingsAfter(c.saved));
    }
}

TEST_F(ProgressScriptTest, DamagedProgressKeepsOnlyWhatIsValid) {
    run(R"(
        highscores = { a1 = 1200.7, a2 = -5, b1 = 'many', [3] = 10 }
        progress = { stars = { a1 = 9, a2 = 'x', b1 = 2 }, unlocked = { a2 = true, b1 = 'yes' } }
        Progress.load()
    )");
    EXPECT_EQ("1200 nil nil", str("tostring(highscores.a1) .. ' ' .. tostring(highscores.a2) .. "
                                  "' ' .. tostring(highscores.b1)"));
    EXPECT_EQ("3 nil 2", str("tostring(progress.stars.a1) .. ' ' .. tostring(progress.stars.a2) "
                             ".. ' ' .. tostring(progress.stars.b1)"));
    EXPECT_TRUE(truth("progress.unlocked.a2 == true and progress.unlocked.b1 == nil"));
    run("progress = 'garbage'; Progress.load()");
    EXPECT_TRUE(truth("next(progress.stars) == nil and next(progress.unlocked) == nil"));
}

TEST_F(ProgressScriptTest, StarsCountTheLimitsReachedAndAWinEarnsOne) {
    run("starTable = { a1 = { 1000, 2000, 3000 }, a2 = 'broken' }");
    struct Case {
        const char* level;
        int score;
        bool won;
        int stars;
    };
    const Case cases[] = {
        {"a1", 999, true, 1},   {"a1", 1000, true, 1}, {"a1", 2000, true, 2}, {"a1", 5000, true, 3},
        {"a1", 5000, false, 0}, {"a2", 5000, true, 1}, {"none", 0, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " " + std::to_string(c.score));
        EXPECT_EQ(c.stars, static_cast<int>(num("Progress.starsFor('" + std::string(c.level) +
                                                "', " + std::to_string(c.score) + ", " +
                                                (c.won ? "true" : "false") + ")")));
    }
}

TEST_F(ProgressScriptTest, WinsUnlockTheNextLevelAcrossEpisodes) {
    run("starTable = { a1 = { 100, 200, 300 } }");
    EXPECT_TRUE(truth("Progress.isUnlocked('a1', eps)"));
    EXPECT_FALSE(truth("Progress.isUnlocked('a2', eps)"));
    // A loss changes nothing and saves nothing.
    run("beaten = Progress.record('a1', 250, false, eps)");
    EXPECT_FALSE(truth("Progress.isUnlocked('a2', eps)"));
    EXPECT_EQ(0, static_cast<int>(num("#saved")));

    run("beaten = Progress.record('a1', 250, true, eps)");
    EXPECT_TRUE(truth("beaten and Progress.isUnlocked('a2', eps)"));
    EXPECT_EQ(2, static_cast<int>(num("progress.stars.a1")));
    EXPECT_EQ(250, static_cast<int>(num("highscores.a1")));
    // A lower score later neither lowers the highscore nor takes a star away.
    run("beaten = Progress.record('a1', 120, true, eps)");
    EXPECT_FALSE(truth("beaten"));
    EXPECT_EQ(2, static_cast<int>(num("progress.stars.a1")));
    EXPECT_EQ(250, static_cast<int>(num("highscores.a1")));
    // The last level of an episode opens the first of the next.
    run("Progress.record('a2', 10, true, eps)");
    EXPECT_TRUE(truth("Progress.isUnlocked('b1', eps)"));
    EXPECT_TRUE(truth("Progress.nextLevel('b1', eps) == nil"));
    EXPECT_EQ("highscores.lua progress.lua", str("saved[1] .. ' ' .. saved[2]"));
}

TEST_F(ProgressScriptTest, DamagedFilesJoinTheEnginesTwoLists) {
    run("damagedSaves = { 'settings.lua', 'progress.lua' }; "
        "nuked = { ['progress.lua'] = true, ['highscores.lua'] = true, ['bi_data.lua'] = false }");
    EXPECT_EQ("highscores.lua progress.lua settings.lua",
              str("table.concat(Progress.damagedFiles(), ' ')"));
    run("damagedSaves = nil; nuked = {}");
    EXPECT_EQ(0, static_cast<int>(num("#Progress.damagedFiles()")));
}
