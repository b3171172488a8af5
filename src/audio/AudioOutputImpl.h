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
    float getMasterVolume() const { return masterVolume_; }

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
    float masterVolume_;
    int bufferSize_;
    std::atomic<bool> started_;
    std::vector<uint8_t> block_;  // used by the output thread only
};

}  // namespace audio
