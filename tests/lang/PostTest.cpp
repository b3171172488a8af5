#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lang/Event.h"
#include "lang/Thread.h"

namespace {

// The queue is process-wide: every test starts and ends with it drained.
class PostedCalls : public testing::Test {
protected:
    void SetUp() override { drain(); }
    void TearDown() override { drain(); }
    static void drain() {
        for (int k = 0; k < 3; ++k) {
            try {
                lang::event::update(1e9f);
            } catch (...) {
            }
        }
    }
    std::function<void()> record(const std::string& name) {
        return [this, name] { calls.push_back(name); };
    }
    std::vector<std::string> calls;
};

TEST_F(PostedCalls, DueCallsRunOnceInPostingOrder) {
    lang::event::post(0, record("a"));
    lang::event::post(0, record("b"));
    EXPECT_TRUE(calls.empty());  // nothing runs before the next update
    lang::event::update(0.016f);
    lang::event::update(0.016f);
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "b"}));
}

TEST_F(PostedCalls, DelayedCallRunsWhenFrameTimesReachTheDelay) {
    lang::event::post(0.25f, record("late"));
    lang::event::update(0.1f);
    lang::event::update(0.1f);
    EXPECT_TRUE(calls.empty());
    lang::event::update(0.1f);
    EXPECT_EQ(calls, std::vector<std::string>{"late"});
}

TEST_F(PostedCalls, CallPostedFromAPostedCallWaitsForTheNextUpdate) {
    lang::event::post(0, [this] {
        calls.push_back("outer");
        lang::event::post(0, record("inner"));
    });
    lang::event::update(0.01f);
    EXPECT_EQ(calls, std::vector<std::string>{"outer"});
    lang::event::update(0.01f);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(PostedCalls, ThrowingCallDoesNotRepeatEarlierOnes) {
    lang::event::post(0, record("a"));
    lang::event::post(0, [] { throw std::runtime_error("posted call failed"); });
    lang::event::post(0, record("c"));
    EXPECT_THROW(lang::event::update(0.01f), std::runtime_error);
    EXPECT_EQ(calls, std::vector<std::string>{"a"});
    lang::event::post(0, record("d"));
    lang::event::update(0.01f);
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "c", "d"}));
    lang::event::update(0.01f);
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(PostedCalls, MainThreadCallRunsOnlyDuringUpdate) {
    lang::event::emit(lang::event::mainThreadCall, record("outside"));
    EXPECT_TRUE(calls.empty());
    std::function<void()> result = record("result");
    lang::event::post(0, [result] { lang::event::emit(lang::event::mainThreadCall, result); });
    lang::event::update(0.01f);
    EXPECT_EQ(calls, std::vector<std::string>{"result"});
    lang::event::emit(lang::event::mainThreadCall, record("after"));
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(PostedCalls, OtherThreadsMayPost) {
    int ran = 0;
    {
        lang::FuncFunction poster([&ran] {
            for (int k = 0; k < 100; ++k) {
                lang::event::post(0, [&ran] { ++ran; });
            }
        });
        lang::Ptr<lang::Thread> thread = new lang::Thread(poster, true);
    }
    lang::event::update(0.01f);
    EXPECT_EQ(ran, 100);
}

}  // namespace
