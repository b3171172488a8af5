#pragma once

#include <cstdint>

#include "framework/App.h"

namespace framework {

// Input delivery to App::current, each call followed by its framework event.
// Nothing happens while no application exists.

/// The edge rule: keyDown only on up-to-down, keyUp only on down-to-up; the
/// state is stored either way.
void dispatchKey(int code, bool down);
/// Releases a key that is down; a key that is up stays silent.
void dispatchKeyUp(int code);
void dispatchMouseMove(int x, int y);
void dispatchWheel(int notches);
void dispatchTouchBegan(const Touch& touch);
void dispatchTouchMoved(const Touch& touch);
void dispatchTouchEnded(const Touch& touch);
/// A typed character or text control code to the active text field.
void dispatchText(uint32_t codePoint);
/// setActive and setAudioActive with their events.
void dispatchActive(bool active);
/// Resizes the context, then screenResized, onResized and a phase-1 update
/// with dt 0 so that the new size is drawn at once. Ignores empty sizes.
void dispatchResize(gr::Context* ctx, int width, int height);

/// Wheel deltas count 120 per notch; partial notches truncate toward zero.
enum { WHEEL_DELTA = 120 };
int wheelNotches(int delta);
/// A wheel movement in (possibly fractional) notches as a delta.
int wheelDelta(float notches);

struct Point {
    int x;
    int y;
};

/// Maps a window point into the rotated drawable for orientation 0..3 given
/// the context's width and height; other orientations leave it unchanged.
Point transformPoint(int orientation, int width, int height, Point p);

/// A touch position given as fractions of the drawable (0..1) in pixels.
Point fingerPoint(float x, float y, int width, int height);

/// A window position relative to the centre of the client area while the mouse
/// is captured (the frame re-centres the pointer every frame).
Point relativeToCentre(Point p, int clientWidth, int clientHeight);

}  // namespace framework
