// Replays of the real game: a session played with the mouse (from a script of
// inputs) is recorded, replays to the same hashes and picture, and a replay
// against a level with one block moved stops at once, naming that block.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Capture.h"
#include "Process.h"

namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;
const std::string QFSEAL = QF_QFSEAL_PATH;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Opens the first level from the title with Enter twice, pulls the bird in the
// sling back and down with the mouse and lets go, then watches it fly. Written
// by hand, so it names no content.
std::string dragAndRelease(int frames) {
    std::ostringstream out;
    out << "quillfire-replay 1\ncontent any\nscreen 640 480\n";
    for (int f = 1; f <= frames; ++f) {
        out << "f 3c888889\n";  // 1/60 s
        if (f == 1) {
            out << "a 1 0 0\n";
        }
        if (f == 10 || f == 30) {
            out << "k 33 1 0\n";  // Enter: Play, then the first level
        }
        if (f == 11 || f == 31) {
            out << "k 33 0 0\n";
        }
        if (f == 80) {
            out << "m 94 345 0\nk 57 1 0\n";  // press on the bird
        }
        if (f > 80 && f <= 100) {
            out << "m " << 94 - 3 * (f - 80) << ' ' << 345 + 3 * (f - 80) / 2 << " 0\n";
        }
        if (f == 101) {
            out << "k 57 0 0\n";
        }
    }
    return out.str();
}

// Named like the other end-to-end suites, which the sanitizer pass skips.
class EndToEndReplay : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_replay_" + name + "_" + std::to_string(getpid());
        ASSERT_EQ(0, system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/data' '" + root_ +
                             "/run' && chmod 700 '" + root_ + "/run'")
                                .c_str()));
    }
    void TearDown() override { system(("rm -rf '" + root_ + "'").c_str()); }

    // Runs the game headless from a fresh data folder.
    e2e::RunResult play(const std::string& bundle, const std::vector<std::string>& options,
                        const std::map<std::string, std::string>& extra = {}) {
        system(("rm -rf '" + root_ + "/data/'*").c_str());
        std::map<std::string, std::string> env = {{"XDG_DATA_HOME", root_ + "/data"},
                                                  {"XDG_RUNTIME_DIR", root_ + "/run"}};
        env.insert(extra.begin(), extra.end());
        std::vector<std::string> arguments = {bundle + "/config.lua", "--headless"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return e2e::run(EXE, arguments, env);
    }
    std::string path(const std::string& name) const { return root_ + "/" + name; }

    // Records the dragged shot into session.replay, with its hash log and last frame.
    void recordSession() {
        std::ofstream(path("input.replay")) << dragAndRelease(200);
        const e2e::RunResult recorded =
            play(BUNDLE, {"--replay", path("input.replay"), "--record", path("session.replay"),
                          "--hash-log", path("recorded.log"), "--capture", path("recorded.png")});
        ASSERT_EQ(recorded.exitCode, 0) << recorded.output;
    }

    std::string root_;
};

TEST_F(EndToEndReplay, RecordedSessionReplaysToTheSameHashesAndPicture) {
    recordSession();
    const e2e::RunResult replayed =
        play(BUNDLE, {"--replay", path("session.replay"), "--hash-log", path("replayed.log"),
                      "--capture", path("replayed.png")});
    EXPECT_EQ(replayed.exitCode, 0) << replayed.output;
    EXPECT_NE(replayed.output.find("Replay matched all 200 frames"), std::string::npos)
        << replayed.output;
    const std::string log = readText(path("recorded.log"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 200);
    EXPECT_EQ(log, readText(path("replayed.log")));
    const e2e::Image recorded = e2e::loadPng(path("recorded.png"));
    const e2e::Image replayed_ = e2e::loadPng(path("replayed.png"));
    ASSERT_FALSE(recorded.rgb.empty());
    EXPECT_TRUE(recorded.rgb == replayed_.rgb);

    // The drag launched the bird: the world moved differently from a session
    // without input, whose hashes stay the same once everything rests.
    const e2e::RunResult idle = play(
        BUNDLE, {"--fixed-dt", "0.0166667", "--frames", "200", "--hash-log", path("idle.log")});
    ASSERT_EQ(idle.exitCode, 0) << idle.output;
    EXPECT_NE(log, readText(path("idle.log")));
}

TEST_F(EndToEndReplay, ReplayOfAChangedLevelFailsAndNamesTheMovedBlock) {
    recordSession();
    // A copy of the bundle whose first block stands a little further right.
    const std::string copy = path("bundle");
    ASSERT_EQ(0, system(("cp -r '" + BUNDLE + "' '" + copy + "'").c_str()));
    ASSERT_EQ(0, system(("'" + QFSEAL + "' unseal '" + copy + "/levels/m01.lua' '" +
                         path("m01.lua") + "' >/dev/null")
                            .c_str()));
    std::string level = readText(path("m01.lua"));
    std::smatch block;
    const std::regex firstBlock("(\\w+) = \\{ definition = \"[A-Z_]+\", x = ([-0-9.]+)");
    ASSERT_TRUE(std::regex_search(level, block, firstBlock)) << level;
    const std::string moved = block[1];
    const double x = std::stod(block[2]);
    level.replace(static_cast<size_t>(block.position(2)), block.length(2),
                  std::to_string(x + 0.25));
    std::ofstream(path("m01.lua")) << level;
    ASSERT_EQ(0, system(("'" + QFSEAL + "' seal '" + path("m01.lua") + "' '" + copy +
                         "/levels/m01.lua' >/dev/null")
                            .c_str()));

    // Other levels: refused before the first frame.
    const e2e::RunResult refused = play(copy, {"--replay", path("session.replay")});
    EXPECT_EQ(refused.exitCode, 1) << refused.output;
    EXPECT_NE(refused.output.find("recorded with other scripts or levels"), std::string::npos)
        << refused.output;

    // Played anyway, it stops at the frame the level opens, where the block
    // already stands elsewhere.
    const e2e::RunResult parted =
        play(copy, {"--replay", path("session.replay")}, {{"QUILLFIRE_REPLAY_ANY_CONTENT", "1"}});
    EXPECT_EQ(parted.exitCode, 3) << parted.output;
    EXPECT_NE(parted.output.find("Replay diverged at frame "), std::string::npos) << parted.output;
    EXPECT_NE(parted.output.find(": object \"" + moved + "\" differs"), std::string::npos)
        << parted.output;
}

}  // namespace
