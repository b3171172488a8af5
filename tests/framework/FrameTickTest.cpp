#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FakeContext.h"
#include "RecordingApp.h"
#include "framework/FrameTick.h"
#include "lang/Event.h"

namespace {

using Log = std::vector<std::string>;

class FakeHost : public framework::FrameHost {
public:
    explicit FakeHost(Log& log) : log_(log) {}
    bool isMouseCaptured() const override { return captured; }
    void captureMouse() override { log_.push_back("captureMouse"); }
    void releaseMouse() override { log_.push_back("releaseMouse"); }
    void postQuit(int exitCode) override { log_.push_back("postQuit " + std::to_string(exitCode)); }
    void frameFinished(gr::Context*) override { log_.push_back("frameFinished"); }

    bool captured = false;

private:
    Log& log_;
};

class FrameTickTest : public ::testing::Test {
protected:
    fake::RecordingApp app;
    fake::FakeContext ctx;
    FakeHost host{app.log};
};

TEST(FrameTime, IsClampedToATenthOfASecond) {
    const struct {
        float in, out;
    } cases[] = {{0.016f, 0.016f}, {0.1f, 0.1f}, {0.5f, 0.1f}, {-0.2f, 0}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(c.out, framework::clampFrameTime(c.in)) << c.in;
    }
    EXPECT_EQ(0, framework::clampFrameTime(std::nanf("")));
}

TEST_F(FrameTickTest, AdvancesTheClockThenUpdatesThenAnnounces) {
    ctx.setTime(2.0);
    framework::frameTick(host, &ctx, 5.0f);  // a long pause counts as 0.1 s
    EXPECT_NEAR(2.1, ctx.getTime(), 1e-6);
    EXPECT_EQ((Log{"update 0.100000 3", "onFrame 0.100000", "frameFinished"}), app.log);
    framework::frameTick(host, &ctx, -1.0f);  // a clock that stepped back
    EXPECT_NEAR(2.1, ctx.getTime(), 1e-6);
}

TEST_F(FrameTickTest, ContextNotReadySkipsTheFrame) {
    ctx.ready = false;
    app.requestExit(3);
    framework::frameTick(host, &ctx, 0.05f);
    EXPECT_EQ(0, ctx.getTime());
    EXPECT_TRUE(app.log.empty());  // no update, no event, no quit
}

TEST_F(FrameTickTest, ExitRequestQuitsAfterTheFrame) {
    app.exitDuringUpdate = true;
    app.exitCode = 4;
    framework::frameTick(host, &ctx, 0.05f);
    EXPECT_EQ((Log{"update 0.050000 3", "onFrame 0.050000", "frameFinished", "releaseMouse",
                   "postQuit 4"}),
              app.log);
}

TEST_F(FrameTickTest, CapturedMouseIsRecentredOrReleased) {
    host.captured = true;
    framework::frameTick(host, &ctx, 0.01f);
    EXPECT_EQ("captureMouse", app.log.front());
    app.log.clear();
    ctx.ready = false;
    framework::frameTick(host, &ctx, 0.01f);
    EXPECT_EQ((Log{"releaseMouse"}), app.log);
    app.log.clear();
    ctx.ready = true;
    app.requestExit(0);
    framework::frameTick(host, &ctx, 0.01f);
    EXPECT_EQ("releaseMouse", app.log.front());
}

TEST_F(FrameTickTest, PostedCallsRunWithTheClampedFrameTime) {
    int runs = 0;
    lang::event::post(0.25f, [&] { ++runs; });
    framework::frameTick(host, &ctx, 0.1f);
    framework::frameTick(host, &ctx, 1.0f);  // clamped to 0.1
    EXPECT_EQ(0, runs);
    framework::frameTick(host, &ctx, 0.1f);
    EXPECT_EQ(1, runs);
}

TEST_F(FrameTickTest, PostedCallRunsBeforeTheUpdate) {
    lang::event::post(0, [this] { app.log.push_back("posted"); });
    framework::frameTick(host, &ctx, 0.01f);
    ASSERT_FALSE(app.log.empty());
    EXPECT_EQ("posted", app.log.front());
}

TEST(FrameTickWithoutApp, DoesNothing) {
    Log log;
    FakeHost host(log);
    fake::FakeContext ctx;
    framework::frameTick(host, &ctx, 0.05f);
    EXPECT_EQ(0, ctx.getTime());
    EXPECT_TRUE(log.empty());
}

class FakeClock : public framework::FrameClock {
public:
    int64_t nowMicros() override { return now; }
    void sleepMillis(int ms) override {
        ++sleeps;
        now += ms * 1000 + 37;  // sleeps overshoot a little
    }

    int64_t now = 1000000;
    int sleeps = 0;
};

TEST(FramePacer, MeasuresTheTimeBetweenFrames) {
    FakeClock clock;
    framework::FramePacer pacer(clock, 0);
    pacer.start();
    clock.now += 20000;
    EXPECT_FLOAT_EQ(0.02f, pacer.beginFrame());
    clock.now += 5;
    EXPECT_FLOAT_EQ(0.000005f, pacer.beginFrame());
}

TEST(FramePacer, UncappedNeverSleeps) {
    FakeClock clock;
    framework::FramePacer pacer(clock, 0);
    pacer.start();
    pacer.beginFrame();
    pacer.waitForNextFrame();
    EXPECT_EQ(0, clock.sleeps);
}

TEST(FramePacer, CapSleepsOneMillisecondAtATimeUntilTheBudgetIsSpent) {
    EXPECT_EQ(16666, framework::FramePacer::frameBudgetMicros(60));
    EXPECT_EQ(0, framework::FramePacer::frameBudgetMicros(-5));
    FakeClock clock;
    framework::FramePacer pacer(clock, 60);
    pacer.start();
    pacer.beginFrame();
    const int64_t start = clock.now;
    clock.now += 3000;  // the frame's own work
    pacer.waitForNextFrame();
    EXPECT_GE(clock.now - start, 16666);
    EXPECT_LT(clock.now - start, 16666 + 1037);
    EXPECT_EQ(14, clock.sleeps);
}

TEST(FramePacer, FixedStepReplacesTheClock) {
    FakeClock clock;
    framework::FramePacer pacer(clock, 0, 0.25f);
    pacer.start();
    clock.now += 1;
    EXPECT_FLOAT_EQ(0.25f, pacer.beginFrame());
}

}  // namespace
