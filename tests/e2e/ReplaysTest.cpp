// The committed recordings in tests/e2e/replays (a session on the first level
// of each theme, made by record.sh from its input script) replay headless to
// their committed hash logs and last frames. A recording made with other
// scripts or levels fails with the command that records it again.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "BundleCopy.h"
#include "Capture.h"
#include "Process.h"

namespace {

namespace fs = std::filesystem;

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;
const std::string REPLAYS = QUILLFIRE_REPLAYS;
// As a developer at the top of the source tree types them.
const std::string FOLDER = "tests/e2e/replays/";
const std::string RECORD = FOLDER + "record.sh";

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// Every session with an input script beside record.sh, by name.
std::set<std::string> recordedSessions() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(REPLAYS)) {
        if (entry.path().extension() == ".input") {
            names.insert(entry.path().stem().string());
        }
    }
    return names;
}

// What a replay of a committed session gave, or what was committed.
struct Session {
    e2e::RunResult run;
    std::string hashes;  // "frame hash" lines
    e2e::Image picture;  // the last frame
};

Session committed(const std::string& name) {
    Session session;
    session.run.exitCode = 0;
    session.hashes = readText(REPLAYS + "/" + name + ".hashes");
    session.picture = e2e::loadPng(REPLAYS + "/" + name + ".png");
    return session;
}

std::string firstHashDifference(const std::string& replayed, const std::string& recorded) {
    const std::vector<std::string> now = lines(replayed), then = lines(recorded);
    for (size_t i = 0; i < now.size() && i < then.size(); ++i) {
        if (now[i] != then[i]) {
            return "the hashes part at frame " + std::to_string(i + 1) + ": \"" + now[i] +
                   "\", recorded \"" + then[i] + "\"";
        }
    }
    if (now.size() != then.size()) {
        return "the hash log has " + std::to_string(now.size()) + " lines, recorded " +
               std::to_string(then.size());
    }
    return "";
}

// The software renderer draws a replay to the same bytes, run after run and
// with any number of its threads, so the picture is compared exactly.
std::string pictureDifference(const e2e::Image& replayed, const e2e::Image& recorded) {
    if (recorded.rgb.empty() || replayed.rgb.empty()) {
        return "a last frame is missing";
    }
    if (replayed.width != recorded.width || replayed.height != recorded.height) {
        return "the last frame is " + std::to_string(replayed.width) + "x" +
               std::to_string(replayed.height) + ", recorded " + std::to_string(recorded.width) +
               "x" + std::to_string(recorded.height);
    }
    int differing = 0, firstX = 0, firstY = 0;
    for (int y = 0; y < recorded.height; ++y) {
        for (int x = 0; x < recorded.width; ++x) {
            if (replayed.pixel(x, y) != recorded.pixel(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) {
        return "";
    }
    return std::to_string(differing) + " pixels of the last frame differ, the first at (" +
           std::to_string(firstX) + ", " + std::to_string(firstY) + ")";
}

// What is wrong with a replay of the named session, one line each; none when
// it matched the recording.
std::vector<std::string> problems(const std::string& name, const Session& replayed,
                                  const Session& recorded) {
    const std::string file = FOLDER + name + ".replay";
    if (replayed.run.output.find("recorded with other scripts or levels") != std::string::npos) {
        return {file + " was recorded with other scripts or levels. Run " + RECORD +
                " to record it again, and commit what it writes."};
    }
    std::vector<std::string> found;
    if (replayed.run.exitCode != 0) {
        found.push_back(file + " exited with " + std::to_string(replayed.run.exitCode) + ":\n" +
                        replayed.run.output);
    }
    for (const std::string& difference : {firstHashDifference(replayed.hashes, recorded.hashes),
                                          pictureDifference(replayed.picture, recorded.picture)}) {
        if (!difference.empty()) {
            found.push_back(file + ": " + difference);
        }
    }
    return found;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += part + "\n";
    }
    return text;
}

// Named like the other end-to-end suites, which the sanitizer pass skips.
class EndToEndReplays : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_replays_" + name + "_" + std::to_string(getpid());
        fs::remove_all(root_);
        fs::create_directories(root_ + "/run");
        fs::permissions(root_ + "/run", fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Replays a committed session headless from the committed save, as
    // record.sh recorded it.
    Session replay(const std::string& bundle, const std::string& name) {
        // The player's folder of config.lua's publisher and product.
        const std::string data = root_ + "/data", saves = data + "/Quillfire/Demo";
        fs::remove_all(data);
        fs::create_directories(saves);
        for (const auto& entry : fs::directory_iterator(REPLAYS + "/data")) {
            fs::copy_file(entry.path(), saves + "/" + entry.path().filename().string());
        }
        const std::string hashes = root_ + "/" + name + ".hashes";
        const std::string picture = root_ + "/" + name + ".png";
        fs::remove(hashes);
        fs::remove(picture);
        Session session;
        session.run =
            e2e::run(EXE,
                     {bundle + "/config.lua", "--headless", "--replay",
                      REPLAYS + "/" + name + ".replay", "--hash-log", hashes, "--capture", picture},
                     {{"XDG_DATA_HOME", data}, {"XDG_RUNTIME_DIR", root_ + "/run"}});
        session.hashes = readText(hashes);
        session.picture = e2e::loadPng(picture);
        return session;
    }

    std::string root_;
};

TEST_F(EndToEndReplays, EveryThemeHasARecordedSession) {
    const std::set<std::string> sessions = recordedSessions();
    for (const char* theme : {"meadow", "frost", "dusk"}) {
        EXPECT_EQ(sessions.count(theme), 1u) << "no " << FOLDER << theme << ".input";
    }
    for (const std::string& name : sessions) {
        for (const char* made : {".replay", ".hashes", ".png"}) {
            EXPECT_TRUE(fs::exists(REPLAYS + "/" + name + made))
                << FOLDER << name << made << " is missing: run " << RECORD;
        }
    }
}

TEST_F(EndToEndReplays, RecordedSessionsReplayToTheirHashesAndLastFrames) {
    for (const std::string& name : recordedSessions()) {
        const std::vector<std::string> found =
            problems(name, replay(BUNDLE, name), committed(name));
        EXPECT_TRUE(found.empty()) << joined(found);
    }
}

// The comparison itself, on the committed files: each kind of difference is
// told with where it is.
TEST_F(EndToEndReplays, ADifferentReplayIsToldWhereItDiffers) {
    const Session recorded = committed("meadow");
    ASSERT_FALSE(recorded.picture.rgb.empty());
    const std::vector<std::string> log = lines(recorded.hashes);
    ASSERT_GT(log.size(), 100u);

    Session changedHash = recorded;
    std::vector<std::string> edited = log;
    edited[56] = "57 0123456789abcdef";
    changedHash.hashes = joined(edited);
    Session shortLog = recorded;
    shortLog.hashes = joined(std::vector<std::string>(log.begin(), log.end() - 1));
    Session changedPixel = recorded;
    changedPixel.picture.rgb[(7 * static_cast<size_t>(recorded.picture.width) + 5) * 3] ^= 1;
    Session exited = recorded;
    exited.run = {3, "Replay diverged at frame 41: object \"block_7\" differs"};

    struct Case {
        const char* what;
        Session replayed;
        std::string told;  // empty: no problem at all
    };
    const Case cases[] = {
        {"the same", recorded, ""},
        {"one hash", changedHash, "at frame 57: \"57 0123456789abcdef\""},
        {"a frame less", shortLog, std::to_string(log.size() - 1) + " lines, recorded"},
        {"one pixel", changedPixel, "1 pixels of the last frame differ, the first at (5, 7)"},
        {"a divergence", exited, "exited with 3:\nReplay diverged at frame 41"},
    };
    for (const Case& c : cases) {
        const std::string told = joined(problems("meadow", c.replayed, recorded));
        if (std::string(c.told).empty()) {
            EXPECT_EQ(told, "") << c.what;
        } else {
            EXPECT_NE(told.find(FOLDER + "meadow.replay"), std::string::npos) << c.what << told;
            EXPECT_NE(told.find(c.told), std::string::npos) << c.what << ": " << told;
        }
    }
}

// A level file more in the bundle changes its content id: the replay is
// refused, and the failure names the recording and the command to run.
TEST_F(EndToEndReplays, ARecordingOfOtherContentAsksToBeRecordedAgain) {
    const e2e::BundleCopy copy(BUNDLE, root_ + "/bundle");
    copy.put("levels/zz_new.lua", "-- a level being written\n");
    const Session replayed = replay(copy.folder(), "meadow");
    EXPECT_EQ(replayed.run.exitCode, 1) << replayed.run.output;
    const std::string told = joined(problems("meadow", replayed, committed("meadow")));
    EXPECT_EQ(told, FOLDER +
                        "meadow.replay was recorded with other scripts or levels. Run "
                        "tests/e2e/replays/record.sh to record it again, and commit what it "
                        "writes.\n");
}

}  // namespace
