#pragma once

#include "audio/AudioClip.h"
#include "audio/AudioDevice.h"
#include "audio/AudioFormat.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace audio {

class AudioOutputImpl;

/// Plays any number of clips at once through one sound device: a mixer, a device
/// queue of 1/20 second and an output thread that keeps it filled.
class AudioOutput : public lang::Object {
public:
    /// Opens the system's device in `format`. Throws lang::Exception for a format
    /// other than 1 or 2 channels, 8 or 16 bits and a common rate, and
    /// "AudioOutput creation failed" when no device opens.
    explicit AudioOutput(const AudioFormat& format);
    /// Plays through the given device instead (tests use a NullAudioDevice).
    AudioOutput(const AudioFormat& format, const lang::Ptr<AudioDevice>& device);
    ~AudioOutput() override;

    /// Starts the device and the output thread; false when the device refuses.
    bool start();
    /// Stops them; voices stay and go on when output starts again.
    void stop();
    bool isStarted() const;

    /// Handle of the new voice, -1 while stopped or when the track is full.
    /// Tracks are 0 to 7; others throw.
    int play(const lang::Ptr<AudioClip>& clip, float volume, bool loop, int track);
    void stopClip(const AudioClip* clip);
    void stopHandle(int handle);
    void stopAll();
    bool isPlaying(const AudioClip* clip) const;
    bool isPlaying(int handle) const;
    int voiceCount() const;
    void setVolume(const AudioClip* clip, float volume);

    /// 1 is full volume, 0.5 is -50 dB, 0 is silence.
    void setMasterVolume(float volume);
    /// The value last set, 1 before any.
    float getMasterVolume() const;
    void setTrackVolume(float volume, int track);
    float getTrackVolume(int track) const;
    /// -1 means no limit.
    void setChannelCountLimit(int track, int limit);

    const AudioFormat& getFormat() const;
    /// Bytes of the device queue: 1/20 second of whole frames.
    int getBufferSize() const;

private:
    lang::Ptr<AudioOutputImpl> impl_;
};

/// Checks an output or input format, naming `owner` in the message.
void validateAudioFormat(const AudioFormat& format, const char* owner);

}  // namespace audio
