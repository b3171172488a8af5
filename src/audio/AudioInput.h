#pragma once

#include "audio/AudioFormat.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace audio {

class AudioInputImpl;

/// The capture counterpart of AudioOutput. Nothing is captured on this platform:
/// the format is checked, and starting succeeds and delivers nothing.
class AudioInput : public lang::Object {
public:
    /// Throws lang::Exception for a format AudioOutput would refuse.
    explicit AudioInput(const AudioFormat& format);
    ~AudioInput() override;

    bool start();
    void stop();
    bool isStarted() const;
    const AudioFormat& getFormat() const;

private:
    lang::Ptr<AudioInputImpl> impl_;
};

}  // namespace audio
