#pragma once

#include <chrono>

/// Where one frame's time went, in microseconds: what --stats writes and the
/// debug overlay shows. The game application clears it after each frame.
struct FrameStats {
    double physics = 0;  ///< the physics library's steps
    double hooks = 0;    ///< the scripts' step hooks
    double publish = 0;  ///< poses, interpolation, moving detection and updateObjectProperties
    double draw = 0;     ///< the script update with its draw calls, and the frame's begin
    double present = 0;  ///< the frame's end (its last batch to the driver) and showing it

    /// The world update: physics steps, step hooks and publishing.
    double world() const { return physics + hooks + publish; }
};

/// Adds the time its scope took to a counter, in microseconds.
class ScopedMicros {
public:
    explicit ScopedMicros(double& counter)
        : counter_(counter), start_(std::chrono::steady_clock::now()) {}
    ~ScopedMicros() {
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start_;
        counter_ += took.count();
    }
    ScopedMicros(const ScopedMicros&) = delete;
    ScopedMicros& operator=(const ScopedMicros&) = delete;

private:
    double& counter_;
    std::chrono::steady_clock::time_point start_;
};
