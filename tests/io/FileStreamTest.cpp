#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "io/AppDataInputStream.h"
#include "io/AppDataOutputStream.h"
#include "io/FileInputStream.h"
#include "io/FileOutputStream.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "support/LogCapture.h"

using io::IOException;

namespace {

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const IOException& e) {
        return e.what();
    }
    return "(no exception)";
}

class FileStreamTest : public testing::Test {
protected:
    void SetUp() override {
        savedRoot_ = io::appDataRoot();
        io::setAppDataRoot(dir.str());
    }
    void TearDown() override { io::setAppDataRoot(savedRoot_); }

    TempDir dir;

private:
    std::string savedRoot_;
};

}  // namespace

TEST_F(FileStreamTest, WritesAndReadsBack) {
    {
        lang::Ptr<io::OutputStream> out = new io::FileOutputStream(dir / "a.bin");
        EXPECT_EQ(5, out->write("hello", 5));
        EXPECT_EQ(dir / "a.bin", out->getName());
    }
    io::FileInputStream in(dir / "a.bin");
    EXPECT_EQ(5, in.available());
    in.skip(1);
    EXPECT_EQ(4, in.available());
    char buf[8];
    EXPECT_EQ(2, in.read(buf, 2));
    EXPECT_EQ("el", std::string(buf, 2));
    EXPECT_TRUE(in.seek(-1, 2));
    EXPECT_EQ("o", io::readAllAsString(in));
    EXPECT_TRUE(in.seek(0, 0));
    EXPECT_EQ("hello", io::readAllAsString(in));
    EXPECT_FALSE(in.seek(-10, 1));
}

TEST_F(FileStreamTest, NameIsTheNormalisedPath) {
    dir.write("sub/f.txt", "x");
    io::FileInputStream in(dir.str() + "/sub/../sub/./f.txt");
    EXPECT_EQ(dir / "sub/f.txt", in.getName());
}

TEST_F(FileStreamTest, OpenFailuresNameThePathAndErrno) {
    std::string missing = dir / "missing.txt";
    EXPECT_EQ("Failed to open " + missing + " with errno 2 (" + std::strerror(ENOENT) + ")",
              messageOf([&] { io::FileInputStream in(missing); }));
    // Refused from the name alone, even where such a folder exists.
    dir.mkdir("folder");
    EXPECT_EQ("Failed to open " + dir / "folder/" + " with errno 22",
              messageOf([&] { io::FileInputStream in(dir / "folder/"); }));
    EXPECT_EQ("Failed to open nowhere/ with errno 22",
              messageOf([&] { io::FileInputStream in("nowhere\\"); }));
    // A folder named without the slash is no file either.
    EXPECT_NE(std::string::npos,
              messageOf([&] { io::FileInputStream in(dir / "folder"); }).find("with errno 21"));
    std::string unwritable = dir / "no/such/dir/f";
    EXPECT_EQ("Failed to open " + unwritable + " for writing with errno 2 (" +
                  std::strerror(ENOENT) + ")",
              messageOf([&] { io::FileOutputStream out(unwritable); }));
}

TEST_F(FileStreamTest, AppDataPathsAreBelowTheRoot) {
    dir.write("save/s.lua", "data");
    io::AppDataInputStream in("/save/s.lua");
    EXPECT_EQ(dir / "save/s.lua", in.getName());
    EXPECT_EQ("data", io::readAllAsString(in));
}

TEST_F(FileStreamTest, AppDataFileKeepsOldContentUntilTheNewStreamIsGone) {
    dir.write("settings.lua", "old");
    {
        lang::Ptr<io::OutputStream> out = new io::AppDataOutputStream("settings.lua");
        out->write("new content", 11);
        EXPECT_EQ("old", dir.read("settings.lua"));
        EXPECT_EQ(dir / "settings.lua", out->getName());
    }
    EXPECT_EQ("new content", dir.read("settings.lua"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.str()),
                               std::filesystem::directory_iterator()));
}

TEST_F(FileStreamTest, AppDataSaveFailureNamesTheTarget) {
    std::string target = dir / "absent/x.lua";
    io::AppDataOutputStream out("absent/x.lua");
    out.write("x", 1);
    EXPECT_NE(std::string::npos, messageOf([&] { out.close(); }).find(target));
    EXPECT_THROW(out.write("y", 1), IOException);
}

TEST_F(FileStreamTest, FailedAppDataSaveAtTheLastReferenceIsLogged) {
    dir.write("highscores.lua", "old");
    dir.write("plain", "");
    qftest::LogCapture log;
    {
        io::AppDataOutputStream out("plain/highscores.lua");
        out.write("new", 3);
    }
    EXPECT_EQ("old", dir.read("highscores.lua"));
    EXPECT_EQ(1u, log.messages(lang::log::WARNING).size());
    EXPECT_TRUE(log.contains(dir / "plain/highscores.lua"));
}
