#include "audio/AudioInput.h"

#include "audio/AudioOutput.h"

namespace audio {

class AudioInputImpl : public lang::Object {
public:
    explicit AudioInputImpl(const AudioFormat& format) : format(format) {}

    AudioFormat format;
    bool started = false;
};

namespace {

const AudioFormat& checked(const AudioFormat& format) {
    validateAudioFormat(format, "AudioInput");
    return format;
}

}  // namespace

AudioInput::AudioInput(const AudioFormat& format) : impl_(new AudioInputImpl(checked(format))) {}

AudioInput::~AudioInput() = default;

bool AudioInput::start() {
    impl_->started = true;
    return true;
}

void AudioInput::stop() {
    impl_->started = false;
}
bool AudioInput::isStarted() const {
    return impl_->started;
}
const AudioFormat& AudioInput::getFormat() const {
    return impl_->format;
}

}  // namespace audio
