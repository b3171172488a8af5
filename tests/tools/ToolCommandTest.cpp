// The content tools as the build runs them: help, exit status, and errors that
// name the file and the problem.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/GameTestUtil.h"
#include "tools/ToolRun.h"

using toolstest::runTool;

namespace {

TEST(ToolCommandTest, EveryToolHelpsAndRefusesAWrongCommandLine) {
    for (const char* tool : {"qfsheet", "qffontpack", "qftextpack", "qfseal"}) {
        SCOPED_TRACE(tool);
        const toolstest::ToolResult help = runTool(tool, "--help");
        EXPECT_EQ(help.exitCode, 0) << help.output;
        EXPECT_NE(help.output.find("Usage: "), std::string::npos) << help.output;
        const toolstest::ToolResult wrong = runTool(tool, "--no-such-option x y z");
        EXPECT_EQ(wrong.exitCode, 2) << wrong.output;
        const toolstest::ToolResult none = runTool(tool, "");
        EXPECT_EQ(none.exitCode, 2) << none.output;
    }
}

TEST(ToolCommandTest, BadInputFailsNamingTheFile) {
    gametest::BundleDir dir;
    dir.write("art/not.png", std::string("GIF89a, not a PNG at all"));
    dir.write("text/bad.tsv", std::string("id\ten\tde\nA\tonly one\n"));
    dir.write("fonts/bad.ttf", std::string("no font here"));
    dir.write("tp/sheet.json",
              std::string(R"({"frames": {"a.png": {"frame": {"x": 0, "y": 0, "w": 1, "h": 1}}},
                            "meta": {"image": "gone.png"}})"));
    dir.write("art/bad.json", std::string("{\n  \"meta\": ?\n}\n"));
    const std::string d = dir.str();
    struct Case {
        const char* tool;
        std::string arguments;
        std::vector<std::string> says;  // all of these, in the output
    };
    const Case cases[] = {
        {"qfsheet",
         "pack " + d + "/gfx/s.dat " + d + "/art/not.png",
         {d + "/art/not.png", "not a PNG file"}},
        {"qfsheet",
         "pack " + d + "/gfx/s.dat " + d + "/art/missing.png",
         {d + "/art/missing.png", "cannot open"}},
        {"qfsheet",
         "convert " + d + "/gfx/c.dat " + d + "/tp/sheet.json",
         {d + "/tp/gone.png", "cannot open"}},
        {"qfsheet",
         "compo " + d + "/gfx/c_compo.dat " + d + "/art/bad.json",
         {d + "/art/bad.json:2: "}},
        {"qftextpack",
         d + "/text/bad.tsv " + d + "/text/t.dat",
         {d + "/text/bad.tsv", "line 2", "2 cells, expected 3"}},
        {"qffontpack",
         d + "/fonts/bad.ttf 16 " + d + "/fonts/f.dat",
         {d + "/fonts/bad.ttf", "cannot read the font"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const toolstest::ToolResult result = runTool(c.tool, c.arguments);
        EXPECT_EQ(result.exitCode, 1) << result.output;
        for (const std::string& part : c.says) {
            EXPECT_NE(result.output.find(part), std::string::npos) << result.output;
        }
    }
    // A failed run leaves no output behind.
    EXPECT_FALSE(std::filesystem::exists(d + "/gfx/s.dat"));
    EXPECT_FALSE(std::filesystem::exists(d + "/gfx/c.dat"));
    EXPECT_FALSE(std::filesystem::exists(d + "/gfx/c_compo.dat"));
    EXPECT_FALSE(std::filesystem::exists(d + "/text/t.dat"));
}

}  // namespace
