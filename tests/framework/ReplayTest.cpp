// Recording and replaying sessions: what a recording keeps, and how a replay
// finds the first frame and object that part from it, or refuses a recording
// it cannot honestly play.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Replay.h"
#include "lang/Exception.h"

using framework::InputEvent;
using framework::ReplaySession;
using framework::StateDigest;

namespace {

StateDigest digestOf(const std::map<std::string, uint64_t>& objects) {
    StateDigest digest;
    digest.objects = objects;
    digest.seal();
    return digest;
}

// A short scripted session: three frames, the second with input, a block
// that falls and a bird that appears in the third.
struct Session {
    std::vector<float> dts = {0.0166f, 0.02f, 1.0f / 3.0f};
    std::vector<std::vector<InputEvent>> inputs = {
        {{InputEvent::ACTIVE, 1}, {InputEvent::MOVE, 320, 240}},
        {{InputEvent::KEY, 57, 1}, {InputEvent::TOUCH_BEGAN, 7, -3, 5}, {InputEvent::TEXT, 0xe9}},
        {{InputEvent::WHEEL, -2}, {InputEvent::KEY_RELEASE, 57}},
    };
    std::vector<std::map<std::string, uint64_t>> states = {
        {{"block 1", 10}, {"ground", 1}},
        {{"block 1", 11}, {"ground", 1}},
        {{"bird", 5}, {"block 1", 12}, {"ground", 1}},
    };
};

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = ::testing::TempDir() + "qf_replay_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path = base_ + ".replay";
        settings.contentId = "c0ffee";
        settings.width = 640;
        settings.height = 480;
    }
    void TearDown() override {
        std::remove(path.c_str());
        std::remove((base_ + ".log").c_str());
    }

    void record(const Session& session) {
        ReplaySession::Settings recording = settings;
        recording.recordPath = path;
        ReplaySession recorder(recording);
        for (size_t i = 0; i < session.dts.size(); ++i) {
            for (const InputEvent& event : session.inputs[i]) {
                recorder.observe(event);
            }
            float dt = session.dts[i];
            ASSERT_TRUE(recorder.beginFrame(dt, [](const InputEvent&) { FAIL(); }));
            ASSERT_TRUE(recorder.endFrame(digestOf(session.states[i])));
        }
        recorder.finish();
    }

    ReplaySession::Settings replaying() const {
        ReplaySession::Settings replay = settings;
        replay.replayPath = path;
        return replay;
    }

    std::string text() const {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void writeText(const std::string& content) const { std::ofstream(path) << content; }

    std::string base_;
    std::string path;
    ReplaySession::Settings settings;
};

}  // namespace

TEST_F(ReplayTest, ReplayGivesBackTheRecordedFramesAndInputs) {
    const Session session;
    record(session);
    ReplaySession replay(replaying());
    ASSERT_TRUE(replay.isReplaying());
    for (size_t i = 0; i < session.dts.size(); ++i) {
        std::vector<InputEvent> delivered;
        float dt = 99;
        ASSERT_TRUE(replay.beginFrame(dt, [&](const InputEvent& e) { delivered.push_back(e); }));
        EXPECT_EQ(dt, session.dts[i]) << "frame " << i + 1;
        EXPECT_EQ(delivered, session.inputs[i]) << "frame " << i + 1;
        EXPECT_TRUE(replay.endFrame(digestOf(session.states[i]))) << replay.failure();
    }
    float dt = 0;
    EXPECT_FALSE(replay.beginFrame(dt, [](const InputEvent&) {}));
}

TEST_F(ReplayTest, ObjectsAtRestAreNotWrittenAgain) {
    record(Session());
    const std::string recorded = text();
    // The ground never changes after the first frame; the block changes each time.
    size_t grounds = 0;
    for (size_t at = recorded.find(" ground\n"); at != std::string::npos;
         at = recorded.find(" ground\n", at + 1)) {
        ++grounds;
    }
    EXPECT_EQ(grounds, 1u) << recorded;
}

TEST_F(ReplayTest, FirstDifferenceNamesTheFrameAndTheObject) {
    struct Case {
        const char* what;
        int frame;
        std::map<std::string, uint64_t> state;
        const char* message;
    } cases[] = {
        {"a block moved",
         2,
         {{"block 1", 99}, {"ground", 1}},
         "Replay diverged at frame 2: object \"block 1\" differs"},
        {"the first of two differences",
         3,
         {{"bird", 6}, {"block 1", 99}, {"ground", 1}},
         "Replay diverged at frame 3: object \"bird\" differs"},
        {"an object is gone",
         3,
         {{"block 1", 12}, {"ground", 1}},
         "Replay diverged at frame 3: object \"bird\" is missing (it was there in the recording)"},
        {"an object appeared",
         1,
         {{"block 1", 10}, {"ground", 1}, {"stray", 3}},
         "Replay diverged at frame 1: object \"stray\" is new (it was not in the recording)"},
    };
    const Session session;
    record(session);
    for (const Case& c : cases) {
        ReplaySession replay(replaying());
        bool matched = true;
        int frame = 0;
        while (matched && frame < c.frame) {
            float dt = 0;
            ASSERT_TRUE(replay.beginFrame(dt, [](const InputEvent&) {}));
            ++frame;
            matched =
                replay.endFrame(digestOf(frame == c.frame ? c.state : session.states[frame - 1]));
        }
        EXPECT_FALSE(matched) << c.what;
        EXPECT_EQ(replay.failure(), c.message) << c.what;
    }
}

TEST_F(ReplayTest, RefusesRecordingsItCannotPlayFaithfully) {
    record(Session());
    const std::string good = text();
    struct Case {
        const char* what;
        std::string content;
        std::string contentId;
        int width;
        const char* message;  // a part of the message
    } cases[] = {
        {"other scripts or levels", good, "beef", 640,
         "recorded with other scripts or levels (content c0ffee, these are beef)"},
        {"another screen", good, "c0ffee", 800, "recorded at 640x480, this window is 800x480"},
        {"a newer format", "quillfire-replay 2\n" + good.substr(good.find('\n') + 1), "c0ffee", 640,
         "line 1: written in format 2; this engine reads format 1"},
        {"not a replay", "hello\n", "c0ffee", 640, "line 1: not a replay file"},
        {"a cut file", good.substr(0, good.rfind("s ")) + "s 0123456789abcdef 2\n", "c0ffee", 640,
         "the file ends inside a frame's state"},
        {"a stray line", good + "zz 1\n", "c0ffee", 640, "unknown line \"zz 1\""},
    };
    for (const Case& c : cases) {
        // Cases that need the end marker gone keep everything before it.
        std::string content = c.content;
        const size_t end = content.find("end ");
        if (std::string(c.what) == "a stray line" && end != std::string::npos) {
            content.erase(end, content.find('\n', end) - end + 1);
        }
        writeText(content);
        ReplaySession::Settings replay = replaying();
        replay.contentId = c.contentId;
        replay.width = c.width;
        try {
            ReplaySession session(replay);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const lang::Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

TEST_F(ReplayTest, HashLogHasOneLinePerFrame) {
    ReplaySession::Settings logging = settings;
    logging.hashLogPath = base_ + ".log";
    const Session session;
    {
        ReplaySession log(logging);
        for (const auto& state : session.states) {
            float dt = 0;
            log.beginFrame(dt, [](const InputEvent&) {});
            log.endFrame(digestOf(state));
        }
        log.finish();
    }
    std::ifstream in(logging.hashLogPath);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 2), "1 ");
    EXPECT_EQ(lines[2].substr(0, 2), "3 ");
    EXPECT_EQ(lines[0].size(), 18u);
    EXPECT_NE(lines[0].substr(2), lines[1].substr(2));  // the block moved
}

TEST(StateDigest, TotalDependsOnNamesAndHashes) {
    auto total = [](const std::map<std::string, uint64_t>& objects) {
        return digestOf(objects).total;
    };
    const uint64_t base = total({{"a", 1}, {"b", 2}});
    EXPECT_EQ(base, total({{"a", 1}, {"b", 2}}));
    EXPECT_NE(base, total({{"a", 1}, {"b", 3}}));
    EXPECT_NE(base, total({{"a", 2}, {"b", 1}}));
    EXPECT_NE(base, total({{"ab", 1}, {"", 2}}));  // names are delimited
    EXPECT_NE(base, total({{"a", 1}}));
}
