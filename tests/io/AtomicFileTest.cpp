#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "io/AppDataOutputStream.h"
#include "io/AtomicFile.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "support/LogCapture.h"

namespace {

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const io::IOException& e) {
        return e.what();
    }
    return "(no exception)";
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The process id of a process that has ended.
pid_t endedProcess() {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(0);
    }
    waitpid(pid, nullptr, 0);
    return pid;
}

// Files may grow to `bytes` while it exists; beyond, writes fail with EFBIG
// instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_;
    void (*previous_)(int);
};

}  // namespace

TEST(AtomicFileTest, ReplacesTheWholeFileAndKeepsItsMode) {
    TempDir dir;
    const std::string target = dir / "settings.lua";
    io::replaceFile(target, "first", 5);
    EXPECT_EQ(dir.read("settings.lua"), "first");
    // A new save is the player's own.
    EXPECT_EQ(modeOf(target), 0600u);
    chmod(target.c_str(), 0640);
    io::replaceFile(target, "", 0);
    EXPECT_EQ(dir.read("settings.lua"), "");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(namesIn(dir.str()), std::vector<std::string>{"settings.lua"});
}

TEST(AtomicFileTest, FailedSavesNameTheFileAndTheErrorAndKeepTheOldFile) {
    TempDir dir;
    dir.write("data/settings.lua", "old");
    dir.write("plain", "a file, not a folder");
    dir.mkdir("data/folder.lua");
    const std::string big(4096, 'x');
    struct Case {
        const char* what;
        std::string target;
        int error;
        std::function<void()> save;
    };
    const Case cases[] = {
        {"no folder", dir / "missing/settings.lua", ENOENT, {}},
        {"a file where the folder is", dir / "plain/settings.lua", ENOTDIR, {}},
        {"a folder where the file is", dir / "data/folder.lua", EISDIR, {}},
        {"file size limit", dir / "data/settings.lua", EFBIG,
         [&] {
             FileSizeLimit limit(1024);
             io::replaceFile(dir / "data/settings.lua", big.data(), big.size());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message =
            failureOf(c.save ? c.save : [&] { io::replaceFile(c.target, big.data(), big.size()); });
        EXPECT_NE(message.find(c.target), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(c.error)), std::string::npos) << message;
        EXPECT_EQ(dir.read("data/settings.lua"), "old");
        EXPECT_EQ(namesIn(dir / "data"), (std::vector<std::string>{"folder.lua", "settings.lua"}));
    }
}

TEST(AtomicFileTest, ReadOnlyFolderFailsTheSave) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root; the end-to-end run covers it";
    }
    TempDir dir;
    dir.write("data/settings.lua", "old");
    chmod((dir / "data").c_str(), 0500);
    const std::string message =
        failureOf([&] { io::replaceFile(dir / "data/settings.lua", "new", 3); });
    chmod((dir / "data").c_str(), 0700);
    EXPECT_NE(message.find(dir / "data/settings.lua"), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(EACCES)), std::string::npos) << message;
    EXPECT_EQ(dir.read("data/settings.lua"), "old");
}

TEST(AtomicFileTest, TemporariesOfEndedWritersGoAndLiveOnesStay) {
    TempDir dir;
    const std::string ended = std::to_string(endedProcess());
    // Process 1 always runs.
    const std::vector<std::string> left = {
        "settings.lua.tmp",                       // from earlier versions
        "settings.lua.tmp." + ended + ".a1B2c3",  // its writer was killed
    };
    const std::vector<std::string> kept = {
        "settings.lua.tmp.1.Zz9Yy8",  // a writer still at work
        "settings.lua.tmpx",
        "settings.lua.tmp." + ended + ".short",
        "other.lua.tmp." + ended + ".a1B2c3",
    };
    for (const std::string& name : left) {
        dir.write(name, "");
    }
    for (const std::string& name : kept) {
        dir.write(name, "");
    }
    io::replaceFile(dir / "settings.lua", "new", 3);
    std::vector<std::string> expected = kept;
    expected.push_back("settings.lua");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir.str()), expected);
    for (const std::string& name : left) {
        EXPECT_TRUE(io::isTemporaryOf(name, "settings.lua")) << name;
    }
    EXPECT_FALSE(io::isTemporaryOf("settings.lua.tmpx", "settings.lua"));
}

TEST(AtomicFileTest, TwoWritersOfOneFileDoNotMeet) {
    TempDir dir;
    std::string saved = io::appDataRoot();
    io::setAppDataRoot(dir.str() + "/");
    qftest::LogCapture log;
    {
        lang::Ptr<io::AppDataOutputStream> first = new io::AppDataOutputStream("highscores.lua");
        lang::Ptr<io::AppDataOutputStream> second = new io::AppDataOutputStream("highscores.lua");
        first->write("first writer", 12);
        second->write("second", 6);
        first->close();
        EXPECT_EQ(dir.read("highscores.lua"), "first writer");
    }
    io::setAppDataRoot(saved);
    EXPECT_EQ(dir.read("highscores.lua"), "second");
    EXPECT_TRUE(log.records().empty());
    EXPECT_EQ(namesIn(dir.str()), std::vector<std::string>{"highscores.lua"});
}
