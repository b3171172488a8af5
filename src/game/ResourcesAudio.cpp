// The registry's audio clips and the output and input they play through.

#include "audio/AudioClip.h"
#include "audio/AudioDecode.h"
#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "audio/CompositeAudioClip.h"
#include "game/Resources.h"
#include "io/BasicFileSystem.h"
#include "io/BundleInputStream.h"
#include "lang/Exception.h"

namespace game {

namespace {

// Clips decoded into memory stop growing here: the rest of a longer sound is
// cut (with a warning); a script that needs it whole creates it streamed.
const size_t MAX_DECODED_BYTES = 256u * 1024u * 1024u;

lang::Ptr<audio::AudioClip> decodedClip(const lang::Ptr<io::InputStream>& stream, int type,
                                        const std::string& path) {
    lang::Ptr<audio::AudioReader> reader = new audio::AudioReader(stream, type);
    std::vector<uint8_t> pcm = audio::decodeAll(*reader, MAX_DECODED_BYTES, path);
    audio::AudioFormat format{reader->getChannels(), reader->getBitsPerSample(),
                              reader->getSamplesPerSecond()};
    return new audio::AudioClip(pcm.data(), static_cast<int>(pcm.size()), &format);
}

}  // namespace

void Resources::createAudio(const std::string& path, const std::string& name, bool streamed) {
    std::string full = fullPath(path);
    lang::Ptr<io::InputStream> stream = new io::BundleInputStream(full);
    int type = io::fileTypeFromExtension(full);
    replaceAudio(name, streamed ? lang::Ptr<audio::AudioClip>(new audio::AudioClip(stream, type))
                                : decodedClip(stream, type, full));
}

void Resources::createCompositeAudio(const std::string& name,
                                     const std::vector<std::string>& clipNames) {
    std::vector<lang::Ptr<audio::AudioClip>> clips;
    for (const std::string& clipName : clipNames) {
        auto it = audio_.find(clipName);
        if (it != audio_.end()) {
            clips.push_back(it->second);
        }
    }
    replaceAudio(name, new audio::CompositeAudioClip(clips));
}

void Resources::replaceAudio(const std::string& name, const lang::Ptr<audio::AudioClip>& clip) {
    auto it = audio_.find(name);
    if (it != audio_.end() && audioOutput_) {
        audioOutput_->stopClip(it->second.get());
    }
    audio_[name] = clip;
}

void Resources::releaseAudio(const std::string& name) {
    auto it = audio_.find(name);
    if (it == audio_.end()) {
        return;
    }
    if (audioOutput_) {
        audioOutput_->stopClip(it->second.get());
    }
    audio_.erase(it);
}

audio::AudioClip* Resources::getAudio(const std::string& name) const {
    auto it = audio_.find(name);
    return it == audio_.end() ? nullptr : it->second.get();
}

void Resources::createAudioOutput(int channels, int bitsPerSample, int samplesPerSecond) {
    audioOutput_ =
        new audio::AudioOutput(audio::AudioFormat{channels, bitsPerSample, samplesPerSecond});
}

void Resources::createAudioInput(int channels, int bitsPerSample, int samplesPerSecond) {
    audioInput_ =
        new audio::AudioInput(audio::AudioFormat{channels, bitsPerSample, samplesPerSecond});
}

void Resources::setAudioOutput(const lang::Ptr<audio::AudioOutput>& output) {
    audioOutput_ = output;
}

audio::AudioOutput& Resources::requireOutput(const char* message) const {
    if (!audioOutput_) {
        throw lang::Exception(lang::Format(message));
    }
    return *audioOutput_;
}

int Resources::playAudio(const std::string& name, float volume, bool loop, int track) {
    audio::AudioOutput& output =
        requireOutput("Trying to play audio clip but no audio output has been created");
    auto it = audio_.find(name);
    return it == audio_.end() ? -1 : output.play(it->second, volume, loop, track);
}

void Resources::stopAudio(int handle) {
    requireOutput("Trying to stop audio clip but no audio output has been created")
        .stopHandle(handle);
}

void Resources::stopAudio(const std::string& name) {
    audio::AudioOutput& output =
        requireOutput("Trying to stop audio clip but no audio output has been created");
    if (audio::AudioClip* clip = getAudio(name)) {
        output.stopClip(clip);
    }
}

bool Resources::isAudioPlaying(int handle) const {
    return audioOutput_ && audioOutput_->isPlaying(handle);
}

bool Resources::isAudioPlaying(const std::string& name) const {
    audio::AudioClip* clip = getAudio(name);
    return audioOutput_ && clip && audioOutput_->isPlaying(clip);
}

void Resources::stopAllAudio() {
    requireOutput("Trying to stop all audio clips but no audio output has been created").stopAll();
}

bool Resources::startAudioOutput() {
    return requireOutput("Trying to start audio output but no audio output has been created")
        .start();
}

void Resources::stopAudioOutput() {
    if (audioOutput_) {
        audioOutput_->stop();
    }
}

bool Resources::startAudioInput() {
    if (!audioInput_) {
        throw lang::Exception(
            lang::Format("Trying to start audio input but no audio input has been created"));
    }
    return true;
}

void Resources::setMasterVolume(float volume) {
    if (audioOutput_) {
        audioOutput_->setMasterVolume(volume);
    }
}

void Resources::setTrackVolume(float volume, int track) {
    if (audioOutput_) {
        audioOutput_->setTrackVolume(volume, track);
    }
}

float Resources::getTrackVolume(int track) const {
    return audioOutput_ ? audioOutput_->getTrackVolume(track) : 0;
}

}  // namespace game
