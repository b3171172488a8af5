#pragma once

#include <cstdint>

namespace gr {
class Context;
}

namespace framework {

/// The window shell's part in a frame.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    virtual bool isMouseCaptured() const = 0;
    /// Confines the pointer to the window and puts it at the client centre.
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    /// Ends the main loop with this exit code once the current frame is done.
    virtual void postQuit(int exitCode) = 0;
    /// After the application's update and onFrame, before the exit check.
    virtual void frameFinished(gr::Context* ctx) { (void)ctx; }
};

enum { MAX_FRAME_MICROS = 100000 };

/// Frame times are clamped to [0, 0.1] seconds.
float clampFrameTime(float dt);

/// One frame: mouse capture, context clock, posted calls, App::update with
/// phase 3, onFrame, and the quit request when the application asked to exit.
/// A context that is not ready skips the frame.
void frameTick(FrameHost& host, gr::Context* ctx, float dt);

/// Time source and sleeper of the main loop.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t nowMicros() = 0;
    virtual void sleepMillis(int milliseconds) = 0;
};

/// Measures the frame time and caps the frame rate with 1 ms sleeps.
class FramePacer {
public:
    /// framerate <= 0 runs uncapped; fixedDt > 0 replaces the measured time.
    FramePacer(FrameClock& clock, int framerate, float fixedDt = 0);

    /// Starts the first frame's measurement.
    void start();
    /// Seconds since the previous frame began; begins a new frame.
    float beginFrame();
    /// Sleeps until 1000000 / framerate microseconds have passed since the
    /// current frame began.
    void waitForNextFrame();

    static int64_t frameBudgetMicros(int framerate);

private:
    FrameClock& clock_;
    int64_t budget_;
    float fixedDt_;
    int64_t frameStart_;
};

}  // namespace framework
