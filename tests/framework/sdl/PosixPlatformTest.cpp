#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "framework/sdl/PosixPlatform.h"

namespace {

using framework::sdl::SingleInstance;

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + name + "." + std::to_string(getpid());
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds) {
    const std::string lock = tempPath("qf_lock");
    {
        SingleInstance first;
        ASSERT_TRUE(first.acquire(lock));
        SingleInstance second;
        EXPECT_FALSE(second.acquire(lock));
    }
    SingleInstance third;
    EXPECT_TRUE(third.acquire(lock));
}

TEST(SingleInstance, UnusableLockDoesNotStopTheStart) {
    SingleInstance instance;
    EXPECT_TRUE(instance.acquire("/nonexistent-folder/qf.lock"));
    SingleInstance::notifyHolder("/nonexistent-folder/qf.lock");  // nobody listens: nothing
}

TEST(SingleInstance, HolderHearsTheSecondInstance) {
    const std::string lock = tempPath("qf_raise");
    SingleInstance first;
    ASSERT_TRUE(first.acquire(lock));
    std::mutex mutex;
    std::condition_variable raised;
    int requests = 0;
    first.listen([&] {
        std::lock_guard<std::mutex> guard(mutex);
        ++requests;
        raised.notify_all();
    });
    SingleInstance::notifyHolder(lock);
    std::unique_lock<std::mutex> guard(mutex);
    EXPECT_TRUE(raised.wait_for(guard, std::chrono::seconds(10), [&] { return requests > 0; }));
}

TEST(Folders, MakeFoldersCreatesParents) {
    const std::string root = tempPath("qf_folders");
    EXPECT_TRUE(framework::sdl::makeFolders(root + "/Publisher/Product"));
    EXPECT_TRUE(framework::sdl::makeFolders(root + "/Publisher/Product"));  // already there
    EXPECT_FALSE(framework::sdl::makeFolders("/proc/qf-cannot-be-made/x"));
}

TEST(Folders, WorkingDirectoryAndExecutable) {
    const std::string before = framework::sdl::workingDirectory();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(framework::sdl::changeDirectory("/"));
    EXPECT_EQ("/", framework::sdl::workingDirectory());
    ASSERT_TRUE(framework::sdl::changeDirectory(before));
    EXPECT_FALSE(framework::sdl::changeDirectory("/nonexistent-folder"));
    const std::string exe = framework::sdl::executableFolder();
    EXPECT_EQ('/', exe.front());
}

}  // namespace
