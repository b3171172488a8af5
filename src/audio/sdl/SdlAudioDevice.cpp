// The output device on SDL2 audio in push mode: mixed blocks are queued with
// SDL_QueueAudio and the free room is the queue size minus what is still queued.
#include <SDL.h>

#include <cstring>
#include <string>

#include "audio/AudioDevice.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"

namespace audio {

namespace {

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(SDL_AudioDeviceID id) : id_(id) {}
    ~SdlAudioDevice() override {
        SDL_CloseAudioDevice(id_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool start() override {
        SDL_PauseAudioDevice(id_, 0);
        return true;
    }
    void stop() override {
        SDL_PauseAudioDevice(id_, 1);
        SDL_ClearQueuedAudio(id_);
    }
    int queuedBytes() override { return int(SDL_GetQueuedAudioSize(id_)); }
    void queue(const void* bytes, int count) override { SDL_QueueAudio(id_, bytes, Uint32(count)); }

private:
    SDL_AudioDeviceID id_;
};

// A device period of about 1/50 second, as a power of two.
Uint16 devicePeriod(int samplesPerSecond) {
    Uint16 frames = 64;
    while (frames * 2 <= samplesPerSecond / 50) {
        frames = Uint16(frames * 2);
    }
    return frames;
}

// Starts the audio subsystem, with a given driver when `driver` is not null.
bool initAudio(const char* driver) {
    if (driver) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    }
    const bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (driver) {
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    return ok;
}

// SDL converts from the requested format, so the queue always holds ours.
SDL_AudioDeviceID openDevice(const AudioFormat& format) {
    SDL_AudioSpec want;
    SDL_AudioSpec have;
    SDL_zero(want);
    want.freq = format.samplesPerSecond;
    want.format = format.bitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = Uint8(format.channels);
    want.samples = devicePeriod(format.samplesPerSecond);
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

[[noreturn]] void creationFailed(const std::string& reason) {
    QF_LOG("Audio", lang::log::ERROR, "No audio device could be opened: %s", reason.c_str());
    throw lang::Exception(lang::Format("AudioOutput creation failed"));
}

// So that the game runs silently on a machine without sound.
lang::Ptr<AudioDevice> openDummyDevice(const AudioFormat& format, const std::string& reason) {
    if (!initAudio("dummy")) {
        creationFailed(SDL_GetError());
    }
    const char* current = SDL_GetCurrentAudioDriver();
    if (!current || std::strcmp(current, "dummy") != 0) {
        // Someone else holds the audio subsystem with another driver.
        SDL_AudioInit("dummy");
    }
    const SDL_AudioDeviceID id = openDevice(format);
    if (id == 0) {
        const std::string error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        creationFailed(error);
    }
    QF_LOG("Audio", lang::log::WARNING,
           "No audio device could be opened (%s); playing silently on SDL's \"dummy\" driver. "
           "Set SDL_AUDIODRIVER to choose an audio driver.",
           reason.c_str());
    return new SdlAudioDevice(id);
}

}  // namespace

lang::Ptr<AudioDevice> openSystemAudioDevice(const AudioFormat& format) {
    if (initAudio(nullptr)) {
        const SDL_AudioDeviceID id = openDevice(format);
        if (id != 0) {
            return new SdlAudioDevice(id);
        }
        const std::string reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return openDummyDevice(format, reason);
    }
    return openDummyDevice(format, SDL_GetError());
}

}  // namespace audio
