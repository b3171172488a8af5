// Loading, saving and removing levels, and the start-up step.

#include <filesystem>
#include <string>
#include <vector>

#include "audio/AudioOutput.h"
#include "audio/NullAudioDevice.h"
#include "common/level/GameLevels.h"
#include "common/world/GameLuaFixture.h"
#include "common/world/special/GamePortals.h"
#include "game/Resources.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "qfseal/Sealer.h"
#include "support/LogCapture.h"

using worldtest::GameLuaFixture;

namespace {

const char* const LEVEL_HOOKS = R"(
function loadParticles(flag) particlesLoaded = flag end
function createStartUpAssets() startUpAssets = blockTable.marker end
objects.world = {}
)";

const char* const BLOCKS = "marker = 'blocks' damageFactors = {} themes = {}";

std::vector<uint8_t> keyOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

// A world whose bundle is a fresh folder holding scripts/blocks.lua, and whose
// application path is another fresh folder.
class GameLevelsTest : public GameLuaFixture {
protected:
    GameLevelsTest() {
        GameLua::Services services;
        services.context = context;
        services.sounds = &sounds;
        services.particles = &particles;
        services.host = &host;
        services.paths.scriptPath = "scripts";
        host.basePath = appPath.str();
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        run(LEVEL_HOOKS);
    }
    ~GameLevelsTest() override { world.reset(); }
    void SetUp() override {
        savedRoot_ = io::bundleRoot();
        io::setBundleRoot(bundle.str() + "/");
        sealed("scripts/blocks.lua", BLOCKS);
    }
    void TearDown() override { io::setBundleRoot(savedRoot_); }

    void sealed(const std::string& path, const std::string& code,
                const std::vector<uint8_t>& key = contentKey()) {
        std::vector<uint8_t> bytes = qfseal::seal(code, "level.lua", key);
        bundle.write(path, std::string(bytes.begin(), bytes.end()));
    }
    // A level file in the bundle's levels folder that names itself.
    void level(const std::string& name, const std::string& body,
               const std::vector<uint8_t>& key = contentKey()) {
        sealed("levels/" + name + ".lua", "filename = '" + name + ".lua' " + body, key);
    }
    void load(const std::string& name, const std::string& key = "") {
        run("loadLevel('bundle:///levels/" + name + "', '" + key + "')");
    }
    bool loaded() { return truth("type(loadedObjects) == 'table'"); }

    worldtest::RecordingHost host;
    TempDir bundle;
    TempDir appPath;

private:
    std::string savedRoot_;
};

TEST_F(GameLevelsTest, StartUpRunsTheBlockCatalogueInItsOwnTableBeforeTheHook) {
    run("marker = 'world'");
    world->levels().runStartUp();
    EXPECT_EQ(str("blockTable.marker"), "blocks");
    EXPECT_TRUE(truth("type(blockTable.themes) == 'table'"));
    EXPECT_EQ(str("startUpAssets"), "blocks");
    // The catalogue's globals stay in its table.
    EXPECT_EQ(str("marker"), "world");

    run("createStartUpAssets = nil");
    EXPECT_THROW(world->levels().runStartUp(), lua::LuaException);
}

TEST(GameLevelsStartUpTest, StartUpLimitsTheVoicesOfTheMixerGroups) {
    lua::LuaState state;
    lang::Ptr<worldtest::RecordingContext> context(new worldtest::RecordingContext());
    lang::Ptr<game::Resources> resources(new game::Resources(context));
    const audio::AudioFormat format{1, 16, 8000};
    lang::Ptr<audio::AudioOutput> output(
        new audio::AudioOutput(format, new audio::NullAudioDevice()));
    resources->setAudioOutput(output);
    TempDir bundle;
    std::string savedRoot = io::bundleRoot();
    io::setBundleRoot(bundle.str() + "/");
    std::vector<uint8_t> blocks = qfseal::seal(BLOCKS, "blocks.lua");
    bundle.write("scripts/blocks.lua", std::string(blocks.begin(), blocks.end()));
    GameLua::Services services;
    services.resources = resources.get();
    services.paths.scriptPath = "scripts";
    lang::Ptr<GameLua> world(new GameLua(state, services));
    std::string hook = "function createStartUpAssets() end";
    state.runBuffer(hook.data(), hook.size(), "hooks", world.get());
    world->levels().runStartUp();
    io::setBundleRoot(savedRoot);

    const int16_t silence[400] = {};
    lang::Ptr<audio::AudioClip> clip(new audio::AudioClip(silence, sizeof silence, &format));
    ASSERT_TRUE(output->start());
    const int limits[][2] = {{1, 4}, {2, 6}, {3, 3}, {4, 3}, {5, 3}};
    for (const auto& limit : limits) {
        SCOPED_TRACE(limit[0]);
        for (int voice = 0; voice < limit[1]; ++voice) {
            EXPECT_GE(output->play(clip, 1, true, limit[0]), 0) << voice;
        }
        EXPECT_EQ(output->play(clip, 1, true, limit[0]), -1);
    }
    output->stopAll();
    output->stop();
    world.reset();
}

TEST_F(GameLevelsTest, TheKeyIsTheArgumentOrTheContentKeyWhenEmpty) {
    struct Case {
        const char* what;
        std::vector<uint8_t> sealedWith;
        std::string argument;
        bool loads;
    };
    const std::vector<uint8_t> ownKey = keyOf("0123456789abcdef0123456789abcdef");
    const Case cases[] = {
        {"content key, empty argument", contentKey(), "", true},
        {"own key, same argument", ownKey, "0123456789abcdef0123456789abcdef", true},
        {"own key, empty argument", ownKey, "", false},
        {"content key, other argument", contentKey(), "0123456789abcdef0123456789abcdeX", false},
        {"content key, short argument", contentKey(), "short", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run("loadedObjects = nil");
        level("Level1", "theme = 'forest'", c.sealedWith);
        qftest::LogCapture log;
        load("Level1", c.argument);
        EXPECT_EQ(loaded(), c.loads);
        EXPECT_EQ(log.contains("Unable to load level."), !c.loads);
        if (c.loads) {
            EXPECT_EQ(str("loadedObjects.theme"), "forest");
        }
    }
}

TEST_F(GameLevelsTest, RejectedLevelsOnlyWarnAndLeaveTheWorldEmpty) {
    struct Case {
        const char* what;
        std::string file;  // sealed source of levels/Bad.lua; empty: no file
        bool plain;        // written unsealed
    };
    const Case cases[] = {
        {"names another file", "filename = 'Other.lua'", false},
        {"names no file", "theme = 'x'", false},
        {"names itself without extension", "filename = 'Bad'", false},
        {"does not compile", "filename = 'Bad.lua' x = = 1", false},
        {"runs for ever", "filename = 'Bad.lua' while true do end", false},
        {"is not sealed", "filename = 'Bad.lua'", true},
        {"is missing", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(bundle / "levels/Bad.lua");
        if (c.plain) {
            bundle.write("levels/Bad.lua", c.file);
        } else if (!c.file.empty()) {
            sealed("levels/Bad.lua", c.file);
        }
        run("loadedObjects = nil createBox('box', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
        qftest::LogCapture log;
        load("Bad");
        EXPECT_TRUE(log.contains("Unable to load level."));
        EXPECT_FALSE(loaded());
        EXPECT_TRUE(world->objectIndex().empty());
        EXPECT_EQ(world->physicsWorld().GetBodyCount(), 0);
    }
    // The state machine of the world is usable afterwards.
    level("Good", "");
    load("Good");
    EXPECT_TRUE(loaded());
}

TEST_F(GameLevelsTest, ALevelLoadedTwiceKeepsNothingOfTheFirst) {
    level("Level1", "objects = {'a', 'b'}");
    run(R"(
        loadLevel('bundle:///levels/Level1', '')
        createBox('a', '', 0, 0, 1, 1, 0, 0, 0, true, false, 0)
        createBox('b', '', 3, 0, 1, 1, 1, 0, 0, true, false, 2)
        createCircle('bird', '', 5, 0, 0.5, 1, 0, 0, true, 1)
        createJoint({name = 'spring', type = 1, end1 = 'a', end2 = 'b'})
        createJoint({name = 'link', type = 5, end1 = 'a', end2 = 'b', destroyTimer = 1})
        addToTrajectory(1, 1, 1)
        addPuffToTrajectory(2, 1, 1)
        setMaxTranslation(9)
        setPhysicsEnabled(true)
        blockTable.marker = 'changed'
    )");
    world->update(0.05f);
    ASSERT_EQ(world->objectIndex().size(), 3u);
    ASSERT_FALSE(world->trajectoryPoints(0).empty());
    particles.calls.clear();

    load("Level1");
    EXPECT_TRUE(world->objectIndex().empty());
    EXPECT_TRUE(world->drawOrder().empty());
    EXPECT_TRUE(world->trackedList().empty());
    EXPECT_TRUE(world->physicalJoints().empty());
    EXPECT_TRUE(world->destroyLinks().empty());
    EXPECT_EQ(world->physicsWorld().GetBodyCount(), 0);
    EXPECT_EQ(world->physicsWorld().GetJointCount(), 0);
    for (int list = 0; list < 6; ++list) {
        EXPECT_TRUE(world->trajectoryPoints(list).empty()) << list;
        EXPECT_TRUE(world->trajectoryPuffs(list).empty()) << list;
    }
    EXPECT_EQ(particles.calls, std::vector<std::string>{"reset"});
    EXPECT_EQ(world->getGameTime(), 0);
    EXPECT_EQ(world->getAccumulator(), 0);
    EXPECT_EQ(b2_maxTranslation, 2.0f);
    EXPECT_EQ(str("blockTable.marker"), "blocks");
    EXPECT_FALSE(truth("particlesLoaded"));
    EXPECT_EQ(str("loadedObjects.objects[2]"), "b");
    // The scripts' own tables are theirs to clear.
    EXPECT_TRUE(truth("objects.world.a ~= nil and objects.joints.spring ~= nil"));
    // Objects made after the load live and collide as usual.
    run("createBox('c', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    world->update(0.05f);
    EXPECT_EQ(world->physicsWorld().GetBodyCount(), 1);
}

TEST_F(GameLevelsTest, LoadingNeedsTheScriptTables) {
    level("Level1", "");
    for (const char* broken : {"objects.world = nil", "deadBlocks = 5"}) {
        SCOPED_TRACE(broken);
        run(std::string("objects.world = {} deadBlocks = {} ") + broken);
        qftest::LogCapture log;
        load("Level1");
        EXPECT_TRUE(log.contains("Unable to load level."));
        EXPECT_FALSE(loaded());
    }
}

TEST_F(GameLevelsTest, ALoadFromAContactHookOnlyWarnsAndLeavesTheWorld) {
    level("Level1", "");
    run(R"(
        setWorldGravity(0, 0)
        blockTable = {damageFactors = {normal = {damageMultiplier = {}, velocityMultiplier = {}}}}
        createCircle('bird', '', 0, 0, 0.5, 1, 0, 0, true, 0)
        setColliderType('bird', 3)
        objects.world.bird.damageFactors = 'normal'
        setVelocity('bird', 20, 0)
        createBox('block', '', 1, 0, 1, 1, 0, 0, 0, true, false, 0)
        function birdCollision(a, b) loadLevel('bundle:///levels/Level1', '') end
        setPhysicsEnabled(true)
    )");
    world->bindLevelTables();
    qftest::LogCapture log;
    world->update(GameLua::STEP);
    EXPECT_TRUE(log.contains("Unable to load level."));
    EXPECT_TRUE(log.contains("loadLevel cannot be called during a physics step"));
    EXPECT_FALSE(loaded());
    EXPECT_EQ(world->objectIndex().size(), 2u);
    EXPECT_EQ(world->physicsWorld().GetBodyCount(), 2);
    // Outside the step the same load goes through.
    load("Level1");
    EXPECT_TRUE(loaded());
}

TEST_F(GameLevelsTest, TheLevelReaderTakesBytes) {
    std::vector<uint8_t> bytes = qfseal::seal("filename = 'x.lua' n = 3", "x.lua");
    lua::LuaTable table =
        GameLevels::readLevel(state, bytes.data(), bytes.size(), contentKey(), "x.lua");
    EXPECT_EQ(table.getNumber("n"), 3);
    // Damaged bytes fail cleanly.
    for (size_t cut : {size_t(0), size_t(1), bytes.size() / 2, bytes.size() - 1}) {
        EXPECT_THROW(GameLevels::readLevel(state, bytes.data(), cut, contentKey(), "x.lua"),
                     lang::Exception)
            << cut;
    }
    bytes[bytes.size() / 2] ^= 0x40;
    EXPECT_THROW(GameLevels::readLevel(state, bytes.data(), bytes.size(), contentKey(), "x.lua"),
                 lang::Exception);
}

TEST_F(GameLevelsTest, SavedLevelKeepsTypedKeysAndThePlacesOfObjects) {
    appPath.mkdir("saved");
    run(R"(
        objects.theme = 'forest'
        objects.physicsToWorld = 'twenty'
        objects.counts = {birds = 3}
        objects.doNotWaitForMovingObjects = 1
        objects.worldGravity = 20
        objects.joints = {j = {type = 1}}
        objects.world = {
            ['block one'] = {x = 1.5, y = -2, angle = 0.25, name = 'block one', definition = 'wood',
                             owner = 2, startNumber = 'first', strength = 10},
            slot = {x = 4},
            note = 'not a table',
        }
        saveLevel('saved/level')
    )");
    std::string text = appPath.read("saved/level.lua");
    EXPECT_FALSE(std::filesystem::exists(appPath / "saved/level.lua.tmp"));
    lua::LuaTable saved(state);
    state.runBuffer(text.data(), text.size(), "saved", &saved);
    world->set("saved", &saved);

    EXPECT_EQ(str("saved.theme"), "forest");
    EXPECT_EQ(num("saved.counts.birds"), 3);
    EXPECT_EQ(num("saved.joints.j.type"), 1);
    EXPECT_EQ(num("saved.worldGravity"), 20);
    // Present with another type: left out.
    EXPECT_TRUE(truth("saved.physicsToWorld == nil and saved.doNotWaitForMovingObjects == nil"));
    EXPECT_TRUE(truth("saved.water == nil"));

    EXPECT_EQ(num("saved.world['block one'].x"), 1.5f);
    EXPECT_EQ(num("saved.world['block one'].y"), -2);
    EXPECT_EQ(num("saved.world['block one'].angle"), 0.25f);
    EXPECT_EQ(str("saved.world['block one'].definition"), "wood");
    EXPECT_EQ(num("saved.world['block one'].owner"), 2);
    EXPECT_TRUE(truth("saved.world['block one'].startNumber == nil"));
    EXPECT_TRUE(truth("saved.world['block one'].strength == nil"));
    // Missing fields of an object are written as zero and empty text.
    EXPECT_EQ(num("saved.world.slot.y"), 0);
    EXPECT_EQ(str("saved.world.slot.name"), "");
    EXPECT_TRUE(truth("saved.world.note == nil"));
}

TEST_F(GameLevelsTest, SavingAnEmptyWorldWritesAnEmptyWorldTable) {
    appPath.write("empty.lua", "old content");
    run("objects.world = {} saveLevel('empty')");
    lua::LuaTable saved(state);
    std::string text = appPath.read("empty.lua");
    state.runBuffer(text.data(), text.size(), "saved", &saved);
    world->set("saved", &saved);
    EXPECT_TRUE(truth("type(saved.world) == 'table' and next(saved.world) == nil"));

    // A folder that cannot be written is an error to the script.
    EXPECT_THROW(run("saveLevel('missing/folder/level')"), lang::Exception);
}

TEST_F(GameLevelsTest, RemovingATemporaryLevelDeletesItAndItsFolderWhenEmptied) {
    appPath.write("levels/temp/a_temp.lua", "a");
    appPath.write("levels/temp/b_temp.lua", "b");
    appPath.write("levels/temp/sub/keep.lua", "c");

    for (const char* name : {"levels/Level1", "levels/TEMP1"}) {
        try {
            run(std::string("removeTemporaryLevel('") + name + "')");
            ADD_FAILURE() << name;
        } catch (const lang::Exception& e) {
            EXPECT_EQ(e.getMessage(), std::string("Attempted to remove level ") + name +
                                          " that apparently isn't temporary.");
        }
    }

    run("removeTemporaryLevel('levels/temp/a_temp')");
    EXPECT_FALSE(std::filesystem::exists(appPath / "levels/temp/a_temp.lua"));
    EXPECT_TRUE(std::filesystem::exists(appPath / "levels/temp/b_temp.lua"));
    // A folder that holds a folder is not empty.
    run("removeTemporaryLevel('levels/temp/b_temp')");
    EXPECT_TRUE(std::filesystem::exists(appPath / "levels/temp/sub/keep.lua"));
    run("removeTemporaryLevel('levels/temp/sub/keep')");
    EXPECT_FALSE(std::filesystem::exists(appPath / "levels/temp/sub"));
    EXPECT_TRUE(std::filesystem::exists(appPath / "levels/temp"));
    // A level that is not there is an error to the script.
    EXPECT_THROW(run("removeTemporaryLevel('levels/temp/gone_temp')"), lang::Exception);
}

// A traveller waiting in a portal leaves a teleporter behind; a new level
// starts without it.
TEST_F(GameLevelsTest, LoadingALevelDropsTheObjectTeleporters) {
    level("Level1", "objects = {}");
    run(R"(
        loadLevel('bundle:///levels/Level1', '')
        for _, p in ipairs({{'a', 10, 'b'}, {'b', 30, 'a'}}) do
            createBox(p[1], '', p[2], 5, 1, 2, 0, 0, 0, true, false, 0)
            setColliderType(p[1], 8)
            setSensor(p[1], true)
            objects.world[p[1]].portal = {target = p[3]}
        end
        createCircle('ball', '', 9.8, 5, 0.25, 1, 0, 0, false, 0)
        setPhysicsEnabled(true)
    )");
    world->update(GameLua::STEP);
    ASSERT_NE(world->portals().find("ball_a_b"), nullptr);
    load("Level1");
    EXPECT_EQ(world->portals().find("ball_a_b"), nullptr);
}
