#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "io/BasicFileSystem.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"

using io::FileEntry;

namespace {

// Listing results as sorted "path:kind" strings; the system's order is free.
std::vector<std::string> listed(const std::string& base, const std::string& pattern, int flags,
                                bool recursive) {
    std::vector<std::string> out;
    for (const FileEntry& e : io::list(base, pattern, flags, recursive)) {
        out.push_back(e.path + ":" + std::to_string(e.kind));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// data/ holds levels/a/{x.lua,y.txt}, levels/b/{z.lua, deep/w.lua}, levels/top.lua,
// readme and .hidden.
class ListTest : public testing::Test {
protected:
    void SetUp() override {
        dir.write("data/levels/a/x.lua", "");
        dir.write("data/levels/a/y.txt", "");
        dir.write("data/levels/b/z.lua", "");
        dir.write("data/levels/b/deep/w.lua", "");
        dir.write("data/levels/top.lua", "");
        dir.write("data/readme", "");
        dir.write("data/.hidden", "");
        base = dir / "data";
    }

    TempDir dir;
    std::string base;
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(ListTest, MatchesWildcardsInFoldersAndNames) {
    EXPECT_EQ((V{"levels/a/x.lua:1", "levels/b/z.lua:1"}),
              listed(base, "levels/*/*.lua", 1, false));
    EXPECT_EQ((V{".hidden:1", "levels:2", "readme:1"}), listed(base, "", 3, false));
    EXPECT_EQ((V{".hidden:1", "levels:2", "readme:1"}), listed(base, "*.*", 3, false));
    EXPECT_EQ((V{"levels:2"}), listed(base, "", 2, false));
    EXPECT_EQ((V{"levels/a:2", "levels/b:2", "levels/top.lua:1"}),
              listed(base, "levels/", 3, false));
    EXPECT_EQ((V{"levels/b/deep/w.lua:1"}), listed(base, "levels/b/deep/w.lua", 1, false));
    EXPECT_EQ((V{"levels/a/x.lua:1"}), listed(base, "//levels//a/?.lua", 1, false));
    EXPECT_EQ((V{}), listed(base, "levels/missing/*.lua", 3, false));
    EXPECT_EQ((V{}), listed(base, "levels/top.lua/", 3, false));
}

TEST_F(ListTest, RecursesThroughEveryFolder) {
    EXPECT_EQ(
        (V{"levels/a/x.lua:1", "levels/b/deep/w.lua:1", "levels/b/z.lua:1", "levels/top.lua:1"}),
        listed(base, "*.lua", 1, true));
    EXPECT_EQ((V{"levels/a:2", "levels/b/deep:2", "levels/b:2", "levels:2"}),
              listed(base, "*", 2, true));
}

TEST_F(ListTest, RecursionDoesNotFollowLinkCycles) {
    std::filesystem::create_directory_symlink(base, dir / "data/levels/a/loop");
    V found = listed(base, "*.lua", 1, true);
    EXPECT_EQ(4u, found.size());
}

TEST_F(ListTest, RefusesWildcardsInTheBase) {
    try {
        io::list(dir / "da*", "", 3, false);
        FAIL() << "no exception";
    } catch (const io::IOException& e) {
        EXPECT_STREQ("base directory must not contain asterisks", e.what());
    }
}

TEST(BasicFileSystem, ExistsAndRemove) {
    TempDir dir;
    dir.write("tree/a/b/c.txt", "x");
    dir.write("tree/d.txt", "y");
    dir.write("single.txt", "z");
    EXPECT_TRUE(io::exists(dir / "tree/a/b/c.txt"));
    EXPECT_TRUE(io::exists(dir / "tree/a"));
    EXPECT_FALSE(io::exists(dir / "tree/none"));
    EXPECT_FALSE(io::exists(dir / "single.txt/below"));

    io::remove(dir / "single.txt");
    EXPECT_FALSE(io::exists(dir / "single.txt"));
    io::remove(dir / "tree");
    EXPECT_FALSE(io::exists(dir / "tree"));
    EXPECT_TRUE(io::exists(dir.str()));
    try {
        io::remove(dir / "tree");
        FAIL() << "no exception";
    } catch (const io::IOException& e) {
        EXPECT_EQ("Deleting " + dir / "tree" + " failed", std::string(e.what()));
    }
}

TEST(BasicFileSystem, RemoveDeletesLinksNotTheirTargets) {
    TempDir dir;
    dir.write("kept/file.txt", "keep me");
    dir.mkdir("doomed");
    std::filesystem::create_directory_symlink(dir / "kept", dir / "doomed/link");
    io::remove(dir / "doomed");
    EXPECT_EQ("keep me", dir.read("kept/file.txt"));
}

TEST(BasicFileSystem, ExistsInBundleUsesTheBundleRoot) {
    TempDir dir;
    dir.write("scripts/a.lua", "");
    std::string saved = io::bundleRoot();
    io::setBundleRoot(dir.str());
    EXPECT_TRUE(io::existsInBundle("scripts/a.lua"));
    EXPECT_TRUE(io::existsInBundle("/scripts/a.lua"));
    EXPECT_FALSE(io::existsInBundle("scripts/b.lua"));
    io::setBundleRoot(saved);
}

TEST(BasicFileSystem, FullPath) {
    TempDir dir;
    dir.write("f.txt", "");
    std::string real = std::filesystem::canonical(dir.str()).string();
    EXPECT_EQ(real + "/f.txt", io::fullPath(dir / "sub/../f.txt"));
    EXPECT_EQ(real + "/new/file", io::fullPath(real + "/new/./file"));
    std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(cwd + "/not-here-yet.txt", io::fullPath("not-here-yet.txt"));
    EXPECT_TRUE(io::isAbsolute(io::fullPath(".")));
}

TEST(BasicFileSystem, IsAbsolute) {
    const std::pair<const char*, bool> cases[] = {
        {"/x", true}, {"\\x", true},   {"C:/x", true}, {"z:", true}, {"x", false},
        {"", false},  {"1:/x", false}, {"./x", false}, {"C", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, io::isAbsolute(c.first)) << c.first;
    }
}

TEST(BasicFileSystem, FileTypeFromExtension) {
    const std::pair<const char*, int> cases[] = {
        {"photo.Jpeg", io::FILETYPE_JPG},
        {"archive", io::FILETYPE_UNKNOWN},
        {"x.webp", io::FILETYPE_WEBP},
        {"a/b.c/sheet.PNG", io::FILETYPE_PNG},
        {"s.tiff", io::FILETYPE_TIF},
        {"s.tif", io::FILETYPE_TIF},
        {"m.mp3", 13},
        {"bmp", io::FILETYPE_UNKNOWN},
        {"x.png.bak", io::FILETYPE_UNKNOWN},
        {"x.", io::FILETYPE_UNKNOWN},
        {"v.hgr", 14},
        {"w.wav", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, io::fileTypeFromExtension(c.first)) << c.first;
    }
}
