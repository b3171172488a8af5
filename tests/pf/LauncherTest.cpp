#include "pf/Launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Puts a stand-in xdg-open first in PATH that records its arguments.
class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qf_launcher_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(dir_);
        record_ = dir_ / "opened.txt";
        fs::path opener = dir_ / "xdg-open";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '"
                              << record_.string() << "'\n";
        fs::permissions(opener, fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        ::setenv("PATH", (dir_.string() + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // The opener runs detached: wait for its record.
    std::string waitForRecord() {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(record_);
            std::string line;
            if (std::getline(in, line)) {
                return line;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

    fs::path dir_;
    fs::path record_;
    std::string savedPath_;
};

TEST_F(LauncherTest, PassesTheUrlAsOneArgumentWithoutAShell) {
    std::string url = "https://example.invalid/a b?x=1&y=$(echo no)";
    EXPECT_TRUE(pf::Launcher().openURL(url));
    EXPECT_EQ("1|" + url, waitForRecord());
}

TEST_F(LauncherTest, OptionLikeUrlsAreNotPassedOn) {
    EXPECT_TRUE(pf::Launcher().openURL("--help"));
    EXPECT_TRUE(pf::Launcher().openURL(""));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(record_));
}

}  // namespace
