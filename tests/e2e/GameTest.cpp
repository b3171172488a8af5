#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "Capture.h"
#include "Process.h"

// Runs the assembled game bundle headless and checks what it shows. The suite
// shares its name with the frame's end-to-end runs, which the sanitizer pass skips.
namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;

struct Rgb {
    int r, g, b;
};

using e2e::Image;
using e2e::loadPng;

Rgb at(const Image& image, int x, int y) {
    const unsigned char* p = image.at(x, y);
    return Rgb{p[0], p[1], p[2]};
}

bool close(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// The soil under the meadow's grass.
const Rgb SOIL{102, 70, 46};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_game_" + name + "_" + std::to_string(getpid());
        ASSERT_EQ(0, system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/data' '" + root_ +
                             "/run' && chmod 700 '" + root_ + "/run'")
                                .c_str()));
        // The bundle with an unpaced frame rate: fixed-dt runs then go as fast as they can.
        ASSERT_EQ(0, system(("mkdir '" + root_ + "/bundle' && ln -s '" + BUNDLE + "'/* '" + root_ +
                             "/bundle/' && rm '" + root_ +
                             "/bundle/config.lua' && sed "
                             "'s/^framerate = .*/framerate = 0/' '" +
                             BUNDLE + "/config.lua' > '" + root_ + "/bundle/config.lua'")
                                .c_str()));
        config_ = root_ + "/bundle/config.lua";
    }
    void TearDown() override { system(("rm -rf '" + root_ + "'").c_str()); }

    // Runs `frames` fixed frames, optionally with unattended shots, and returns
    // the last frame; the run's log is kept in output_. Each run starts with no
    // saved data.
    Image capture(const std::string& name, int frames, const std::string& shots = "",
                  const std::string& level = "m01") {
        const std::string shot = root_ + "/" + name + ".png";
        system(("rm -rf '" + root_ + "/data/'*").c_str());
        std::map<std::string, std::string> env = {{"XDG_DATA_HOME", root_ + "/data"},
                                                  {"XDG_RUNTIME_DIR", root_ + "/run"},
                                                  {"QUILLFIRE_LEVEL", level},
                                                  {"QUILLFIRE_DEMO", "1"},
                                                  {"QUILLFIRE_SHOTS", shots}};
        const e2e::RunResult result =
            e2e::run(EXE,
                     {config_, "--headless", "--fixed-dt", "0.0166667", "--frames",
                      std::to_string(frames), "--capture", shot},
                     env);
        EXPECT_EQ(0, result.exitCode) << result.output;
        output_ = result.output;
        Image image = loadPng(shot);
        EXPECT_EQ(640, image.width) << result.output;
        EXPECT_EQ(480, image.height);
        return image;
    }

    std::string root_;
    std::string config_;
    std::string output_;
};

TEST_F(EndToEnd, LevelShowsGroundSlingAndFort) {
    const Image image = capture("still", 30);
    ASSERT_FALSE(image.rgb.empty());
    EXPECT_TRUE(close(SOIL, at(image, 320, 470), 3));
    EXPECT_TRUE(close(SOIL, at(image, 630, 475), 3));
    EXPECT_EQ(std::string::npos, output_.find("LEVEL m01"));
}

TEST_F(EndToEnd, SameArgumentsGiveTheSamePicture) {
    const Image first = capture("first", 45);
    const Image second = capture("second", 45);
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == second.rgb);
}

TEST_F(EndToEnd, ShotRepeatsExactlyAndChangesTheLevel) {
    const Image first = capture("first", 150, "30,1");
    const Image second = capture("second", 150, "30,1");
    const Image other = capture("other", 150, "60,0.5");
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == second.rgb);
    EXPECT_FALSE(first.rgb == other.rgb);
}

// Whole levels played by shots ("angle,power[,ability]" each): the log names
// the outcome, and a level that cannot be played says why.
TEST_F(EndToEnd, ShotsWinOrLoseTheLevel) {
    struct Case {
        const char* name;
        const char* level;
        const char* shots;
        int frames;
        const char* verdict;
        const char* notVerdict;
    };
    const Case cases[] = {
        // Three feeble shots that drop short of the fort.
        {"short_shots", "m01", "10,0.3;10,0.3;10,0.3", 900, "LEVEL m01 lost", "LEVEL m01 won"},
        // A level that does not exist is reported by name, not played.
        {"missing", "nosuch", "", 30, "Level nosuch is bad", "LEVEL nosuch won"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = capture(c.name, c.frames, c.shots, c.level);
        ASSERT_FALSE(image.rgb.empty());
        EXPECT_NE(std::string::npos, output_.find(c.verdict)) << output_;
        EXPECT_EQ(std::string::npos, output_.find(c.notVerdict)) << output_;
    }
}

// The command line is answered before any window or bundle is touched.
TEST(CommandLine, HelpVersionAndRefusedOptions) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {{"--help"}, 0, {"Usage: quillfire ", "--demo", "--shots DIR", "--headless"}},
        {{CONFIG, "--version"}, 0, {"quillfire 0.1"}},
        {{"--bogus"}, 2, {"Unknown option --bogus", "Usage: quillfire "}},
        {{CONFIG, "--frames", "many"}, 2, {"Option --frames needs a valid value", "Usage:"}},
    };
    for (const Case& c : cases) {
        const e2e::RunResult result = e2e::run(EXE, c.arguments);
        EXPECT_EQ(c.exitCode, result.exitCode) << c.arguments.back() << "\n" << result.output;
        for (const std::string& text : c.said) {
            EXPECT_NE(std::string::npos, result.output.find(text))
                << c.arguments.back() << ": wanted " << text << "\n"
                << result.output;
        }
    }
}

}  // namespace
