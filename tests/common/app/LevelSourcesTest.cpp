// The level editor's natives: listing, reading and saving level sources, and
// the sealed copy the running game starts.

#include <filesystem>
#include <string>
#include <vector>

#include "common/app/LevelSources.h"
#include "common/level/GameLevels.h"
#include "common/world/GameLuaFixture.h"
#include "io/TempDir.h"
#include "qfseal/Sealer.h"

using worldtest::GameLuaFixture;

namespace {

const char* const LEVEL = R"(
    edited = { theme = 'meadow', slingshot = { x = 3, y = -3.2 }, birds = { 'quill' },
               bounds = { left = -2, right = 32, top = -20, bottom = 4 },
               world = { greml01 = { definition = 'GREMLIN', x = 20, y = -0.6 } } }
)";

}  // namespace

// A world whose sources are one fresh folder and whose game data is another.
class LevelSourcesTest : public GameLuaFixture {
protected:
    LevelSourcesTest() {
        GameLua::Services services;
        services.context = context;
        services.host = &host;
        services.paths.levelPath = "levels";
        host.basePath = data.str();
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        sources.mkdir("scripts");
        sources.mkdir("levels");
        data.mkdir("levels");
        editor = std::make_unique<LevelSources>(*world, DevSources{sources.str(), ""});
        run(LEVEL);
    }
    ~LevelSourcesTest() override {
        world.reset();
        editor.reset();
    }
    std::string save(const std::string& name) {
        return str("saveLevelSource('" + name + "', edited)");
    }
    std::string unsealed(const std::string& path) {
        const std::string bytes = data.read(path);
        const std::vector<uint8_t> content =
            qfseal::unseal(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        return std::string(content.begin(), content.end());
    }

    worldtest::RecordingHost host;
    TempDir sources;
    TempDir data;
    std::unique_ptr<LevelSources> editor;
};

TEST_F(LevelSourcesTest, ASavedLevelIsItsSourceAndTheSameTextSealedForTheGame) {
    ASSERT_EQ("", save("castle"));
    const std::string text = sources.read("levels/castle.lua");
    EXPECT_EQ(0u, text.find("-- castle: made with the level editor.\n")) << text;
    EXPECT_NE(text.find("filename = \"castle.lua\"\ntheme = \"meadow\"\n"), std::string::npos)
        << text;
    EXPECT_EQ(text, unsealed("levels/castle.lua"));
    EXPECT_EQ("castle.lua", str("edited.filename"));

    // It reads back as the level it was, and as the game reads its levels.
    run("back = readLevelSource('castle')");
    EXPECT_EQ(num("back.world.greml01.y"), -0.6f);
    EXPECT_EQ(str("back.birds[1]"), "quill");
    EXPECT_EQ(num("back.bounds.right"), 32);
    EXPECT_NO_THROW(GameLevels::runLevelText(state, text, "castle.lua"));
}

TEST_F(LevelSourcesTest, SavingAgainKeepsTheCommentsAHandWrittenLevelStartsWith) {
    sources.write(
        "levels/m09.lua",
        "-- m09: The Long Hall.\n-- By hand.\nfilename = \"m09.lua\"\ntheme = \"dusk\"\n");
    ASSERT_EQ("", save("m09"));
    const std::string text = sources.read("levels/m09.lua");
    EXPECT_EQ(0u, text.find("-- m09: The Long Hall.\n-- By hand.\nfilename = \"m09.lua\"\n"))
        << text;
    EXPECT_EQ(std::string::npos, text.find("dusk")) << "the old level is replaced";
}

TEST_F(LevelSourcesTest, ABadNameIsRefusedAndWritesNothing) {
    const char* const names[] = {"",    "1st",        "../up", "a/b",
                                 "a.b", "with space", "-x",    "abcdefghijabcdefghijabcdefghijabc"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LevelSources::BAD_NAME, save(name));
    }
    EXPECT_TRUE(std::filesystem::is_empty(sources / "levels"));
    EXPECT_TRUE(std::filesystem::is_empty(data / "levels"));
    // Names that are good.
    for (const char* name : {"m01", "my_level", "Cliff-2", "abcdefghijabcdefghijabcdefghijab"}) {
        EXPECT_TRUE(LevelSources::isLevelName(name)) << name;
    }
}

TEST_F(LevelSourcesTest, AFailedWriteIsReportedAndLeavesWhatWasThere) {
    sources.write("levels/kept.lua", "-- old\nfilename = \"kept.lua\"\n");
    // The game's level folder is a file: the sealed copy cannot be written.
    std::filesystem::remove_all(data / "levels");
    data.write("levels", "not a folder");
    EXPECT_NE("", save("fresh"));
    EXPECT_EQ("not a folder", data.read("levels"));

    // The sources' level folder is a file: nothing is written at all.
    std::filesystem::remove_all(sources / "levels");
    sources.write("levels", "also not a folder");
    const std::string failure = save("kept");
    EXPECT_NE("", failure);
    EXPECT_NE(std::string::npos, failure.find("kept.lua")) << failure;
    EXPECT_EQ("also not a folder", sources.read("levels"));
}

TEST_F(LevelSourcesTest, TheListHoldsTheLevelSourcesByName) {
    sources.write("levels/b2.lua", "filename = 'b2.lua'");
    sources.write("levels/a1.lua", "filename = 'a1.lua'");
    sources.write("levels/README.md", "not a level");
    sources.write("levels/.hidden.lua", "not a name");
    sources.mkdir("levels/sub");
    run("names = levelSourceNames()");
    EXPECT_EQ("a1 b2", str("table.concat(names, ' ')"));
}

TEST_F(LevelSourcesTest, ReadingALevelThatIsNotThereOrBrokenIsAnError) {
    sources.write("levels/broken.lua", "filename = 'broken.lua' world = {");
    sources.write("levels/other.lua", "filename = 'another.lua'");
    for (const char* call : {"readLevelSource('missing')", "readLevelSource('broken')",
                             "readLevelSource('other')", "readLevelSource('../scripts/x')"}) {
        SCOPED_TRACE(call);
        EXPECT_FALSE(errorOf(call).empty());
    }
}

TEST_F(LevelSourcesTest, AGameWithoutSourcesListsNothingAndSavesNothing) {
    editor = std::make_unique<LevelSources>(*world, DevSources{});
    sources.write("levels/a1.lua", "filename = 'a1.lua'");
    EXPECT_EQ(num("#levelSourceNames()"), 0);
    EXPECT_NE("", save("a1"));
    EXPECT_FALSE(errorOf("readLevelSource('a1')").empty());
    EXPECT_TRUE(std::filesystem::is_empty(data / "levels"));
}
