#include <gtest/gtest.h>

#include "io/IOException.h"
#include "io/PathName.h"

using io::PathName;

namespace {

struct PathCase {
    const char* dir;  // null: the one-argument form
    const char* path;
    const char* whole;
    const char* drive;
    const char* directory;
    const char* base;
    const char* ext;
};

}  // namespace

TEST(PathName, NormalisesAndSplits) {
    const PathCase cases[] = {
        {nullptr, "a\\b/../c/./d.txt", "a/c/d.txt", "", "a/c/", "d", ".txt"},
        {nullptr, "c:/x", "C:/x", "C:", "/", "x", ""},
        {nullptr, "D:\\games\\save.lua", "D:/games/save.lua", "D:", "/games/", "save", ".lua"},
        {nullptr, "../a", "../a", "", "../", "a", ""},
        {nullptr, "../a/../b", "../a/../b", "", "../a/../", "b", ""},
        {nullptr, "a/../../b", "../b", "", "../", "b", ""},
        {nullptr, "a/b/..", "a/b/..", "", "a/b/", ".", "."},
        {nullptr, "./a/./b", "a/b", "", "a/", "b", ""},
        {nullptr, "/x/../y", "/y", "", "/", "y", ""},
        {nullptr, "/../etc/f", "/etc/f", "", "/etc/", "f", ""},
        {nullptr, "dir/", "dir/", "", "dir/", "", ""},
        {nullptr, "f.tar.gz", "f.tar.gz", "", "", "f.tar", ".gz"},
        {nullptr, ".hidden", ".hidden", "", "", "", ".hidden"},
        {nullptr, "a../b", "a../b", "", "a../", "b", ""},
        {nullptr, "", "", "", "", "", ""},
        // A colon is an ordinary character unless it follows a drive letter.
        {nullptr, "saves/slot:1.dat", "saves/slot:1.dat", "", "saves/", "slot:1", ".dat"},
        {nullptr, "notes:1", "notes:1", "", "", "notes:1", ""},
        {"root/", "/x", "root/x", "", "root/", "x", ""},
        {"root", "x", "root/x", "", "root/", "x", ""},
        {"root\\", "\\x", "root/x", "", "root/", "x", ""},
        {"", "/x", "/x", "", "/", "x", ""},
        {"root", "", "root/", "", "root/", "", ""},
        {"/data/levels/", "../scripts/a.lua", "/data/scripts/a.lua", "", "/data/scripts/", "a",
         ".lua"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.dir ? c.dir : "-") << " + " << c.path);
        PathName p = c.dir ? PathName(c.dir, c.path) : PathName(c.path);
        EXPECT_EQ(c.whole, p.toString());
        EXPECT_EQ(c.drive, p.getDrive());
        EXPECT_EQ(c.directory, p.getDirectory());
        EXPECT_EQ(c.base, p.getBaseName());
        EXPECT_EQ(c.ext, p.getExtension());
        EXPECT_EQ(std::string(c.base) + c.ext, p.getFileName());
    }
}

TEST(PathName, ParentDropsTheLastSegment) {
    const char* cases[][2] = {
        {"a/b/c.txt", "a/b"}, {"a/b/", "a"}, {"a", ""}, {"/x", "/"}, {"C:/x/y", "C:/x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c[1], PathName(c[0]).getParent().toString()) << c[0];
    }
}

TEST(PathName, RefusesPathsBeyondTheBuffer) {
    // Every part is kept with a terminator: a 339-byte path needs 683 bytes,
    // a 600-byte file name 1205.
    std::string fits = std::string(335, 'd') + "/f.x";
    EXPECT_EQ(fits, PathName(fits).toString());
    std::string name(600, 'n');
    try {
        PathName p(name);
        FAIL() << "no exception";
    } catch (const io::IOException& e) {
        EXPECT_EQ("Path name buffer overflow, 1205 bytes. Initial path name was \"" + name + "\".",
                  std::string(e.what()));
    }
}
