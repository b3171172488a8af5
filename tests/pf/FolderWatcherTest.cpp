// The source watcher over real folders: what editors do to a file comes out as
// that file's path, once, after the quiet time; folders made later are watched.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "io/TempDir.h"
#include "pf/FolderWatcher.h"

namespace {

const int64_t QUIET = 200;

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct EditCase {
    const char* name;
    const char* changed;  // relative to the root
    std::function<void(const TempDir& root)> edit;
};

class FolderWatcherTest : public ::testing::Test {
protected:
    void SetUp() override { makeSources(); }
    void makeSources() const {
        root.write("scripts/a.lua", "a = 1\n");
        root.write("scripts/ui/b.lua", "b = 1\n");
    }
    std::vector<std::string> roots() const { return {root / "scripts", root / "missing"}; }

    TempDir root;
};

TEST_F(FolderWatcherTest, EachEditorActionGivesTheFileOnceAfterTheQuietTime) {
    const EditCase cases[] = {
        {"write in place", "scripts/a.lua",
         [](const TempDir& r) { writeFile(r / "scripts/a.lua", "a = 2\n"); }},
        {"write in a subfolder", "scripts/ui/b.lua",
         [](const TempDir& r) { writeFile(r / "scripts/ui/b.lua", "b = 2\n"); }},
        {"rename over", "scripts/a.lua",
         [](const TempDir& r) {
             writeFile(r / "scripts/.a.lua.swp", "a = 3\n");
             std::filesystem::rename(r / "scripts/.a.lua.swp", r / "scripts/a.lua");
         }},
        {"new file", "scripts/c.lua",
         [](const TempDir& r) { writeFile(r / "scripts/c.lua", "c = 1\n"); }},
        {"new file in a new folder", "scripts/play/d.lua",
         [](const TempDir& r) {
             std::filesystem::create_directory(r / "scripts/play");
             writeFile(r / "scripts/play/d.lua", "d = 1\n");
         }},
        {"removed file", "scripts/ui/b.lua",
         [](const TempDir& r) { std::filesystem::remove(r / "scripts/ui/b.lua"); }},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeSources();
        pf::FolderWatcher watcher(roots(), QUIET);
        EXPECT_TRUE(watcher.poll(0).empty());
        c.edit(root);
        EXPECT_TRUE(watcher.poll(1000).empty()) << "a batch before the quiet time";
        const std::vector<std::string> batch = watcher.poll(1000 + QUIET);
        EXPECT_NE(std::find(batch.begin(), batch.end(), root / c.changed), batch.end())
            << ::testing::PrintToString(batch);
        EXPECT_TRUE(watcher.poll(5000).empty()) << "the same change came twice";
        std::filesystem::remove_all(root.str() + "/scripts");
    }
}

TEST_F(FolderWatcherTest, ABurstOfWritesIsOneBatch) {
    pf::FolderWatcher watcher(roots(), QUIET);
    // Each change within the quiet time of the one before holds the batch back.
    writeFile(root / "scripts/a.lua", "a = 2\n");
    EXPECT_TRUE(watcher.poll(0).empty());
    writeFile(root / "scripts/ui/b.lua", "b = 2\n");
    EXPECT_TRUE(watcher.poll(150).empty());
    writeFile(root / "scripts/a.lua", "a = 3\n");
    EXPECT_TRUE(watcher.poll(300).empty());
    EXPECT_TRUE(watcher.poll(300 + QUIET - 1).empty());
    const std::vector<std::string> batch = watcher.poll(300 + QUIET);
    EXPECT_EQ(batch, (std::vector<std::string>{root / "scripts/a.lua", root / "scripts/ui/b.lua"}));
    EXPECT_TRUE(watcher.poll(10000).empty());
}

TEST_F(FolderWatcherTest, NothingChangedIsNoBatch) {
    pf::FolderWatcher watcher(roots(), QUIET);
    {
        std::ifstream read(root / "scripts/a.lua");  // reading is no change
        std::string text;
        read >> text;
    }
    EXPECT_TRUE(watcher.poll(0).empty());
    EXPECT_TRUE(watcher.poll(10000).empty());
}

TEST_F(FolderWatcherTest, FilesOutsideTheRootsAreNotReported) {
    root.write("levels/m01.lua", "x = 1\n");
    pf::FolderWatcher watcher(roots(), QUIET);
    writeFile(root / "levels/m01.lua", "x = 2\n");
    watcher.poll(0);
    EXPECT_TRUE(watcher.poll(10000).empty());
}

}  // namespace
