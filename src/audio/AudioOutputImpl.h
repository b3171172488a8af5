#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/AudioFormat.h"
#include "audio/AudioMixer.h"
#include "lang/Mutex.h"
#include "lang/Object.h"
#include "lang/Ptr.h"
#include "lang/Thread.h"

namespace audio {

/// The output's state: the mixer, the device and the thread that feeds it.
class AudioOutputImpl : public lang::Object {
public:
    AudioOutputImpl(const AudioFormat& format, const lang::Ptr<AudioDevice>& device);
    ~AudioOutputImpl() override;

    bool start();
    void stop();
    bool isStarted() const { return started_; }

    void setMasterVolume(float volume);
    /// What the device holds, so between 0 and 1 whatever was set.
    float getMasterVolume() const;

    AudioMixer& mixer() { return mixer_; }
    const AudioFormat& format() const { return format_; }
    int bufferSize() const { return bufferSize_; }

private:
    void run();

    AudioFormat format_;
    AudioMixer mixer_;
    lang::Ptr<lang::Thread> thread_;
    lang::Mutex lock_;
    lang::Ptr<AudioDevice> device_;
    int deviceVolume_;  // hundredths of a decibel, -10000..0
    int bufferSize_;
    std::atomic<bool> started_;
    std::vector<uint8_t> block_;  // used by the output thread only
};

}  // namespace audio
