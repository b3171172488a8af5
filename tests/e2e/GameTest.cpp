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

// Runs the assembled game bundle headless and checks what it shows. The suite
// shares its name with the frame's end-to-end runs, which the sanitizer pass skips.
namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;
const std::string CONFIG = BUNDLE + "/config.lua";
const std::string SEAL = QUILLFIRE_SEAL;
const int WIDTH = 640, HEIGHT = 480;
const std::string XVFB_RUN = "/usr/bin/xvfb-run";

using e2e::Image;
using e2e::loadPng;

struct Rgb {
    int r, g, b;
};

Rgb at(const Image& image, int x, int y) {
    const unsigned char* p = image.at(x, y);
    return Rgb{p[0], p[1], p[2]};
}

// Pixels in the rectangle for which the test holds.
template <typename Test>
int countPixels(const Image& image, int x0, int y0, int x1, int y1, Test test) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            n += test(at(image, x, y)) ? 1 : 0;
        }
    }
    return n;
}

bool buttonOrange(Rgb p) {
    return p.r > 190 && p.g > 90 && p.g < 190 && p.b < 120;
}

// One line of the demo's report.
struct Played {
    std::string level;
    bool won;
    int score, stars;
};

std::vector<Played> reportOf(const std::string& output) {
    static const std::regex line(R"(^(\S+) (won|lost) (\d+) ([0-3])$)");
    std::vector<Played> played;
    std::istringstream in(output);
    std::string text;
    while (std::getline(in, text)) {
        std::smatch m;
        if (std::regex_match(text, m, line)) {
            played.push_back(Played{m[1], m[2] == "won", std::stoi(m[3]), std::stoi(m[4])});
        }
    }
    return played;
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

    e2e::RunResult play(const std::vector<std::string>& options, int timeoutSeconds = 60,
                        const std::string& bundle = BUNDLE) {
        std::vector<std::string> args = {bundle + "/config.lua", "--headless", "--fixed-dt",
                                         "0.0166667"};
        args.insert(args.end(), options.begin(), options.end());
        e2e::Process process(
            EXE, args, {{"XDG_DATA_HOME", root_ + "/data"}, {"XDG_RUNTIME_DIR", root_ + "/run"}});
        return process.wait(timeoutSeconds);
    }

    // The same run in a window of an X server of its own (xvfb-run), drawn as
    // a player's game draws: straight into the window.
    e2e::RunResult playInWindow(const std::vector<std::string>& options) {
        std::vector<std::string> args = {
            "-a", "-s", "-screen 0 1280x720x24", EXE, CONFIG, "--fixed-dt", "0.0166667"};
        args.insert(args.end(), options.begin(), options.end());
        e2e::Process process(XVFB_RUN, args,
                             {{"XDG_DATA_HOME", root_ + "/data"},
                              {"XDG_RUNTIME_DIR", root_ + "/run"},
                              {"SDL_VIDEODRIVER", "x11"}});
        return process.wait(120);
    }

    // The last of `frames` frames from a start with no saved data.
    Image capture(const std::string& name, int frames, bool inWindow = false) {
        const std::string shot = root_ + "/" + name + ".png";
        system(("rm -rf '" + root_ + "/data/'*").c_str());
        const std::vector<std::string> options = {"--frames", std::to_string(frames), "--capture",
                                                  shot};
        const e2e::RunResult result = inWindow ? playInWindow(options) : play(options);
        EXPECT_EQ(0, result.exitCode) << result.output;
        output_ = result.output;
        Image image = loadPng(shot);
        EXPECT_EQ(WIDTH, image.width) << result.output;
        EXPECT_EQ(HEIGHT, image.height);
        return image;
    }

    std::string root_;
    std::string output_;
};

TEST_F(EndToEnd, TitleShowsTheMainMenuOverItsScene) {
    const Image image = capture("title", 60);
    ASSERT_FALSE(image.rgb.empty());
    // A blue sky at the top, green hills at the bottom.
    const Rgb sky = at(image, 5, 5);
    EXPECT_GT(sky.b, 180);
    EXPECT_GT(sky.b, sky.r + 40);
    const Rgb hill = at(image, 5, HEIGHT - 15);
    EXPECT_GT(hill.g, hill.r);
    EXPECT_GT(hill.g, hill.b);
    // Three orange buttons down the middle; at the side only the bird's beak.
    EXPECT_GT(countPixels(image, WIDTH / 2 - 120, 200, WIDTH / 2 + 120, 420, buttonOrange), 15000);
    EXPECT_LT(countPixels(image, 0, 200, 150, 420, buttonOrange), 500);
    EXPECT_TRUE(reportOf(output_).empty()) << output_;
}

bool parchment(Rgb p) {
    return std::abs(p.r - 246) < 8 && std::abs(p.g - 231) < 8 && std::abs(p.b - 200) < 8;
}

// A saved file that cannot be read: the game starts afresh and says so over
// the title, instead of failing or hiding it.
TEST_F(EndToEnd, DamagedSaveStartsAfreshWithANotice) {
    const Image plain = capture("plain", 30);
    const std::string saves = root_ + "/data/Quillfire/Demo";
    ASSERT_EQ(0, system(("mkdir -p '" + saves + "' && printf 'not a saved table' > '" + saves +
                         "/settings.lua'")
                            .c_str()));
    const std::string shot = root_ + "/notice.png";
    const e2e::RunResult result = play({"--frames", "30", "--capture", shot});
    EXPECT_EQ(0, result.exitCode) << result.output;
    const Image notice = loadPng(shot);
    ASSERT_FALSE(notice.rgb.empty());
    const int x0 = WIDTH / 2 - 150, x1 = WIDTH / 2 + 150, y0 = HEIGHT / 2 - 80, y1 = HEIGHT / 2;
    EXPECT_GT(countPixels(notice, x0, y0, x1, y1, parchment), 15000);
    EXPECT_LT(countPixels(plain, x0, y0, x1, y1, parchment), 500);
    EXPECT_EQ(0, system(("test -f '" + saves + "/settings.lua.bad'").c_str()));
}

TEST_F(EndToEnd, SameArgumentsGiveTheSamePicture) {
    const Image first = capture("first", 45);
    const Image second = capture("second", 45);
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == second.rgb);
    // The scene moves.
    const Image later = capture("later", 90);
    EXPECT_FALSE(first.rgb == later.rgb);
}

// A frame drawn straight into a window and read back after its present is the
// frame drawn headless through the offscreen target: the rasteriser may round
// an edge pixel differently, nothing more.
TEST_F(EndToEnd, AWindowShowsWhatTheHeadlessRunDraws) {
    if (access(XVFB_RUN.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "no " << XVFB_RUN;
    }
    const Image headless = capture("headless", 45);
    const Image window = capture("window", 45, true);
    ASSERT_FALSE(window.rgb.empty()) << output_;
    ASSERT_EQ(headless.rgb.size(), window.rgb.size());
    int differing = 0, largest = 0;
    for (size_t i = 0; i < window.rgb.size(); i += 3) {
        int delta = 0;
        for (size_t c = 0; c < 3; ++c) {
            delta = std::max(delta, std::abs(window.rgb[i + c] - headless.rgb[i + c]));
        }
        differing += delta > 0 ? 1 : 0;
        largest = std::max(largest, delta);
    }
    EXPECT_LE(largest, 2);
    EXPECT_LE(differing, WIDTH * HEIGHT / 1000) << "pixels that differ";
}

// The run CI relies on: every level won by its recorded shots, one line and
// one picture each.
TEST_F(EndToEnd, DemoWinsEveryLevelWithAPictureOfEach) {
    const std::string shots = root_ + "/shots";
    const e2e::RunResult result = play({"--demo", "--shots", shots}, 1500);
    const std::vector<Played> played = reportOf(result.output);
    ASSERT_FALSE(played.empty()) << result.output;
    for (const Played& p : played) {
        SCOPED_TRACE(p.level);
        EXPECT_TRUE(p.won);
        EXPECT_GE(p.stars, 1);
        EXPECT_GT(p.score, 0);
        const Image image = loadPng(shots + "/" + p.level + ".png");
        EXPECT_EQ(WIDTH, image.width);
        EXPECT_EQ(HEIGHT, image.height);
    }
    EXPECT_EQ(0, result.exitCode) << result.output;
}

// A bundle whose demo has no shots loses every level, and the run says so.
TEST_F(EndToEnd, DemoFailsWhenALevelIsLost) {
    const std::string bundle = root_ + "/bundle";
    ASSERT_EQ(0, system(("cp -r '" + BUNDLE + "' '" + bundle + "'").c_str()));
    { std::ofstream(root_ + "/demoShots.lua") << "demoShots = {}\n"; }
    ASSERT_EQ(0, system(("'" + SEAL + "' seal '" + root_ + "/demoShots.lua' '" + bundle +
                         "/scripts/demoShots.lua'")
                            .c_str()));
    const e2e::RunResult result = play({"--demo"}, 600, bundle);
    const std::vector<Played> played = reportOf(result.output);
    ASSERT_FALSE(played.empty()) << result.output;
    for (const Played& p : played) {
        EXPECT_FALSE(p.won) << p.level;
        EXPECT_EQ(0, p.stars) << p.level;
    }
    EXPECT_EQ(1, result.exitCode) << result.output;
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
