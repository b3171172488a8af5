#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FakeContext.h"
#include "RecordingApp.h"
#include "framework/Input.h"

namespace {

using Log = std::vector<std::string>;

TEST(KeyEdgeRule, HoldingAKeyGivesOneDownAndOneUp) {
    fake::RecordingApp app;
    framework::dispatchKey(5, true);
    framework::dispatchKey(5, true);  // auto-repeat
    framework::dispatchKey(5, true);
    EXPECT_TRUE(app.isKeyDown(5));
    framework::dispatchKey(5, false);
    EXPECT_FALSE(app.isKeyDown(5));
    EXPECT_EQ((Log{"keyDown 5", "onKeyDown 5", "keyUp 5", "onKeyUp 5"}), app.log);
}

TEST(KeyEdgeRule, ReleaseWithoutPressIsSilent) {
    fake::RecordingApp app;
    framework::dispatchKey(7, false);
    framework::dispatchKeyUp(7);
    EXPECT_TRUE(app.log.empty());
    EXPECT_FALSE(app.isKeyDown(7));
}

TEST(KeyEdgeRule, KeyUpRuleReleasesHeldButtons) {
    fake::RecordingApp app;
    framework::dispatchKey(57, true);
    app.log.clear();
    // Leaving the window releases every button; only the held one is reported.
    framework::dispatchKeyUp(57);
    framework::dispatchKeyUp(58);
    framework::dispatchKeyUp(59);
    EXPECT_EQ((Log{"keyUp 57", "onKeyUp 57"}), app.log);
    EXPECT_FALSE(app.isKeyDown(57));
}

TEST(KeyEdgeRule, NothingHappensWithoutAnApplication) {
    ASSERT_FALSE(framework::App::exists());
    framework::dispatchKey(5, true);
    framework::dispatchWheel(1);
    framework::dispatchActive(true);
    fake::RecordingApp app;
    EXPECT_FALSE(app.isKeyDown(5));
}

TEST(Wheel, NotchesTruncateTowardZero) {
    const struct {
        int delta;
        int notches;
    } cases[] = {{240, 2}, {-120, -1}, {60, 0}, {-60, 0}, {119, 0}, {121, 1}, {-359, -2}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.notches, framework::wheelNotches(c.delta)) << c.delta;
    }
}

TEST(Wheel, FractionalStepsBecomeDeltas) {
    EXPECT_EQ(120, framework::wheelDelta(1.0f));
    EXPECT_EQ(60, framework::wheelDelta(0.5f));
    EXPECT_EQ(-240, framework::wheelDelta(-2.0f));
    EXPECT_EQ(0, framework::wheelNotches(framework::wheelDelta(0.5f)));
    // Absurd values stay defined.
    EXPECT_GT(framework::wheelDelta(1e30f), 0);
    EXPECT_LT(framework::wheelDelta(-1e30f), 0);
    EXPECT_EQ(0, framework::wheelDelta(std::nanf("")));
}

TEST(Wheel, ZeroNotchesAreStillReported) {
    fake::RecordingApp app;
    framework::dispatchWheel(framework::wheelNotches(60));
    EXPECT_EQ((Log{"mouseWheel 0", "onMouseWheel 0"}), app.log);
}

TEST(Touches, FollowTheirIds) {
    fake::RecordingApp app;
    framework::dispatchTouchBegan({1, 10, 10});
    framework::dispatchTouchBegan({2, 20, 20});
    framework::dispatchTouchBegan({1, 30, 30});
    framework::dispatchTouchMoved({1, 15, 16});  // only the first with id 1
    framework::dispatchTouchMoved({9, 0, 0});    // unknown id: nothing
    ASSERT_EQ(3u, app.getTouches().size());
    EXPECT_EQ(15, app.getTouches()[0].x);
    EXPECT_EQ(16, app.getTouches()[0].y);
    EXPECT_EQ(30, app.getTouches()[2].x);
    framework::dispatchTouchEnded({1, 0, 0});  // every touch with id 1
    ASSERT_EQ(1u, app.getTouches().size());
    EXPECT_EQ(2, app.getTouches()[0].id);
}

TEST(Activation, ClearsKeysAndTouchesAndAnnouncesBoth) {
    fake::RecordingApp app;
    framework::dispatchKey(3, true);
    framework::dispatchTouchBegan({1, 1, 1});
    app.log.clear();
    framework::dispatchActive(false);
    EXPECT_FALSE(app.isKeyDown(3));
    EXPECT_TRUE(app.getTouches().empty());
    EXPECT_EQ(
        (Log{"setActive 0", "onActiveChanged 0", "setAudioActive 0", "onAudioActiveChanged 0"}),
        app.log);
}

TEST(Resize, DrawsTheNewSizeAtOnceAndIgnoresEmptySizes) {
    fake::RecordingApp app;
    fake::FakeContext ctx;
    framework::dispatchResize(&ctx, 0, 300);  // minimised
    framework::dispatchResize(&ctx, 300, 0);
    EXPECT_TRUE(app.log.empty());
    EXPECT_TRUE(ctx.calls.empty());
    framework::dispatchResize(&ctx, 320, 200);
    EXPECT_EQ((std::vector<std::string>{"resize 320x200"}), ctx.calls);
    EXPECT_EQ((Log{"screenResized", "onResized", "update 0.000000 1"}), app.log);
}

TEST(Points, OrientationTransform) {
    const framework::Point p = {10, 20};
    const struct {
        int orientation;
        int x, y;
    } cases[] = {{0, 10, 20}, {1, 20, 90}, {2, 190, 80}, {3, 180, 10}, {7, 10, 20}};
    for (const auto& c : cases) {
        const framework::Point q = framework::transformPoint(c.orientation, 200, 100, p);
        EXPECT_EQ(c.x, q.x) << c.orientation;
        EXPECT_EQ(c.y, q.y) << c.orientation;
    }
}

TEST(Points, CapturedMouseIsRelativeToTheCentre) {
    const framework::Point q = framework::relativeToCentre({400, 300}, 801, 601);
    EXPECT_EQ(0, q.x);
    EXPECT_EQ(0, q.y);
}

TEST(Points, FingersScaleToPixelsAndStayDefined) {
    framework::Point p = framework::fingerPoint(0.5f, 0.25f, 640, 480);
    EXPECT_EQ(320, p.x);
    EXPECT_EQ(120, p.y);
    p = framework::fingerPoint(1e30f, std::nanf(""), 640, 480);
    EXPECT_EQ(1280, p.x);
    EXPECT_EQ(0, p.y);
}

}  // namespace
