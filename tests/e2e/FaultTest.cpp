// Faults a player can meet, through the real executable: each ends in one
// clear message that names the file and the problem, never in a crash, a hang
// or lost saves.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BundleCopy.h"
#include "Process.h"
#include "qfseal/Sealer.h"

namespace fs = std::filesystem;

namespace {

const std::string EXE = QUILLFIRE_EXE;
const std::string BUNDLE = QUILLFIRE_GAME_BUNDLE;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string sealed(const std::string& code, const std::string& name) {
    const std::vector<uint8_t> bytes = qfseal::seal(code, name);
    return std::string(bytes.begin(), bytes.end());
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class EndToEndFaults : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = ::testing::TempDir() + "qf_faults_" + name + "_" + std::to_string(getpid());
        fs::remove_all(root_);
        fs::create_directories(root_ + "/data");
        fs::create_directories(root_ + "/run");
        fs::permissions(root_ + "/run", fs::perms::owner_all);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(saves(), fs::perms::owner_all, ec);
        fs::remove_all(root_, ec);
    }

    std::string saves() const { return root_ + "/data/Quillfire/Demo"; }

    // Runs the game headless for `frames` fixed frames; `wrapper` goes before
    // the executable (a shell, a change of user).
    e2e::RunResult play(const std::string& config, int frames,
                        std::map<std::string, std::string> env = {},
                        std::vector<std::string> wrapper = {}, bool headless = true,
                        const std::vector<std::string>& options = {}) {
        env.emplace("XDG_DATA_HOME", root_ + "/data");
        env.emplace("XDG_RUNTIME_DIR", root_ + "/run");
        std::vector<std::string> arguments = wrapper;
        arguments.push_back(EXE);
        arguments.push_back(config);
        if (headless) {
            arguments.push_back("--headless");
        }
        for (const std::string& a : {std::string("--fixed-dt"), std::string("0.0166667"),
                                     std::string("--frames"), std::to_string(frames)}) {
            arguments.push_back(a);
        }
        arguments.insert(arguments.end(), options.begin(), options.end());
        const std::string program = arguments.front();
        arguments.erase(arguments.begin());
        return e2e::run(program, arguments, env);
    }

    std::string root_;
};

// The saves fail, each with a WARNING that names the file and the reason; the
// old files stay, and the demo plays on through its first level.
TEST_F(EndToEndFaults, SavesThatCannotBeWrittenWarnAndTheGameGoesOn) {
    struct Case {
        const char* what;
        std::function<std::vector<std::string>()> prepare;  // returns a wrapper
        std::string reason;
    };
    const std::string firstSettings = [&] {
        const e2e::RunResult first = play(BUNDLE + "/config.lua", 5);
        EXPECT_EQ(0, first.exitCode) << first.output;
        return readFile(saves() + "/settings.lua");
    }();
    ASSERT_FALSE(firstSettings.empty());
    const Case cases[] = {
        {"read-only data folder",
         [&] {
             chmod(saves().c_str(), 0555);
             if (geteuid() != 0) {
                 return std::vector<std::string>{};
             }
             // Permissions do not bind root: play as nobody.
             EXPECT_EQ(0, system(("chown -R 65534:65534 '" + root_ + "'").c_str()));
             return std::vector<std::string>{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups"};
         },
         std::strerror(EACCES)},
        // What a full disk does to a save, without filling one.
        {"file size limit",
         [&] {
             return std::vector<std::string>{
                 "/bin/bash", "-c",
                 "set -o pipefail; (ulimit -f 0; exec \"$0\" \"$@\") 2>&1 | cat"};
         },
         std::strerror(EFBIG)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const e2e::RunResult result =
            play(BUNDLE + "/config.lua", 1500, {}, c.prepare(), true, {"--demo"});
        EXPECT_EQ(0, result.exitCode) << result.output;
        EXPECT_TRUE(contains(result.output, " won ")) << result.output;
        for (const char* file : {"settings.lua", "bi_data.lua"}) {
            EXPECT_TRUE(contains(result.output, saves() + "/" + file + ": ")) << file;
        }
        EXPECT_TRUE(contains(result.output, c.reason)) << result.output;
        EXPECT_EQ(readFile(saves() + "/settings.lua"), firstSettings);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(saves())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names,
                  (std::vector<std::string>{"bi_data.lua", "settings.lua", "tessel.registry"}));
        chmod(saves().c_str(), 0700);
    }
}

// Saves never go into the bundle, which may be read-only and is replaced
// whole by an update: they fail, each with a warning.
TEST_F(EndToEndFaults, AnUnusableDataFolderKeepsSavesOutOfTheBundle) {
    const e2e::BundleCopy bundle(BUNDLE, root_ + "/bundle");
    struct Case {
        const char* what;
        std::function<std::vector<std::string>()> prepare;  // returns a wrapper
        std::string reason;
    };
    const Case cases[] = {
        {"a file in the data folder's place",
         [&] {
             fs::create_directories(root_ + "/data/Quillfire");
             std::ofstream(saves()) << "not a folder";
             return std::vector<std::string>{};
         },
         "a file is in its place"},
        {"a data home that cannot be written",
         [&] {
             fs::remove_all(root_ + "/data/Quillfire");
             chmod((root_ + "/data").c_str(), 0555);
             if (geteuid() != 0) {
                 return std::vector<std::string>{};
             }
             // Not the bundle copy: its links lead to the build's own files.
             EXPECT_EQ(0, system(("chown 65534:65534 '" + root_ + "' && chown -R 65534:65534 '" +
                                  root_ + "/data' '" + root_ + "/run'")
                                     .c_str()));
             return std::vector<std::string>{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups"};
         },
         std::strerror(EACCES)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const e2e::RunResult result = play(bundle.config(), 20, {}, c.prepare());
        EXPECT_EQ(0, result.exitCode) << result.output;
        EXPECT_TRUE(
            contains(result.output, "Cannot use the data folder " + saves() + ": " + c.reason))
            << result.output;
        EXPECT_TRUE(contains(result.output, saves() + "/settings.lua: ")) << result.output;
        for (const auto& entry : fs::recursive_directory_iterator(bundle.folder())) {
            EXPECT_TRUE(entry.is_symlink() || entry.is_directory()) << entry.path();
        }
    }
    chmod((root_ + "/data").c_str(), 0700);
}

// Start-up faults stop the game with exit status 1 and one message that names
// the file (or the key) and the problem.
TEST_F(EndToEndFaults, BrokenFilesStopTheGameWithTheFileNamed) {
    const e2e::BundleCopy bundle(BUNDLE, root_ + "/bundle");
    const std::string logic = bundle.original("scripts/gamelogic.lua");
    const std::string config = bundle.original("config.lua");
    std::string flipped = logic;
    for (size_t i = flipped.size() / 3; i < flipped.size() / 3 + 16; ++i) {
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5a);
    }
    // The real game logic, then a change made to fail.
    auto faulty = [&](const std::string& code) {
        bundle.put("config.lua", config + "\ncommonScriptPath = \"faulty\"\n");
        fs::create_directories(bundle.folder() + "/faulty");
        bundle.put("faulty/gamelogic.lua", sealed("commonScriptPath = \"scripts\"\n"
                                                  "loadLuaFile(\"scripts/gamelogic.lua\", \"\")\n" +
                                                      code,
                                                  "gamelogic.lua"));
    };
    const std::string logicPath = bundle.folder() + "/scripts/gamelogic.lua";
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> said;  // in this order
    };
    const Case cases[] = {
        {"missing game logic",
         [&] { bundle.remove("scripts/gamelogic.lua"); },
         {"The game logic did not load: ", logicPath, "No such file", "createStartUpAssets"}},
        {"truncated game logic",
         [&] { bundle.put("scripts/gamelogic.lua", logic.substr(0, logic.size() / 2)); },
         {logicPath + ": Failed to decrypt input data"}},
        {"corrupted game logic",
         [&] { bundle.put("scripts/gamelogic.lua", flipped); },
         {logicPath + ": "}},
        {"config syntax error",
         [&] { bundle.put("config.lua", "width = = 3\n"); },
         {"config.lua", "'='"}},
        {"config width 0",
         [&] { bundle.put("config.lua", config + "\nwidth = 0\n"); },
         {"config.lua: width is 0, but must be from 1 to 16384"}},
        {"config renderer of the wrong type",
         [&] { bundle.put("config.lua", config + "\nrenderer = 2\n"); },
         {"config.lua: renderer must be a list of renderer names, not a number"}},
        {"missing renderer plug-in",
         [&] {
             fs::create_directories(root_ + "/plugins");
             bundle.put("config.lua", config + "\ndllPath = \"" + root_ + "/plugins\"\n");
         },
         {"not supported! ", root_ + "/plugins/grgl2.so", "No such file"}},
        {"renderer that is no plug-in",
         [&] {
             fs::create_directories(root_ + "/plugins");
             std::ofstream(root_ + "/plugins/grgl2.so") << "not a library";
             bundle.put("config.lua", config + "\ndllPath = \"" + root_ + "/plugins\"\n");
         },
         {"not supported! ", root_ + "/plugins/grgl2.so", root_ + "/plugins/grgl2.so: "}},
        {"a table thrown in a hook",
         [&] { faulty("function update() error({}) end\n"); },
         {"(error object is a table value)", "Call stack", "faulty/gamelogic.lua"}},
        {"a native given the wrong type",
         [&] { faulty("function update() saveLuaFile({}, 'settings', true) end\n"); },
         {"Call stack", "faulty/gamelogic.lua"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        const e2e::RunResult result = play(bundle.config(), 10);
        EXPECT_EQ(1, result.exitCode) << result.output;
        size_t at = result.output.find("Error!: ");
        ASSERT_NE(at, std::string::npos) << result.output;
        for (const std::string& part : c.said) {
            at = result.output.find(part, at);
            ASSERT_NE(at, std::string::npos) << part << " in:\n" << result.output;
        }
        // Put the bundle back for the next case.
        bundle.put("config.lua", config);
        bundle.remove("scripts/gamelogic.lua");
        fs::create_symlink(BUNDLE + "/scripts/gamelogic.lua", logicPath);
    }
}

// Neither sound nor the network is needed to play.
TEST_F(EndToEndFaults, NoSoundDeviceAndNoNetworkOnlyWarn) {
    const e2e::RunResult noSound =
        play(BUNDLE + "/config.lua", 20,
             {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "nosuchdevice"}}, {}, false);
    EXPECT_EQ(0, noSound.exitCode) << noSound.output;
    EXPECT_TRUE(contains(noSound.output, "Cannot open the audio driver \"nosuchdevice\""))
        << noSound.output;
    // Nothing listens on the discard port.
    const e2e::RunResult noNetwork =
        play(BUNDLE + "/config.lua", 60, {{"QUILLFIRE_CLOUD_URL", "http://127.0.0.1:9/"}});
    EXPECT_EQ(0, noNetwork.exitCode) << noNetwork.output;
}

}  // namespace
