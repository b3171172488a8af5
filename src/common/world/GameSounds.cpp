#include "common/world/GameSounds.h"

#include "audio/AudioOutput.h"
#include "game/Resources.h"
#include "lang/Log.h"

bool ResourceSounds::hasOutput() {
    if (resources_.getAudioOutput()) {
        return true;
    }
    if (!warned_) {
        warned_ = true;
        QF_LOG("Audio", lang::log::WARNING, "No audio output: world sounds are not played");
    }
    return false;
}

bool ResourceSounds::isPlaying(const std::string& name) {
    return resources_.isAudioPlaying(name);
}

void ResourceSounds::play(const std::string& name, float volume, bool loop) {
    if (hasOutput()) {
        resources_.playAudio(name, volume, loop, 0);
    }
}

void ResourceSounds::setVolume(const std::string& name, float volume) {
    audio::AudioClip* clip = resources_.getAudio(name);
    if (clip && hasOutput()) {
        resources_.getAudioOutput()->setVolume(clip, volume);
    }
}

void ResourceSounds::stop(const std::string& name) {
    if (hasOutput()) {
        resources_.stopAudio(name);
    }
}
