#include "audio/NullAudioDevice.h"

#include <algorithm>

namespace audio {

bool NullAudioDevice::start() {
    std::lock_guard<std::mutex> guard(lock_);
    started_ = true;
    drained_ = Clock::now();
    return true;
}

void NullAudioDevice::stop() {
    std::lock_guard<std::mutex> guard(lock_);
    started_ = false;
    queued_ = 0;
}

void NullAudioDevice::drain() {
    const Clock::time_point now = Clock::now();
    if (started_) {
        const double seconds = std::chrono::duration<double>(now - drained_).count();
        queued_ = bytesPerSecond_ > 0 ? std::max(queued_ - seconds * bytesPerSecond_, 0.0) : 0;
    }
    drained_ = now;
}

int NullAudioDevice::queuedBytes() {
    std::lock_guard<std::mutex> guard(lock_);
    drain();
    return int(queued_);
}

void NullAudioDevice::queue(const void* bytes, int count) {
    std::lock_guard<std::mutex> guard(lock_);
    drain();
    count = std::max(count, 0);
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    const size_t keep = std::min(keepBytes_ - kept_.size(), size_t(count));
    kept_.insert(kept_.end(), p, p + keep);
    total_ += count;
    queued_ += count;
}

bool NullAudioDevice::isStarted() const {
    std::lock_guard<std::mutex> guard(lock_);
    return started_;
}

int64_t NullAudioDevice::totalBytes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return total_;
}

std::vector<uint8_t> NullAudioDevice::keptBytes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return kept_;
}

}  // namespace audio
