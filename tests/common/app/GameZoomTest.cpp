// The camera zoom: wheel steps, the eased animation, pinches and zoom steps.

#include <gtest/gtest.h>

#include "common/app/GameZoom.h"

namespace {

// Runs the animation to its end in frames of dt.
void finish(GameZoom& zoom, float dt = 0.05f) {
    for (int i = 0; i < 1000 && zoom.zoomTime > -1; ++i) {
        zoom.update(dt, {});
    }
}

}  // namespace

TEST(GameZoom, WheelNotchAnimatesToTheNextStep) {
    struct Case {
        float start;
        int notches;
        bool shift;
        float target;
    } cases[] = {
        {1.0f, 1, false, 1.2f},  {1.0f, 1, true, 1.01f},    {0.5f, -1, false, 0.4f},
        {1.0f, -2, false, 0.6f}, {0.05f, -5, false, 0.01f}, {99.9f, 3, false, 100.0f},
    };
    for (const Case& c : cases) {
        GameZoom zoom;
        zoom.zoom = c.start;
        zoom.wheel(c.notches, c.shift);
        EXPECT_FLOAT_EQ(zoom.previousZoom, c.start);
        EXPECT_FLOAT_EQ(zoom.zoomDuration, 0.5f);
        finish(zoom);
        EXPECT_NEAR(zoom.zoom, c.target, 1e-5f) << c.start << " " << c.notches;
        EXPECT_FALSE(zoom.zooming);
    }
}

TEST(GameZoom, AnimationEasesOutCubically) {
    GameZoom zoom;
    zoom.wheel(1, false);  // 1 -> 1.2 over 0.5 s
    zoom.update(0.25f, {});
    // Half-way in time: u = -0.5, 1 + u^3 = 0.875 of the way.
    EXPECT_NEAR(zoom.zoom, 1.0f + 0.875f * 0.2f, 1e-5f);
    EXPECT_TRUE(zoom.zooming);
}

TEST(GameZoom, WheelDuringAnimationExtendsBelowTheLimit) {
    GameZoom zoom;
    zoom.wheel(1, false);
    zoom.update(0.1f, {});
    float current = zoom.zoom;
    zoom.wheel(1, false);
    // Half a step more on the old target, over what is left of one second.
    EXPECT_NEAR(zoom.zoomTarget, 1.3f, 1e-5f);
    EXPECT_FLOAT_EQ(zoom.zoomStart, current);
    EXPECT_NEAR(zoom.zoomDuration, 0.9f, 1e-6f);
    EXPECT_FLOAT_EQ(zoom.zoomTime, 0);
}

TEST(GameZoom, WheelDuringAnimationAboveTheLimitRestarts) {
    GameZoom zoom;
    zoom.zoom = 5;
    zoom.wheel(1, false);
    zoom.update(0.1f, {});
    float current = zoom.zoom;
    zoom.wheel(1, false);
    EXPECT_NEAR(zoom.zoomTarget, current + 0.2f, 1e-5f);
    EXPECT_FLOAT_EQ(zoom.zoomDuration, 0.5f);
}

TEST(GameZoom, ToggleStepsWrapsToTheMinimum) {
    GameZoom zoom;
    struct Step {
        int result;
        float zoom;
    } steps[] = {{1, 1.5f}, {2, 2.0f}, {2, 1.0f}};
    for (const Step& step : steps) {
        EXPECT_EQ(zoom.toggleSteps(1, 2, 3), step.result);
        finish(zoom);
        EXPECT_FLOAT_EQ(zoom.zoom, step.zoom);
    }
}

TEST(GameZoom, DegenerateStepsDoNotBreakTheZoom) {
    for (int steps : {1, 0, -3}) {
        GameZoom zoom;
        zoom.toggleSteps(1, 2, steps);
        finish(zoom);
        EXPECT_GE(zoom.zoom, GameZoom::MIN) << steps;
        EXPECT_LE(zoom.zoom, GameZoom::MAX) << steps;
    }
}

TEST(GameZoom, PinchScalesByFingerDistance) {
    GameZoom zoom;
    zoom.zoom = 2;
    zoom.update(0.016f, {{1, 100, 100}, {2, 200, 100}});
    EXPECT_TRUE(zoom.zooming);
    EXPECT_FLOAT_EQ(zoom.zoom, 2);
    zoom.update(0.016f, {{1, 50, 100}, {2, 250, 100}});
    EXPECT_FLOAT_EQ(zoom.zoom, 4);
    // A pinch alone is not clamped.
    zoom.update(0.016f, {{1, 0, 0}, {2, 10000, 0}});
    EXPECT_FLOAT_EQ(zoom.zoom, 200);
    zoom.update(0.016f, {{1, 0, 0}});
    EXPECT_FALSE(zoom.zooming);
}

TEST(GameZoom, PinchFromOnePointKeepsTheZoom) {
    GameZoom zoom;
    zoom.update(0.016f, {{1, 100, 100}, {2, 100, 100}});
    zoom.update(0.016f, {{1, 100, 100}, {2, 300, 100}});
    EXPECT_FLOAT_EQ(zoom.zoom, 1);
}

TEST(GameZoom, SetScaleLevelsBothZooms) {
    GameZoom zoom;
    zoom.wheel(1, false);
    zoom.setScale(0.7f);
    EXPECT_FLOAT_EQ(zoom.zoom, 0.7f);
    EXPECT_FLOAT_EQ(zoom.previousZoom, 0.7f);
}
