#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GameLua;
namespace gr {
class Context;
}

/// What a frame cost and what the world holds, for the overlay.
struct DebugCounters {
    float frameMillis = 0;    // wall time from the previous frame to this one
    float physicsMillis = 0;  // the world update this frame (FrameStats::world)
    float scriptMillis = 0;   // the scripts' update with its drawing so far (FrameStats::draw)
    int drawCalls = 0;        // of the previous frame (this one is not done yet)
    int bodies = 0;
    int contacts = 0;
    int joints = 0;
    int particles = 0;
    int voices = 0;
};

/// The developer's views over the running game, each on a key the game does
/// not use: F1 the overlay with counters and a frame-time graph, F2 the physics
/// world drawn over the game, F3 pause, F4 one physics step while paused, F5
/// slow motion (1, 1/2, 1/4). F6 reloads the scripts and levels of a
/// development game (HotReload, which GameApp hands the key to); an installed
/// game passes F6 on. The keys are input like any other, so a replay repeats
/// them.
class DebugViews {
public:
    enum {
        KEY_OVERLAY = 41,
        KEY_PHYSICS = 42,
        KEY_PAUSE = 43,
        KEY_STEP = 44,
        KEY_SLOW = 45,
        KEY_RELOAD = 46
    };
    enum { GRAPH_FRAMES = 120 };

    /// True when the key belongs to these views (it is not passed on).
    bool keyDown(int code);
    /// How far the world advances in a frame of dt seconds: 0 while paused
    /// (one physics step after F4), dt slowed by the slow-motion factor.
    float worldTime(float dt, float physicsStep);

    void record(const DebugCounters& stats);
    /// Draws the enabled views over the frame, in screen pixels.
    void draw(gr::Context& context, GameLua& world) const;

    bool overlayShown() const { return overlay_; }
    bool physicsShown() const { return physics_; }
    bool paused() const { return paused_; }
    /// 1, 2 or 4: the world runs this many times slower.
    int slowdown() const { return slowdown_; }

    /// Text drawn with the views' own small font (upper case, digits and a
    /// few signs), so that they need nothing from the game's resources.
    static void drawText(gr::Context& context, const std::string& text, float x, float y,
                         float pixel, uint32_t rgba);

private:
    void drawOverlay(gr::Context& context) const;
    void drawPhysics(gr::Context& context, GameLua& world) const;

    bool overlay_ = false;
    bool physics_ = false;
    bool paused_ = false;
    bool stepPending_ = false;
    int slowdown_ = 1;
    DebugCounters last_;
    std::vector<float> frameMillis_;  // a ring of the latest frames
    size_t next_ = 0;
};
