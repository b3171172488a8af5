#include <gtest/gtest.h>

#include "framework/LaunchOptions.h"

namespace {

using framework::parseLaunchOptions;
using Args = std::vector<std::string>;

TEST(LaunchOptions, OptionsAreTakenOutOfTheArguments) {
    const auto o = parseLaunchOptions({"q", "cfg.lua", "--headless", "--frames", "12", "--fixed-dt",
                                       "0.02", "--capture", "out.png", "--report-every", "500"});
    EXPECT_TRUE(o.error.empty());
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(12, o.frames);
    EXPECT_FLOAT_EQ(0.02f, o.fixedDt);
    EXPECT_EQ("out.png", o.capture);
    EXPECT_EQ(500, o.reportEvery);
    EXPECT_EQ((Args{"q", "cfg.lua"}), o.arguments);
}

TEST(LaunchOptions, PlainRunHasNone) {
    const auto o = parseLaunchOptions({"q"});
    EXPECT_TRUE(o.error.empty());
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(0, o.frames);
    EXPECT_EQ(0, o.fixedDt);
    EXPECT_EQ((Args{"q"}), o.arguments);
    // Argument 0 is never an option, whatever it looks like.
    EXPECT_EQ((Args{"--headless"}), parseLaunchOptions({"--headless"}).arguments);
}

TEST(LaunchOptions, BadValuesAreRefused) {
    const Args bad[] = {
        {"q", "--frames"},
        {"q", "--frames", "x"},
        {"q", "--frames", "0"},
        {"q", "--frames", "-3"},
        {"q", "--frames", "5x"},
        {"q", "--fixed-dt", "0"},
        {"q", "--fixed-dt", "nan"},
        {"q", "--fixed-dt", "inf"},
        {"q", "--capture"},
        {"q", "--capture", ""},
        {"q", "--fast"},
        {"q", "--shots"},
        {"q", "--shots", ""},
        {"q", "--stats", ""},
    };
    for (const Args& args : bad) {
        EXPECT_FALSE(parseLaunchOptions(args).error.empty()) << args.back();
    }
}

TEST(LaunchOptions, ProgramOptionsAreFilledForTheProgramToRead) {
    const auto o =
        parseLaunchOptions({"q", "--demo", "--shots", "out", "--stats", "s.txt", "--record",
                            "r.qfr", "--replay", "p.qfr", "--hash-log", "h.txt", "--list-natives",
                            "--test", "tests", "--sources", "src", "--help", "--version"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_TRUE(o.demo);
    EXPECT_EQ("out", o.shots);
    EXPECT_EQ("s.txt", o.stats);
    EXPECT_EQ("r.qfr", o.record);
    EXPECT_EQ("p.qfr", o.replay);
    EXPECT_EQ("h.txt", o.hashLog);
    EXPECT_TRUE(o.listNatives);
    EXPECT_EQ("tests", o.testDir);
    EXPECT_EQ("src", o.sources);
    EXPECT_TRUE(o.help);
    EXPECT_TRUE(o.version);
    EXPECT_EQ((Args{"q"}), o.arguments);
}

TEST(LaunchOptions, UsageNamesEveryOptionWithItsValue) {
    const std::string usage = framework::launchUsage("quillfire");
    EXPECT_EQ(0u, usage.find("Usage: quillfire "));
    for (const char* line :
         {"--help", "--headless", "--frames N", "--fixed-dt S", "--capture FILE", "--demo",
          "--shots DIR", "--stats FILE", "--record FILE", "--replay FILE", "--hash-log FILE",
          "--list-natives", "--test DIR", "--sources DIR"}) {
        EXPECT_NE(std::string::npos, usage.find(std::string("  ") + line + " ")) << line;
    }
}

}  // namespace
