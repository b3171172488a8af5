#include "net/GetTimeStamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lua/LuaState.h"
#include "net/TimeStampAnswer.h"
#include "support/testserver/TestServer.h"

namespace {

using net::TimeStamp;

TEST(TimeStampAnswerTest, ReadsThePairsInAnyOrder) {
    struct Case {
        std::string answer;
        TimeStamp expected;
    } cases[] = {
        {"today,2013-04-05,seconds-to-next,3600", {2013, 4, 5, 3600}},
        {"seconds-to-next,3600,today,2013-04-05", {2013, 4, 5, 3600}},
        {"seconds-to-next,10", {0, 0, 0, 10}},
        {"x,today,1999-12-31,y,seconds-to-next,7,", {1999, 12, 31, 7}},
        {"today,2013-04-05\n", {2013, 4, 5, 0}},
        {"today", {0, 0, 0, 0}},
        {"seconds-to-next", {0, 0, 0, 0}},
        {"today,2013", {2013, 0, 0, 0}},
        {"today,2013-0", {2013, 0, 0, 0}},
        {"today,ab-cd-ef,seconds-to-next,zz", {0, 0, 0, 0}},
        {"TODAY,2013-04-05", {0, 0, 0, 0}},
        {"seconds-to-next,99999999999", {0, 0, 0, 2147483647}},
        {"seconds-to-next,-5", {0, 0, 0, -5}},
        {"", {0, 0, 0, 0}},
        {",,,", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        TimeStamp got = net::parseTimeStampAnswer(c.answer);
        EXPECT_EQ(c.expected.year, got.year) << c.answer;
        EXPECT_EQ(c.expected.month, got.month) << c.answer;
        EXPECT_EQ(c.expected.day, got.day) << c.answer;
        EXPECT_EQ(c.expected.secondsToNext, got.secondsToNext) << c.answer;
    }
}

TEST(TimeStampAnswerTest, ArbitraryBytesNeverFail) {
    std::string bytes;
    for (int i = 0; i < 2000; ++i) {
        bytes.push_back(static_cast<char>((i * 7919) % 256));
        if (i % 13 == 0) {
            bytes += ",today,";
        }
        net::parseTimeStampAnswer(bytes.data(), bytes.size());
    }
}

class GetTimeStampTest : public qftest::ServerTest {
protected:
    GetTimeStampTest() : state(new lua::LuaState) {}

    void run(const std::string& code) {
        state->runBuffer(code.data(), code.size(), "test", nullptr);
    }
    lua::LuaTable& globals() { return state->getGlobals(); }

    lang::Ptr<lua::LuaState> state;

    // Polls like a script does, once per "frame".
    static bool waitForResult(GetTimeStamp& stamp) {
        for (int i = 0; i < 500; ++i) {
            if (stamp.hasResult()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string timeUrl(const std::string& answer, int status = 200) {
        return url("/time?status=" + std::to_string(status) +
                   "&answer=" + qftest::urlEncode(answer));
    }
};

TEST_F(GetTimeStampTest, DeliversTheParsedAnswerOnce) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    stamp->fetchTimeStamp(timeUrl("today,2013-04-05,seconds-to-next,3600"), "");
    ASSERT_TRUE(waitForResult(*stamp));
    TimeStamp got = stamp->getTimeStamp();
    EXPECT_EQ(2013, got.year);
    EXPECT_EQ(4, got.month);
    EXPECT_EQ(5, got.day);
    EXPECT_EQ(3600, got.secondsToNext);
    // The result was taken: the worker is gone.
    EXPECT_FALSE(stamp->hasResult());
    EXPECT_THROW(stamp->getTimeStamp(), GetTimeStamp::NotYetStartedException);
}

TEST_F(GetTimeStampTest, GetWaitsForTheRunningDownload) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    stamp->fetchTimeStamp(timeUrl("seconds-to-next,10"), "");
    // Either the worker has not taken its lock yet or the answer is complete.
    try {
        EXPECT_EQ(10, stamp->getTimeStamp().secondsToNext);
    } catch (const GetTimeStamp::NotYetStartedException&) {
        ASSERT_TRUE(waitForResult(*stamp));
        EXPECT_EQ(10, stamp->getTimeStamp().secondsToNext);
    }
}

TEST_F(GetTimeStampTest, BeforeAnyFetchNothingHasStarted) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    EXPECT_FALSE(stamp->hasResult());
    try {
        stamp->getTimeStamp();
        FAIL() << "no exception";
    } catch (const GetTimeStamp::NotYetStartedException& e) {
        EXPECT_STREQ("Thread not started yet.", e.what());
    }
}

TEST_F(GetTimeStampTest, FailuresBecomeErrorCodes) {
    struct Case {
        std::string url;
        const char* message;
    } cases[] = {
        {timeUrl("today,2013-04-05", 404), "Error code -2"},
        {timeUrl("", 500), "Error code -2"},
        {"http://127.0.0.1:1/time?x=1", "Error code -2"},
    };
    for (const Case& c : cases) {
        lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
        stamp->fetchTimeStamp(c.url, "");
        ASSERT_TRUE(waitForResult(*stamp)) << c.url;
        try {
            stamp->getTimeStamp();
            ADD_FAILURE() << "no exception for " << c.url;
        } catch (const GetTimeStamp::BadReturnException& e) {
            EXPECT_STREQ(c.message, e.what());
        }
        // A failed result is released too.
        EXPECT_FALSE(stamp->hasResult());
    }
}

TEST_F(GetTimeStampTest, UserIdIsAppendedOnlyWhenGiven) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    stamp->fetchTimeStamp(url("/time?answer=x"), "");
    ASSERT_TRUE(waitForResult(*stamp));
    stamp->fetchTimeStamp(url("/time?answer=x"), "player-7");
    ASSERT_TRUE(waitForResult(*stamp));
    stamp->fetchTimeStamp(url("/time?answer=x"), "a&b c");
    ASSERT_TRUE(waitForResult(*stamp));
    std::vector<std::string> log = server().log();
    ASSERT_EQ(3u, log.size());
    EXPECT_NE(std::string::npos, log[0].find("\"path\": \"/time?answer=x\""));
    EXPECT_NE(std::string::npos, log[1].find("\"path\": \"/time?answer=x&uid=player-7\""));
    EXPECT_NE(std::string::npos, log[2].find("\"path\": \"/time?answer=x&uid=a%26b%20c\""));
}

TEST_F(GetTimeStampTest, SecondFetchDiscardsTheFirst) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    stamp->fetchTimeStamp(timeUrl("seconds-to-next,1"), "");
    stamp->fetchTimeStamp(timeUrl("seconds-to-next,2"), "");
    ASSERT_TRUE(waitForResult(*stamp));
    EXPECT_EQ(2, stamp->getTimeStamp().secondsToNext);
}

TEST_F(GetTimeStampTest, ScriptTableGivesResultsOrExceptionNames) {
    lang::Ptr<GetTimeStamp> stamp = new GetTimeStamp(*state);
    run("local t, e = GetTimeStamp.getTimeStamp(); early = e; earlyTable = t");
    EXPECT_EQ("NotYetStartedException", globals().getString("early"));
    EXPECT_TRUE(globals().isNil("earlyTable"));
    EXPECT_FALSE(stamp->hasResult());

    globals().set("good", timeUrl("today,2013-04-05,seconds-to-next,3600"));
    run("GetTimeStamp.fetchTimeStamp(good, '')");
    ASSERT_TRUE(waitForResult(*stamp));
    run("done = GetTimeStamp.hasResult(); local t = GetTimeStamp.getTimeStamp(); "
        "y, m, d, s = t.year, t.month, t.day, t.secondsToNext");
    EXPECT_TRUE(globals().getBoolean("done"));
    EXPECT_EQ(2013, globals().getNumber("y"));
    EXPECT_EQ(4, globals().getNumber("m"));
    EXPECT_EQ(5, globals().getNumber("d"));
    EXPECT_EQ(3600, globals().getNumber("s"));

    globals().set("bad", timeUrl("x", 404));
    run("GetTimeStamp.fetchTimeStamp(bad, 'u1')");
    ASSERT_TRUE(waitForResult(*stamp));
    run("local t, e = GetTimeStamp.getTimeStamp(); failed = e; failedTable = t");
    EXPECT_EQ("BadReturnException", globals().getString("failed"));
    EXPECT_TRUE(globals().isNil("failedTable"));
    stamp.reset();
}

}  // namespace
