#pragma once

#include <vector>

#include "framework/App.h"

/// The camera zoom of the game: two-finger pinches, wheel steps and the
/// eased animation toward a target, all kept within [0.01, 100] except while
/// a pinch drives it.
class GameZoom {
public:
    static constexpr float MIN = 0.01f;
    static constexpr float MAX = 100.0f;

    /// One frame: the pinch of exactly two touches, then the animation.
    void update(float dt, const std::vector<framework::Touch>& touches);
    /// A wheel step of n notches; fine steps with shift.
    void wheel(int notches, bool shift);
    /// Animates to the next of `steps` evenly spaced zooms from min to max,
    /// wrapping to min after the last; returns the step index reached.
    int toggleSteps(float min, float max, int steps);
    /// The scripts' scale: no animation change, both zooms become scale.
    void setScale(float scale);

    float zoom = 1;
    bool zooming = false;
    // A wheel step during an animation below this zoom extends the animation
    // instead of restarting it, so fast scrolling keeps one smooth motion.
    float zoomAnimationLimit = 3;
    float zoomStart = 1;
    float zoomTarget = 1;
    float zoomTime = -1;
    float zoomDuration = -1;
    float previousZoom = 1;

private:
    void pinch(const std::vector<framework::Touch>& touches);
    void animate(float dt);

    float pinchDistance_ = 0;
    float pinchZoom_ = 1;
};
