#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/AudioDevice.h"

namespace audio {

/// A device that plays nothing. It takes queued bytes away at bytesPerSecond while
/// started (at once when that is 0) and keeps the first keepBytes bytes it was
/// given, so that tests can inspect the mixed output.
class NullAudioDevice : public AudioDevice {
public:
    explicit NullAudioDevice(int bytesPerSecond = 0, size_t keepBytes = 0)
        : bytesPerSecond_(bytesPerSecond), keepBytes_(keepBytes) {}

    bool start() override;
    void stop() override;
    int queuedBytes() override;
    void queue(const void* bytes, int count) override;

    bool isStarted() const;
    int64_t totalBytes() const;
    /// The first keepBytes bytes queued so far.
    std::vector<uint8_t> keptBytes() const;

private:
    using Clock = std::chrono::steady_clock;
    void drain();

    mutable std::mutex lock_;
    const int bytesPerSecond_;
    const size_t keepBytes_;
    std::vector<uint8_t> kept_;
    int64_t total_ = 0;
    double queued_ = 0;
    Clock::time_point drained_;
    bool started_ = false;
};

}  // namespace audio
