#include "audio/AudioOutput.h"

#include "audio/AudioOutputImpl.h"
#include "lang/Exception.h"
#include "lang/Format.h"

namespace audio {

namespace {

bool isSupportedRate(int rate) {
    static const int kRates[] = {8000,  11025, 12000, 16000, 22050, 24000,
                                 32000, 44100, 48000, 64000, 88200, 96000};
    for (int r : kRates) {
        if (r == rate) {
            return true;
        }
    }
    return false;
}

}  // namespace

void validateAudioFormat(const AudioFormat& format, const char* owner) {
    if (format.channels != 1 && format.channels != 2) {
        throw lang::Exception(
            lang::Format("Unsupported count of channels while creating {0}", owner));
    }
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        throw lang::Exception(
            lang::Format("Unsupported bits per sample while creating {0}", owner));
    }
    if (!isSupportedRate(format.samplesPerSecond)) {
        throw lang::Exception(
            lang::Format("Unsupported samples per second while creating {0}", owner));
    }
}

namespace {

lang::Ptr<AudioDevice> openChecked(const AudioFormat& format) {
    validateAudioFormat(format, "AudioOutput");
    return openSystemAudioDevice(format);
}

const AudioFormat& checked(const AudioFormat& format) {
    validateAudioFormat(format, "AudioOutput");
    return format;
}

}  // namespace

AudioOutput::AudioOutput(const AudioFormat& format)
    : impl_(new AudioOutputImpl(format, openChecked(format))) {}

AudioOutput::AudioOutput(const AudioFormat& format, const lang::Ptr<AudioDevice>& device)
    : impl_(new AudioOutputImpl(checked(format), device)) {}

AudioOutput::~AudioOutput() = default;

bool AudioOutput::start() {
    return impl_->start();
}
void AudioOutput::stop() {
    impl_->stop();
}
bool AudioOutput::isStarted() const {
    return impl_->isStarted();
}

int AudioOutput::play(const lang::Ptr<AudioClip>& clip, float volume, bool loop, int track) {
    return impl_->mixer().play(clip, volume, loop, track);
}

void AudioOutput::stopClip(const AudioClip* clip) {
    impl_->mixer().stopClip(clip);
}
void AudioOutput::stopHandle(int handle) {
    impl_->mixer().stopHandle(handle);
}
void AudioOutput::stopAll() {
    impl_->mixer().stopAll();
}
bool AudioOutput::isPlaying(const AudioClip* clip) const {
    return impl_->mixer().isPlaying(clip);
}
bool AudioOutput::isPlaying(int handle) const {
    return impl_->mixer().isPlaying(handle);
}
int AudioOutput::voiceCount() const {
    return impl_->mixer().voiceCount();
}

void AudioOutput::setVolume(const AudioClip* clip, float volume) {
    impl_->mixer().setVolume(clip, volume);
}

void AudioOutput::setMasterVolume(float volume) {
    impl_->setMasterVolume(volume);
}
float AudioOutput::getMasterVolume() const {
    return impl_->getMasterVolume();
}

void AudioOutput::setTrackVolume(float volume, int track) {
    impl_->mixer().setTrackVolume(volume, track);
}

float AudioOutput::getTrackVolume(int track) const {
    return impl_->mixer().getTrackVolume(track);
}

void AudioOutput::setChannelCountLimit(int track, int limit) {
    impl_->mixer().setChannelCountLimit(track, limit);
}

const AudioFormat& AudioOutput::getFormat() const {
    return impl_->format();
}
int AudioOutput::getBufferSize() const {
    return impl_->bufferSize();
}

}  // namespace audio
