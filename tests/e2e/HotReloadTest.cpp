// Hot reload in the real game: a development game (--sources) takes a changed
// level into the level in play on F6 or when the file is saved, and a broken
// script leaves the last good scripts running with the error on screen.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Capture.h"
#include "Process.h"
#include "qfseal/Sealer.h"

namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;
const std::string SOURCES = QUILLFIRE_GAME_SOURCES;

const int RELOAD_FRAME = 100;
const int FRAMES = 260;
const int KEY_RETURN = 33;
const int KEY_RELOAD = 46;  // F6

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Opens the first level from the title with Enter twice; with reload, F6 goes
// down at RELOAD_FRAME.
std::string openFirstLevel(bool reload) {
    std::ostringstream out;
    out << "quillfire-replay 1\ncontent any\nscreen 640 480\n";
    for (int f = 1; f <= FRAMES; ++f) {
        out << "f 3c888889\n";  // 1/60 s
        if (f == 1) {
            out << "a 1 0 0\n";
        }
        if (f == 10 || f == 30) {
            out << "k " << KEY_RETURN << " 1 0\n";
        }
        if (f == 11 || f == 31) {
            out << "k " << KEY_RETURN << " 0 0\n";
        }
        if (reload && f == RELOAD_FRAME) {
            out << "k " << KEY_RELOAD << " 1 0\n";
        }
        if (reload && f == RELOAD_FRAME + 1) {
            out << "k " << KEY_RELOAD << " 0 0\n";
        }
    }
    return out.str();
}

// The hash log: frame number to the hash of the world's bodies.
std::map<int, std::string> hashes(const std::string& path) {
    std::map<int, std::string> result;
    std::istringstream in(readText(path));
    int frame;
    std::string hash;
    while (in >> frame >> hash) {
        result[frame] = hash;
    }
    return result;
}

// The shift d by which every frame from `from` on of run equals frame f - d
// of fresh: the same start, d frames later; 0 when there is none.
int shiftBetween(const std::map<int, std::string>& run, const std::map<int, std::string>& fresh,
                 int from) {
    for (int d = 1; d < from; ++d) {
        bool all = true;
        for (int f = from; f <= FRAMES && all; ++f) {
            all = run.at(f) == fresh.at(f - d);
        }
        if (all) {
            return d;
        }
    }
    return 0;
}

// Pixels of exactly the colour 0xRRGGBB in the top rows of a capture.
int pixelsOfColour(const e2e::Image& image, unsigned colour, int rows) {
    int count = 0;
    for (int y = 0; y < rows && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}
const unsigned ERROR_TITLE = 0xff6050;  // the error view's title

// Named like the other end-to-end suites, which the sanitizer pass skips.
class EndToEndHotReload : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_reload_" + name + "_" + std::to_string(getpid());
        // A bundle of its own, which the reload may write to, and its sources.
        ASSERT_EQ(0, system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/data' '" + root_ +
                             "/run' '" + root_ + "/src' && chmod 700 '" + root_ +
                             "/run' && cp -r '" + SOURCES + "/scripts' '" + SOURCES + "/levels' '" +
                             SOURCES + "/particles' '" + path("src") + "'")
                                .c_str()));
        freshBundle();
        std::ofstream(path("reload.replay")) << openFirstLevel(true);
        std::ofstream(path("plain.replay")) << openFirstLevel(false);
    }
    void TearDown() override { system(("rm -rf '" + root_ + "'").c_str()); }

    std::string path(const std::string& name) const { return root_ + "/" + name; }
    // The built bundle again, without what reloads sealed into it.
    void freshBundle() const {
        ASSERT_EQ(0, system(("rm -rf '" + path("bundle") + "' && cp -r '" + BUNDLE + "' '" +
                             path("bundle") + "'")
                                .c_str()));
    }

    std::vector<std::string> arguments(const std::vector<std::string>& options) const {
        std::vector<std::string> all = {path("bundle/config.lua"), "--headless"};
        all.insert(all.end(), options.begin(), options.end());
        return all;
    }
    std::map<std::string, std::string> environment() const {
        return {{"XDG_DATA_HOME", path("data")}, {"XDG_RUNTIME_DIR", path("run")}};
    }
    // Runs the game headless from a fresh data folder.
    e2e::RunResult play(const std::vector<std::string>& options) {
        system(("rm -rf '" + path("data") + "/'*").c_str());
        return e2e::run(EXE, arguments(options), environment());
    }
    e2e::RunResult playReplay(const std::string& replay, const std::string& log,
                              const std::vector<std::string>& more = {}) {
        std::vector<std::string> options = {"--replay", path(replay), "--hash-log", path(log)};
        options.insert(options.end(), more.begin(), more.end());
        return play(options);
    }

    // The first block of the level source stands a unit further right.
    void moveFirstBlock(const std::string& level) {
        const std::string text = movedFirstBlock(readText(path("src/levels/" + level)));
        ASSERT_FALSE(text.empty());
        std::ofstream(path("src/levels/" + level)) << text;
    }
    static std::string movedFirstBlock(std::string text) {
        std::smatch block;
        const std::regex firstBlock("\\w+ = \\{ definition = \"[A-Z_]+\", x = ([-0-9.]+)");
        if (!std::regex_search(text, block, firstBlock)) {
            return std::string();
        }
        text.replace(static_cast<size_t>(block.position(1)), block.length(1),
                     std::to_string(std::stod(block[1]) + 1.0));
        return text;
    }
    void append(const std::string& source, const std::string& code) {
        std::ofstream(path("src/" + source), std::ios::app) << "\n" << code << "\n";
    }
    std::string sealedContent(const std::string& file) const {
        const std::string bytes = readText(path("bundle/" + file));
        try {
            const std::vector<uint8_t> content =
                qfseal::unseal(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            return std::string(content.begin(), content.end());
        } catch (const std::exception&) {
            return std::string();  // being replaced, or not sealed
        }
    }

    std::string root_;
};

TEST_F(EndToEndHotReload, AChangedLevelRestartsAsAFreshStartOfItWouldBe) {
    moveFirstBlock("m01.lua");
    // The level as it was, from the bundle before any reload; an installed game.
    const e2e::RunResult before = playReplay("plain.replay", "before.log");
    ASSERT_EQ(before.exitCode, 0) << before.output;

    const e2e::RunResult reloaded =
        playReplay("reload.replay", "reloaded.log", {"--sources", path("src")});
    ASSERT_EQ(reloaded.exitCode, 0) << reloaded.output;
    EXPECT_NE(reloaded.output.find("Hot reload: resealed levels/m01.lua;"), std::string::npos)
        << reloaded.output;
    EXPECT_EQ(sealedContent("levels/m01.lua"), readText(path("src/levels/m01.lua")));

    // The changed level from a fresh start, now that the bundle holds it.
    const e2e::RunResult fresh = playReplay("plain.replay", "fresh.log");
    ASSERT_EQ(fresh.exitCode, 0) << fresh.output;

    const std::map<int, std::string> old = hashes(path("before.log"));
    const std::map<int, std::string> now = hashes(path("reloaded.log"));
    const std::map<int, std::string> changed = hashes(path("fresh.log"));
    ASSERT_EQ(now.size(), static_cast<size_t>(FRAMES));
    // Until the reload the old level runs.
    for (int f = 1; f < RELOAD_FRAME; ++f) {
        ASSERT_EQ(now.at(f), old.at(f)) << "frame " << f;
    }
    // After it the changed level runs from its start: every frame since the
    // reload is a frame of the fresh start, shifted by when its level opened.
    EXPECT_NE(shiftBetween(now, changed, RELOAD_FRAME), 0)
        << "the reloaded level does not run like a fresh start of the changed one";
    EXPECT_NE(now.at(FRAMES), old.at(FRAMES)) << "the level did not change";
}

struct BrokenCase {
    const char* name;
    const char* source;  // below the sources
    const char* code;    // appended to it
    const char* logged;  // in the logged error
    bool levelRestarts;  // the scripts ran, were taken back, and restarted the level
};

TEST_F(EndToEndHotReload, ABrokenScriptLeavesTheLastGoodOneRunningAndShowsTheError) {
    const BrokenCase cases[] = {
        {"does not compile", "scripts/ui/screens.lua", "this is not lua", "screens.lua:", false},
        // Were any of these left applied, the game would exit with 7 or 8.
        {"fails while it runs", "scripts/gamelogic.lua",
         "function update(dt) requestExit(7) end\nerror('broken on purpose')", "broken on purpose",
         true},
        {"a file it loads fails", "scripts/ui/screens.lua",
         "function Flow.update(dt) requestExit(8) end\nerror('a nested failure')",
         "a nested failure", true},
    };
    const e2e::RunResult plain = playReplay("plain.replay", "plain.log");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    const std::map<int, std::string> good = hashes(path("plain.log"));
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string original = readText(path("src/" + std::string(c.source)));
        append(c.source, c.code);
        // A set that ran and failed stays sealed in the data folder, as its
        // sources are; the next case starts from the built bundle.
        freshBundle();
        const e2e::RunResult broken =
            playReplay("reload.replay", "broken.log",
                       {"--sources", path("src"), "--capture", path("broken.png")});
        std::ofstream(path("src/" + std::string(c.source))) << original;
        EXPECT_EQ(broken.exitCode, 0) << broken.output;
        EXPECT_NE(broken.output.find("Hot reload failed"), std::string::npos) << broken.output;
        EXPECT_NE(broken.output.find(c.logged), std::string::npos) << broken.output;
        // The error is on screen at the end, long after the reload.
        EXPECT_GT(pixelsOfColour(e2e::loadPng(path("broken.png")), ERROR_TITLE, 40), 100);

        const std::map<int, std::string> run = hashes(path("broken.log"));
        if (run.size() != static_cast<size_t>(FRAMES)) {
            ADD_FAILURE() << "the game stopped after " << run.size() << " frames";
            continue;
        }
        if (c.levelRestarts) {
            EXPECT_NE(shiftBetween(run, good, RELOAD_FRAME), 0)
                << "the last good scripts did not restart the level";
        } else {
            EXPECT_EQ(run, good) << "a set that does not compile changed the game";
        }
    }
    // Without an error nothing is shown.
    freshBundle();
    const e2e::RunResult fixed = playReplay(
        "reload.replay", "fixed.log", {"--sources", path("src"), "--capture", path("fixed.png")});
    EXPECT_EQ(fixed.exitCode, 0) << fixed.output;
    EXPECT_EQ(pixelsOfColour(e2e::loadPng(path("fixed.png")), ERROR_TITLE, 40), 0);
}

TEST_F(EndToEndHotReload, SavingASourceReloadsWithoutAKey) {
    e2e::Process game(EXE, arguments({"--sources", path("src"), "--frames", "1000000"}),
                      environment());
    const std::string moved = movedFirstBlock(readText(path("src/levels/m01.lua")));
    ASSERT_FALSE(moved.empty());
    // Saved the way editors do, a new file renamed over the old one; saved
    // again every two seconds, since the game may not be watching yet.
    bool resealed = false;
    for (int tries = 0; tries < 300 && !resealed; ++tries) {
        if (tries % 20 == 0) {
            std::ofstream(path("src/levels/.m01.lua.new")) << moved;
            ASSERT_EQ(0, std::rename(path("src/levels/.m01.lua.new").c_str(),
                                     path("src/levels/m01.lua").c_str()));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        resealed = sealedContent("levels/m01.lua") == moved;
    }
    game.signal(SIGTERM);
    const e2e::RunResult result = game.wait(30);
    EXPECT_TRUE(resealed) << result.output;
    EXPECT_NE(result.output.find("Hot reload: resealed levels/m01.lua;"), std::string::npos)
        << result.output;
}

}  // namespace
