#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"

// The level scripts' check of a level table, run on the plain sources: a bad
// level must be refused with a reason, never half-built or won at once.
namespace {

const std::string SCRIPTS = QUILLFIRE_SCRIPTS;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class LevelCheck : public ::testing::Test {
protected:
    void SetUp() override {
        // The engine runs blocks.lua in an empty table; so does this test.
        const std::string blocks = readFile(SCRIPTS + "/blocks.lua");
        lua::LuaTable catalogue(state);
        state.runBuffer(blocks.data(), blocks.size(), "blocks.lua", &catalogue);
        state.getGlobals().set("blockTable", &catalogue);
        const std::string level = readFile(SCRIPTS + "/level.lua");
        state.runBuffer(level.data(), level.size(), "level.lua", nullptr);
    }

    // Builds a good level, lets `change` spoil it, and returns the check's
    // verdict: "" when the level passes.
    std::string verdict(const std::string& change) {
        const std::string code =
            "level = { filename = 'x01.lua', theme = 'meadow', slingshot = { x = 3, y = -3 },\n"
            "  birds = { 'quill', 'quill' }, bounds = { left = -2, right = 30, top = -20,\n"
            "  bottom = 4 }, world = { g = { definition = 'GREMLIN', x = 20, y = -0.6 },\n"
            "  b = { definition = 'WOOD_BOX', x = 22, y = -0.5 } } }\n" +
            change +
            "\nverdict = Level.check(level, 'x01.lua', blockTable, { quill = true }) or ''";
        state.runBuffer(code.data(), code.size(), "case.lua", nullptr);
        return state.getGlobals().getString("verdict");
    }

    lua::LuaState state;
};

TEST_F(LevelCheck, GoodLevelPasses) {
    EXPECT_EQ("", verdict(""));
    EXPECT_EQ("", verdict("level.water = { waterLevel = 2 }"));
    EXPECT_EQ("", verdict("level.world.p = { definition = 'PORTAL_BLUE', x = 10, y = -3,"
                          " target = 'q' }\n"
                          "level.world.q = { definition = 'PORTAL_ORANGE', x = 14, y = -3 }"));
}

TEST_F(LevelCheck, BadLevelsSayWhy) {
    struct Case {
        const char* change;
        const char* reason;
    };
    const Case cases[] = {
        // The camera divides by the size of the bounds.
        {"level.bounds.right = level.bounds.left", "bounds are smaller"},
        {"level.bounds.top = level.bounds.bottom", "bounds are smaller"},
        {"level.bounds = { left = 0, right = 0/0, top = -20, bottom = 4 }", "bounds need"},
        {"level.bounds = nil", "bounds need"},
        // Nothing to topple would be won before the first shot.
        {"level.world.g = nil", "no gremlins"},
        {"level.world = {}", "no gremlins"},
        {"level.birds = {}", "no birds"},
        {"level.birds[2] = 'eagle'", "bird 2 is of the unknown kind eagle"},
        {"level.filename = 'other.lua'", "its filename is other.lua"},
        {"level.theme = 'jungle'", "theme jungle does not exist"},
        {"level.water = { waterLevel = 0 }", "positive waterLevel"},
        {"level.slingshot = { x = 100, y = -3 }", "slingshot"},
        {"level.world.b.definition = 'GOLD_BAR'", "b has the unknown definition GOLD_BAR"},
        {"level.world.b.x = nil", "b has no position"},
        {"level.world.b.x = 99", "b stands outside"},
        {"level.world.p = { definition = 'PORTAL_BLUE', x = 10, y = -3, target = 'b' }",
         "p leads to no portal"},
        {"level.world.p = { definition = 'PORTAL_BLUE', x = 10, y = -3, target = 'nowhere' }",
         "p leads to no portal"},
        {"level.joints = { j = { type = 3, end1 = 'b', end2 = 'ghost' } }",
         "joint j does not join"},
        {"level.joints = { j = { type = 9, end1 = 'b', end2 = 'g' } }", "unknown type 9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        const std::string got = verdict(c.change);
        EXPECT_NE(std::string::npos, got.find(c.reason)) << got;
    }
}

TEST_F(LevelCheck, NonTableLevelIsRefused) {
    EXPECT_EQ("it could not be read", verdict("level = nil"));
    EXPECT_EQ("it could not be read", verdict("level = 'm01'"));
}

// Crack stages follow the strength left: none while whole, then one per sprite.
TEST_F(LevelCheck, CrackStageFollowsStrength) {
    const std::string world = readFile(SCRIPTS + "/play/world.lua");
    // world.lua only defines functions and tables when loaded.
    state.runBuffer(world.data(), world.size(), "world.lua", nullptr);
    struct Case {
        float strength;
        int stages;
        int expected;
    };
    const Case cases[] = {
        {6, 2, 0}, {4.1f, 2, 0}, {3.9f, 2, 1}, {2.1f, 2, 1}, {1.9f, 2, 2},
        {0, 2, 2}, {-3, 2, 2},   {2.9f, 1, 1}, {3.1f, 1, 0}, {1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strength);
        const std::string code = "local t = { strength = " + std::to_string(c.strength) +
                                 ", maxStrength = 6, stages = {} }\nfor i = 1, " +
                                 std::to_string(c.stages) +
                                 " do t.stages[i] = 'S' .. i end\nstage = World.stageFor(t)";
        state.runBuffer(code.data(), code.size(), "stage.lua", nullptr);
        EXPECT_EQ(c.expected, static_cast<int>(state.getGlobals().getNumber("stage")));
    }
}

}  // namespace
