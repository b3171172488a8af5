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
const std::string CONFIG = QUILLFIRE_GAME_BUNDLE "/config.lua";

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

// The sky clears to this colour and the ground below the grass is filled with this.
const Rgb SKY{140, 200, 235};
const Rgb SOIL{110, 78, 50};

// Pixels inside the rectangle that are neither sky nor soil.
int sceneryPixels(const Image& image, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb p = at(image, x, y);
            n += !close(p, SKY, 12) && !close(p, SOIL, 12);
        }
    }
    return n;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_game_" + name + "_" + std::to_string(getpid());
        ASSERT_EQ(0, system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/data' '" + root_ +
                             "/run' && chmod 700 '" + root_ + "/run'")
                                .c_str()));
    }
    void TearDown() override { system(("rm -rf '" + root_ + "'").c_str()); }

    // Runs `frames` fixed frames, optionally with unattended shots, and returns
    // the last frame; the run's log is kept in output_. Each run starts with no
    // saved data.
    Image capture(const std::string& name, int frames, const std::string& autoShot = "") {
        const std::string shot = root_ + "/" + name + ".png";
        system(("rm -rf '" + root_ + "/data/'*").c_str());
        std::map<std::string, std::string> env = {{"XDG_DATA_HOME", root_ + "/data"},
                                                  {"XDG_RUNTIME_DIR", root_ + "/run"},
                                                  {"QUILLFIRE_AUTOSHOT", autoShot}};
        const e2e::RunResult result =
            e2e::run(EXE,
                     {CONFIG, "--headless", "--fixed-dt", "0.0166667", "--frames",
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
    std::string output_;
};

TEST_F(EndToEnd, LevelShowsSkyGroundAndForts) {
    const Image image = capture("still", 30);
    ASSERT_FALSE(image.rgb.empty());
    EXPECT_TRUE(close(SKY, at(image, 5, 5), 3));
    EXPECT_TRUE(close(SKY, at(image, 320, 20), 3));
    EXPECT_TRUE(close(SOIL, at(image, 320, 470), 3));
    EXPECT_TRUE(close(SOIL, at(image, 630, 475), 3));
    // The forts stand right of the middle, the slingshot on the left.
    EXPECT_GT(sceneryPixels(image, 430, 300, 620, 400), 2000);
    EXPECT_GT(sceneryPixels(image, 80, 310, 130, 400), 200);
    // Nothing but sky at the top, above the clouds.
    EXPECT_EQ(0, sceneryPixels(image, 0, 0, 640, 80));
    EXPECT_EQ(std::string::npos, output_.find("Level won"));
    EXPECT_EQ(std::string::npos, output_.find("Level lost"));
}

TEST_F(EndToEnd, SameArgumentsGiveTheSamePicture) {
    const Image first = capture("first", 45);
    const Image second = capture("second", 45);
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == second.rgb);
}

TEST_F(EndToEnd, UnattendedShotRepeatsExactlyAndChangesTheLevel) {
    const std::string shot = "35,0.85,10";
    const Image still = capture("still", 150);
    const Image first = capture("first", 150, shot);
    const Image second = capture("second", 150, shot);
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == second.rgb);
    EXPECT_FALSE(first.rgb == still.rgb);
    // The bird left the sling, so the sky is the same but the forts were hit.
    EXPECT_TRUE(close(SKY, at(first, 5, 5), 3));
    int changed = 0;
    for (int y = 250; y < 400; ++y) {
        for (int x = 420; x < 640; ++x) {
            changed += !close(at(first, x, y), at(still, x, y), 0);
        }
    }
    EXPECT_GT(changed, 500);
}

// Whole games played by unattended shots ("angle,power,frame" each): the log
// names the outcome and the banner across the screen shows it. The frame
// counts leave a few frames after the last shot settles.
TEST_F(EndToEnd, UnattendedShotsWinOrLoseTheLevel) {
    // The banner over the sky: gold after a win, red after a loss.
    const Rgb WON_BANNER{227, 199, 78};
    const Rgb LOST_BANNER{195, 73, 67};
    struct Case {
        const char* name;
        const char* shots;
        int frames;
        const char* verdict;
        const char* notVerdict;
        Rgb banner;
    };
    const Case cases[] = {
        // Two gremlins fall to the first bird, the last one on the stone roof to the third.
        {"three_birds", "40,0.8,0;10,0.8,0;30,1,0", 400, "Level won: score 16500, stars 1",
         "Level lost", WON_BANNER},
        // Clearing it with a bird to spare earns its bonus and the second star.
        {"two_birds", "40,0.8,0;30,1,0", 290, "Level won: score 26000, stars 2", "Level lost",
         WON_BANNER},
        // Three feeble shots that drop short of the forts.
        {"short_shots", "10,0.3,0;10,0.3,0;10,0.3,0", 560, "Level lost: 3 targets left",
         "Level won", LOST_BANNER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = capture(c.name, c.frames, c.shots);
        ASSERT_FALSE(image.rgb.empty());
        EXPECT_NE(std::string::npos, output_.find(c.verdict)) << output_;
        EXPECT_EQ(std::string::npos, output_.find(c.notVerdict)) << output_;
        EXPECT_TRUE(close(c.banner, at(image, 600, 240), 6));
        EXPECT_TRUE(close(c.banner, at(image, 20, 250), 6));
        // Above the banner the sky is untouched.
        EXPECT_TRUE(close(SKY, at(image, 5, 5), 3));
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
