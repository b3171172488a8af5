// Plays the level again and again for 10,000 fixed frames and watches the
// resident memory and the open files: neither may grow once the game runs.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "BundleCopy.h"
#include "Process.h"
#include "qfseal/Sealer.h"

namespace fs = std::filesystem;

namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;

// The game's own logic, with the level restarted (as the R key does) a second
// after it ends, and the unattended shots rewound. Three shots always end the
// level, won or lost.
const char* const REPLAYING_LOGIC = R"(
commonScriptPath = "scripts"
loadLuaFile("scripts/gamelogic.lua", "")
local play = update
replays = 0
function update(dt)
    if (game.state == "won" or game.state == "lost") and (game.endTime or 0) > 1 then
        replays = replays + 1
        native.logWarning("Replay " .. replays)
        keyPressed.R = true
        if autoShot then autoShot.next = 1 end
    end
    play(dt)
end
)";

struct Sample {
    int frame;
    long residentKb;
    int files;
};

TEST(EndToEndLongRun, MemoryAndOpenFilesStayFlat) {
    const std::string root = ::testing::TempDir() + "qf_longrun_" + std::to_string(getpid());
    fs::remove_all(root);
    fs::create_directories(root + "/data");
    fs::create_directories(root + "/run");
    fs::permissions(root + "/run", fs::perms::owner_all);
    const e2e::BundleCopy bundle(BUNDLE, root + "/bundle");
    // A small window and no frame cap: the frames are what matter here, not
    // their pixels or their pace.
    bundle.put("config.lua",
               bundle.original("config.lua") +
                   "\nwidth = 160\nheight = 120\nframerate = 0\ncommonScriptPath = \"longrun\"\n");
    fs::create_directories(bundle.folder() + "/longrun");
    const std::vector<uint8_t> logic = qfseal::seal(REPLAYING_LOGIC, "gamelogic.lua");
    bundle.put("longrun/gamelogic.lua", std::string(logic.begin(), logic.end()));

    e2e::Process game(EXE,
                      {bundle.config(), "--headless", "--fixed-dt", "0.0166667", "--frames",
                       "10000", "--report-every", "500"},
                      {{"XDG_DATA_HOME", root + "/data"},
                       {"XDG_RUNTIME_DIR", root + "/run"},
                       {"QUILLFIRE_AUTOSHOT", "40,0.8,0;30,1,0;10,0.8,0"}});
    const e2e::RunResult result = game.wait(280);
    fs::remove_all(root);
    ASSERT_EQ(0, result.exitCode) << result.output.substr(0, 4000);

    std::vector<Sample> samples;
    const std::regex line("Frame (\\d+): resident (\\d+) kB, (\\d+) open files");
    for (std::sregex_iterator it(result.output.begin(), result.output.end(), line), end; it != end;
         ++it) {
        samples.push_back({std::stoi((*it)[1]), std::stol((*it)[2]), std::stoi((*it)[3])});
    }
    ASSERT_EQ(samples.size(), 20u) << result.output.substr(0, 4000);
    EXPECT_NE(result.output.find("Replay 10"), std::string::npos) << "the level was not replayed:\n"
                                                                  << result.output.substr(0, 4000);

    std::string memory = "resident kB:", files = "open files:";
    for (const Sample& s : samples) {
        memory += " " + std::to_string(s.residentKb);
        files += " " + std::to_string(s.files);
    }
    std::printf("[ long run ] frames 500 to 10000 every 500\n[ long run ] %s\n[ long run ] %s\n",
                memory.c_str(), files.c_str());
    // From frame 1000 on, everything the game needs is loaded.
    const Sample& settled = samples[1];
    for (const Sample& s : samples) {
        if (s.frame <= settled.frame) {
            continue;
        }
        EXPECT_LE(s.residentKb, settled.residentKb + 2048) << "frame " << s.frame;
        EXPECT_LE(s.files, settled.files) << "frame " << s.frame;
    }
}

}  // namespace
