// What replays compare: the state digest of a real physics world, and the
// content id of the bundle's scripts and levels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/app/ReplayDigests.h"
#include "common/world/GameLuaFixture.h"
#include "framework/Replay.h"
#include "io/TempDir.h"

namespace worldtest {
namespace {

using framework::InputEvent;
using framework::ReplaySession;
using framework::StateDigest;

// A ground, a stack of three boxes and a box that falls onto it.
const char* const TOWER = R"(
createBox('ground', '', 0, 5, 40, 1, 0, 0.6, 0, true, false, 0)
createBox('low', '', 0, 3.9, 1, 1, 1, 0.6, 0, true, false, 0)
createBox('mid', '', 0, 2.8, 1, 1, 1, 0.6, 0, true, false, 0)
createBox('top', '', 0, 1.7, 1, 1, 1, 0.6, 0, true, false, 0)
createBox('falling', '', 0.4, -4, 1, 1, 2, 0.6, 0, true, false, 0)
)";

class WorldReplay : public worldtest::GameLuaFixture {
protected:
    void SetUp() override {
        run(TOWER);
        startLevel();
        settings.contentId = "tower";
        settings.width = 640;
        settings.height = 480;
    }

    // Runs frames of the world through session; before frame nudgeFrame the
    // object nudged moves by a hair. Returns the frame the session stopped at
    // (0 when every frame matched).
    int play(ReplaySession& session, int frames, int nudgeFrame = 0,
             const std::string& nudged = std::string()) {
        for (int frame = 1; frame <= frames; ++frame) {
            float dt = 1.0f / 60.0f;
            if (!session.beginFrame(dt, [](const InputEvent&) {})) {
                return -1;
            }
            if (frame == nudgeFrame) {
                run("setPosition('" + nudged + "', 0.001, 1.7)");
            }
            world->update(dt);
            StateDigest digest;
            digestWorld(*world, digest);
            if (!session.endFrame(digest)) {
                return frame;
            }
        }
        return 0;
    }

    // Records frames of the tower, then builds the same world again and
    // returns a session replaying the recording.
    std::unique_ptr<ReplaySession> recordAndRebuild(int frames) {
        ReplaySession::Settings recording = settings;
        recording.recordPath = dir / "tower.replay";
        {
            ReplaySession recorder(recording);
            EXPECT_EQ(play(recorder, frames), 0);
            recorder.finish();
        }
        world = nullptr;
        world = new GameLua(state, GameLua::Services());
        run(DEFAULT_HOOKS);
        run(TOWER);
        startLevel();
        ReplaySession::Settings replay = settings;
        replay.replayPath = recording.recordPath;
        return std::make_unique<ReplaySession>(replay);
    }

    TempDir dir;
    ReplaySession::Settings settings;
};

TEST_F(WorldReplay, SameWorldReplaysToTheEnd) {
    std::unique_ptr<ReplaySession> player = recordAndRebuild(90);
    EXPECT_EQ(play(*player, 90), 0) << player->failure();
}

TEST_F(WorldReplay, AMovedBlockStopsTheReplayAtThatFrame) {
    std::unique_ptr<ReplaySession> player = recordAndRebuild(90);
    EXPECT_EQ(play(*player, 90, 40, "top"), 40);
    EXPECT_EQ(player->failure(), "Replay diverged at frame 40: object \"top\" differs");
}

TEST(ContentDigest, ChangesWithWhatScriptsAndLevelsHold) {
    TempDir dir;
    dir.write("scripts/game.lua", "x = 1\n");
    dir.write("levels/one.lua", "world = {}\n");
    const std::string folders[] = {dir / "scripts", dir / "levels"};
    auto id = [&folders]() { return contentDigest({folders[0], folders[1]}); };
    const std::string original = id();
    EXPECT_EQ(original.size(), 40u);
    EXPECT_EQ(original, contentDigest({folders[1], folders[0], folders[0]}));

    dir.write("levels/one.lua", "world = { block = {} }\n");
    EXPECT_NE(id(), original) << "a level's content";
    dir.write("levels/one.lua", "world = {}\n");
    EXPECT_EQ(id(), original);
    std::filesystem::rename(dir / "levels/one.lua", dir / "levels/two.lua");
    EXPECT_NE(id(), original) << "a level's name";
    std::filesystem::rename(dir / "levels/two.lua", dir / "levels/one.lua");
    dir.write("levels/sub/extra.lua", "");
    EXPECT_NE(id(), original) << "a file more, below a folder";
}

TEST(ContentDigest, SealingAgainGivesTheSameId) {
    TempDir dir;
    dir.write("src/game.lua", "answer = 42\n");
    auto seal = [&dir](const std::string& folder) {
        const std::string command = "\"" QF_QFSEAL_PATH "\" seal \"" + dir / "src/game.lua" +
                                    "\" \"" + dir / (folder + "/game.lua") + "\" >/dev/null";
        dir.mkdir(folder);
        return std::system(command.c_str());
    };
    ASSERT_EQ(seal("first"), 0);
    ASSERT_EQ(seal("second"), 0);
    EXPECT_EQ(contentDigest({dir / "first"}), contentDigest({dir / "second"}));
    EXPECT_EQ(contentDigest({dir / "first"}), contentDigest({dir / "src"}))
        << "a sealed file counts by what it holds";
}

}  // namespace
}  // namespace worldtest
