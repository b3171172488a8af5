// Hot reload in a small game run headless: which game has it, what a reload
// seals and runs, the order of the scripts' hooks, and what a failed set
// leaves behind (nothing).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "common/app/GameApp.h"
#include "common/app/GameConfig.h"
#include "common/app/HotReload.h"
#include "common/draw/RecordingContext.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "framework/FakeOS.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "qfseal/Sealer.h"
#include "support/LogCapture.h"

namespace {

const int KEY_F6 = 46;

// The hooks record their calls in `hooks`; version tells the sets apart, and
// Shared is a table each set extends in place.
std::string gameLogic(int version, const std::string& extra = "") {
    return "version = " + std::to_string(version) + "\n" + R"(
hooks = hooks or ""
Shared = Shared or { value = "old" }
function updateValues() end
function createStartUpAssets() end
function loadParticles() end
function gamePaused() end
function gameResumed() end
function resolutionChanged() end
function calculatePlaytime() end
function applyForcesAtPhysicsStep() end
function updatePhysicsStep() end
function removeBlocks() end
function clearLuaForceFunctions() end
function updateObjectProperties() end
function update(dt)
    frames = (frames or 0) + 1
    sawF6 = sawF6 or keyPressed.F6
end
function scriptsReloading()
    hooks = hooks .. "reloading" .. version .. " "
    return { from = version }
end
function scriptsReloaded(kept)
    hooks = hooks .. "reloaded" .. version .. "(from " .. kept.from .. ") "
end
)" + extra +
           "\n";
}

std::string text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class HotReloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldBundle_ = io::bundleRoot();
        oldAppData_ = io::appDataRoot();
        // The fixture game's sealed files, with this test's game logic.
        std::filesystem::copy(std::string(QF_SEALED_DIR) + "/game/scripts", data / "scripts");
        seal("scripts/gamelogic.lua", gameLogic(1));
        sources.write("scripts/gamelogic.lua", gameLogic(1));
        io::setBundleRoot(data.str() + "/");
        io::setAppDataRoot(appData.str() + "/");
        context = new worldtest::RecordingContext();
    }
    void TearDown() override {
        app = nullptr;
        io::setBundleRoot(oldBundle_);
        io::setAppDataRoot(oldAppData_);
    }

    void seal(const std::string& path, const std::string& content) const {
        const std::vector<uint8_t> sealed = qfseal::seal(content, "x.lua");
        data.write(path, std::string(sealed.begin(), sealed.end()));
    }
    std::string sealedText(const std::string& path) const {
        const std::string bytes = data.read(path);
        return text(openSealed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    // Each game empties the configuration's paths once it has them.
    void start(bool development = true) {
        GameConfig& config = GameConfig::current();
        config = GameConfig();
        config.scriptPath = "scripts";
        config.commonScriptPath = "scripts";
        framework::LaunchOptions launch;
        launch.sources = development ? sources.str() : "";
        os.setLaunchOptions(launch);
        app = new GameApp(&os, context.get());
    }
    void frame() { app->update(1.0f / 60, context.get(), 3); }
    void pressReload() {
        app->keyDown(KEY_F6);
        app->keyUp(KEY_F6);
        frame();
    }
    lua::LuaTable world() { return app->world(); }
    std::string hooks() { return world().getString("hooks"); }

    TempDir data, sources, appData;
    fake::FakeOS os;
    lang::Ptr<worldtest::RecordingContext> context;
    lang::Ptr<GameApp> app;

private:
    std::string oldBundle_, oldAppData_;
};

TEST_F(HotReloadTest, AnInstalledGameHasNoReloadAndLeavesF6ToTheGame) {
    start(false);
    EXPECT_EQ(app->hotReload(), nullptr);
    sources.write("scripts/gamelogic.lua", gameLogic(2));
    pressReload();
    EXPECT_TRUE(world().getBoolean("sawF6"));
    EXPECT_EQ(world().getNumber("version"), 1);
    EXPECT_EQ(hooks(), "");
}

TEST_F(HotReloadTest, F6SealsTheChangedSourcesAndRunsThemBetweenTheHooks) {
    start();
    ASSERT_NE(app->hotReload(), nullptr);
    sources.write("scripts/gamelogic.lua", gameLogic(2));
    sources.write("levels/l1.lua", "level = 1\n");
    qftest::LogCapture log;
    pressReload();
    EXPECT_FALSE(world().getBoolean("sawF6")) << "the developer's key reached the game";
    EXPECT_EQ(world().getNumber("version"), 2);
    EXPECT_EQ(hooks(), "reloading1 reloaded2(from 1) ");
    EXPECT_EQ(app->hotReload()->error(), "");
    EXPECT_EQ(app->hotReload()->lastResealed(),
              (std::vector<std::string>{"levels/l1.lua", "scripts/gamelogic.lua"}));
    EXPECT_EQ(sealedText("scripts/gamelogic.lua"), gameLogic(2));
    EXPECT_EQ(sealedText("levels/l1.lua"), "level = 1\n");
    EXPECT_TRUE(log.contains("Hot reload: resealed levels/l1.lua, scripts/gamelogic.lua;"));
    EXPECT_TRUE(log.contains(" ms)"));

    // Nothing changed since: nothing is sealed, the scripts run again all the same.
    pressReload();
    EXPECT_TRUE(app->hotReload()->lastResealed().empty());
    EXPECT_EQ(hooks(), "reloading1 reloaded2(from 1) reloading2 reloaded2(from 2) ");
}

TEST_F(HotReloadTest, ASetThatDoesNotCompileIsNeitherSealedNorRun) {
    start();
    sources.write("scripts/gamelogic.lua", gameLogic(2));
    sources.write("scripts/extra.lua", "this is not lua\n");
    pressReload();
    EXPECT_EQ(world().getNumber("version"), 1);
    EXPECT_EQ(hooks(), "") << "a hook ran for a set that does not compile";
    EXPECT_EQ(sealedText("scripts/gamelogic.lua"), gameLogic(1));
    EXPECT_FALSE(std::filesystem::exists(data / "scripts/extra.lua"));
    EXPECT_NE(app->hotReload()->error().find("scripts/extra.lua:1:"), std::string::npos)
        << app->hotReload()->error();

    // Mended, it reloads, and the error goes.
    sources.write("scripts/extra.lua", "extra = true\n");
    pressReload();
    EXPECT_EQ(world().getNumber("version"), 2);
    EXPECT_EQ(app->hotReload()->error(), "");
}

struct FailureCase {
    const char* name;
    std::string source;  // the new game logic
    const char* error;   // in the error shown
};

TEST_F(HotReloadTest, ASetThatFailsWhileItRunsIsTakenBackWhole) {
    // Each new set changes Shared in place and replaces update before it fails;
    // kept, either would show (update would raise at the next frame).
    const std::string damage = R"(
Shared.value = "new"
Shared.added = true
function update(dt) error("the failed set's update ran") end
)";
    const FailureCase cases[] = {
        {"an error in the game logic", gameLogic(2, damage + "error('halfway')"), "halfway"},
        {"an error in a file it loads",
         gameLogic(2, damage + "loadLuaFile(scriptPath .. '/part.lua', '')"), "in a part"},
        {"an error in its scriptsReloaded",
         gameLogic(2, damage + "function scriptsReloaded() error('no restart') end"), "no restart"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        sources.write("scripts/part.lua", "partLoaded = true\nerror('in a part')\n");
        start();
        sources.write("scripts/gamelogic.lua", c.source);
        qftest::LogCapture log;
        pressReload();
        EXPECT_EQ(world().getNumber("version"), 1);
        EXPECT_EQ(world().getTable("Shared").getString("value"), "old");
        EXPECT_TRUE(world().getTable("Shared").isNil("added"));
        EXPECT_TRUE(world().isNil("partLoaded"));
        // The last good scripts restart what their scriptsReloading stopped.
        EXPECT_EQ(hooks(), "reloading1 reloaded1(from 1) ");
        const float frames = world().getNumber("frames");
        EXPECT_NO_THROW(frame());
        EXPECT_EQ(world().getNumber("frames"), frames + 1);
        EXPECT_NE(app->hotReload()->error().find(c.error), std::string::npos)
            << app->hotReload()->error();
        EXPECT_TRUE(log.contains("Hot reload failed"));
        app = nullptr;
        sources.write("scripts/gamelogic.lua", gameLogic(1));
        std::filesystem::remove(sources / "scripts/part.lua");
        seal("scripts/gamelogic.lua", gameLogic(1));
        std::filesystem::remove_all(data / "scripts/part.lua");
    }
}

TEST_F(HotReloadTest, ASavedSourceReloadsOnceTheSourcesAreQuiet) {
    start();
    sources.write("scripts/.gamelogic.lua.swp", "an editor's own file");
    std::this_thread::sleep_for(std::chrono::milliseconds(HotReload::QUIET_MILLIS + 50));
    frame();
    frame();
    EXPECT_EQ(hooks(), "") << "a file that is no source reloaded";

    sources.write("scripts/gamelogic.lua", gameLogic(2));
    frame();
    EXPECT_EQ(world().getNumber("version"), 1) << "reloaded before the sources were quiet";
    std::this_thread::sleep_for(std::chrono::milliseconds(HotReload::QUIET_MILLIS + 50));
    frame();
    EXPECT_EQ(world().getNumber("version"), 2);
    frame();
    EXPECT_EQ(hooks(), "reloading1 reloaded2(from 1) ") << "one change, one reload";
}

// The level editor saves a source and seals it itself: a saved source that its
// sealed copy already holds reloads nothing, while the key still does.
TEST_F(HotReloadTest, ASavedSourceTheGameAlreadyHoldsReloadsNothing) {
    start();
    sources.write("levels/made.lua", "world = {}\n");
    seal("levels/made.lua", "world = {}\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(HotReload::QUIET_MILLIS + 50));
    frame();
    frame();
    EXPECT_EQ(hooks(), "") << "a source the game already holds reloaded";
    pressReload();
    EXPECT_EQ(hooks(), "reloading1 reloaded1(from 1) ");
}

}  // namespace
