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
        {"q", "--frames"},          {"q", "--frames", "x"},       {"q", "--frames", "0"},
        {"q", "--frames", "-3"},    {"q", "--frames", "5x"},      {"q", "--fixed-dt", "0"},
        {"q", "--fixed-dt", "nan"}, {"q", "--fixed-dt", "inf"},   {"q", "--capture"},
        {"q", "--capture", ""},     {"q", "--report-every", "0"}, {"q", "--fast"},
    };
    for (const Args& args : bad) {
        EXPECT_FALSE(parseLaunchOptions(args).error.empty()) << args.back();
    }
}

}  // namespace
