#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <future>
#include <stdexcept>
#include <string>

#include "lang/Exception.h"
#include "lang/Mutex.h"
#include "lang/Ptr.h"
#include "lang/System.h"
#include "lang/Thread.h"
#include "lang/VisualStudioLogger.h"

namespace {

using lang::Ptr;
using lang::Thread;

struct Worker {
    std::atomic<int> runs{0};
    std::string lastArgument;
    void run() { ++runs; }
    void runWith(const std::string& argument) {
        lastArgument = argument;
        ++runs;
    }
};

TEST(Thread, JoinedThreadRunsItsFunctionOnce) {
    Worker worker;
    { Ptr<Thread> thread = new Thread(lang::Func1<Worker>(&Worker::run, &worker), true); }
    EXPECT_EQ(worker.runs, 1);
    {
        Ptr<Thread> thread = new Thread(
            lang::Func2<Worker, std::string>(&Worker::runWith, &worker, "payload"), true);
    }
    EXPECT_EQ(worker.runs, 2);
    EXPECT_EQ(worker.lastArgument, "payload");
}

// The thread has its own copy of the function: the caller's may go at once, and
// a detached thread runs on after its object is gone.
TEST(Thread, DetachedThreadOutlivesItsObject) {
    std::promise<void> release;
    std::shared_future<void> go = release.get_future().share();
    std::promise<std::string> result;
    {
        std::string text = "still here";
        lang::FuncFunction function([go, &result, text] {
            go.wait();
            result.set_value(text);
        });
        Ptr<Thread> thread = new Thread(function, false);
    }
    release.set_value();
    EXPECT_EQ(result.get_future().get(), "still here");
}

TEST(Thread, InterruptedFunctionEndsQuietly) {
    testing::internal::CaptureStderr();
    {
        framework::VisualStudioLogger logger;
        lang::FuncFunction function([] { throw lang::ThreadInterruptedException(); });
        Ptr<Thread> thread = new Thread(function, true);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

void runThrowingThread() {
    framework::VisualStudioLogger logger;
    lang::FuncFunction function([] { throw std::runtime_error("worker broke"); });
    Ptr<Thread> thread = new Thread(function, true);
}

void runThrowingIntThread() {
    framework::VisualStudioLogger logger;
    lang::FuncFunction function([] { throw 42; });
    Ptr<Thread> thread = new Thread(function, true);
}

TEST(ThreadDeathTest, EscapingExceptionEndsTheProcessAfterALogRecord) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(runThrowingThread(),
                 "\\[ERROR\\]: Unhandled exception, terminating. Exception message: worker broke");
    EXPECT_DEATH(runThrowingIntThread(), "\\[ERROR\\]: Unhandled exception, terminating\n");
}

TEST(Thread, PriorityIsBestEffort) {
    std::promise<void> release;
    std::shared_future<void> go = release.get_future().share();
    Ptr<Thread> thread = new Thread(lang::FuncFunction([go] { go.wait(); }), true);
    int normal = thread->getPriority();
    thread->setPriority(normal + 1);  // may be refused without privileges
    int raised = thread->getPriority();
    EXPECT_TRUE(raised == normal || raised == normal + 1);
    thread->setPriority(normal - 1);
    EXPECT_EQ(thread->getPriority(), normal - 1);
    release.set_value();
}

TEST(Mutex, IsReentrantAndExcludesOtherThreads) {
    lang::Mutex mutex;
    mutex.lock();
    EXPECT_TRUE(mutex.tryLock());
    auto tryFromOtherThread = [&mutex] {
        return std::async(std::launch::async,
                          [&mutex] {
                              bool taken = mutex.tryLock();
                              if (taken) {
                                  mutex.unlock();
                              }
                              return taken;
                          })
            .get();
    };
    EXPECT_FALSE(tryFromOtherThread());
    mutex.unlock();
    EXPECT_FALSE(tryFromOtherThread());  // still held once
    mutex.unlock();
    EXPECT_TRUE(tryFromOtherThread());
}

TEST(Mutex, CopiesShareTheLock) {
    lang::Mutex mutex;
    lang::Mutex copy = mutex;
    lang::MutexLock guard(mutex);
    bool taken = std::async(std::launch::async, [&copy] {
                     bool ok = copy.tryLock();
                     if (ok) {
                         copy.unlock();
                     }
                     return ok;
                 }).get();
    EXPECT_FALSE(taken);
}

TEST(Mutex, GuardsACounter) {
    lang::Mutex mutex;
    int counter = 0;
    auto add = [&] {
        for (int k = 0; k < 10000; ++k) {
            lang::MutexLock outer(mutex);
            lang::MutexLock inner(mutex);
            ++counter;
        }
    };
    {
        Ptr<Thread> a = new Thread(lang::FuncFunction(add), true);
        Ptr<Thread> b = new Thread(lang::FuncFunction(add), true);
    }
    EXPECT_EQ(counter, 20000);
}

TEST(System, ClocksAgree) {
    int64_t millis0 = lang::System::currentTimeMillis();
    int64_t micros0 = lang::System::currentTimeMicros();
    Thread::sleep(30);
    int64_t micros1 = lang::System::currentTimeMicros();
    int64_t millis1 = lang::System::currentTimeMillis();
    EXPECT_GE(millis1 - millis0, 30);
    EXPECT_GE(micros1 - micros0, 30000);
    // Each millisecond step is about a thousand microseconds.
    EXPECT_NEAR(static_cast<double>(micros1 - micros0) / 1000.0,
                static_cast<double>(millis1 - millis0), 2.0);
}

TEST(System, WallClockIsAnchoredToTheCalendar) {
    int64_t wall = lang::System::wallClockMillis();
    int64_t calendar = static_cast<int64_t>(std::time(nullptr)) * 1000;
    EXPECT_NEAR(static_cast<double>(wall), static_cast<double>(calendar), 2000.0);
    EXPECT_GE(lang::System::wallClockMillis(), wall);
}

}  // namespace
