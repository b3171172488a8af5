// The debug views' keys and the time they let the world advance.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app/DebugViews.h"

namespace {

const float STEP = 1.0f / 30.0f;
const float FRAME = 1.0f / 60.0f;

}  // namespace

TEST(DebugViews, KeysPauseStepAndSlowTheWorld) {
    struct Case {
        const char* what;
        std::vector<int> keys;       // pressed before the frame
        std::vector<float> advance;  // world time of the frames that follow
    } cases[] = {
        {"running", {}, {FRAME, FRAME}},
        {"paused", {DebugViews::KEY_PAUSE}, {0, 0}},
        {"paused and resumed", {DebugViews::KEY_PAUSE, DebugViews::KEY_PAUSE}, {FRAME}},
        // One step is a whole physics step, once, and leaves the world paused.
        {"one step", {DebugViews::KEY_STEP}, {STEP, 0, 0}},
        {"a step, then resumed", {DebugViews::KEY_STEP, DebugViews::KEY_PAUSE}, {FRAME}},
        {"half speed", {DebugViews::KEY_SLOW}, {FRAME / 2, FRAME / 2}},
        {"quarter speed", {DebugViews::KEY_SLOW, DebugViews::KEY_SLOW}, {FRAME / 4}},
        {"back to full speed",
         {DebugViews::KEY_SLOW, DebugViews::KEY_SLOW, DebugViews::KEY_SLOW},
         {FRAME}},
        {"slow motion stays paused", {DebugViews::KEY_SLOW, DebugViews::KEY_PAUSE}, {0}},
    };
    for (const Case& c : cases) {
        DebugViews views;
        for (int key : c.keys) {
            EXPECT_TRUE(views.keyDown(key)) << c.what;
        }
        for (size_t i = 0; i < c.advance.size(); ++i) {
            EXPECT_FLOAT_EQ(views.worldTime(FRAME, STEP), c.advance[i])
                << c.what << ", frame " << i;
        }
    }
}

TEST(DebugViews, LeavesTheGamesKeysAlone) {
    DebugViews views;
    for (int code = 0; code < 94; ++code) {
        const bool mine = code >= DebugViews::KEY_OVERLAY && code <= DebugViews::KEY_SLOW;
        EXPECT_EQ(views.keyDown(code), mine) << code;
    }
    // Every key of the views was pressed once: overlay and drawing on, stepping.
    EXPECT_TRUE(views.overlayShown());
    EXPECT_TRUE(views.physicsShown());
    EXPECT_TRUE(views.paused());
    EXPECT_EQ(views.slowdown(), 2);
}
