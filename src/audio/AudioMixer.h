#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/AudioClip.h"
#include "audio/AudioClipCursor.h"
#include "audio/AudioFormat.h"
#include "lang/Mutex.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace audio {

/// Mixes any number of voices, each a clip with its own cursor, volume and loop
/// flag on one of eight tracks, into blocks of PCM. The main thread starts and
/// stops voices; one output thread mixes.
class AudioMixer : public lang::Object {
public:
    enum { TRACK_COUNT = 8, NO_LIMIT = -1 };

    AudioMixer();
    ~AudioMixer() override;
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    /// play refuses while the mixer is not running.
    void setRunning(bool running);
    bool isRunning() const { return running_; }

    /// Starts a voice from the next mixed block on; returns its handle, or -1 when
    /// the mixer is not running or the track is full.
    int play(const lang::Ptr<AudioClip>& clip, float volume, bool loop, int track);
    void stopClip(const AudioClip* clip);
    void stopHandle(int handle);
    void stopAll();
    bool isPlaying(const AudioClip* clip);
    bool isPlaying(int handle);
    /// Voices sounding or about to, on every track.
    int voiceCount();
    void setVolume(const AudioClip* clip, float volume);

    /// Clamped to 0..1.
    void setTrackVolume(float volume, int track);
    float getTrackVolume(int track) const;
    /// Voices of the track that may sound at once; NO_LIMIT for any number.
    void setChannelCountLimit(int track, int limit);
    int getChannelCountLimit(int track) const;

    /// Gain applied in the final conversion, 1 for full volume.
    void setMasterGain(float gain);

    /// Mixes byteCount bytes of output in `format` (8 or 16 bits, 1 or 2 channels).
    void mix(void* buffer, int byteCount, const AudioFormat& format);
    void mix16(void* buffer, int byteCount, const AudioFormat& format);
    void mix8(void* buffer, int byteCount, const AudioFormat& format);

private:
    struct Voice {
        lang::Ptr<AudioClip> clip;
        lang::Ptr<AudioClipCursor> cursor;
        float volume;
        int32_t handle;
        int32_t track;
        bool loop;
        bool done;
    };

    static void checkTrack(int track);
    template <class Self, class Visit>
    static void forEachVoice(Self& self, const Visit& visit);
    /// The voices of both lists that are not done and match; under lock_.
    template <class Match>
    int countLive(const Match& match) const;
    int activeOnTrack(int track) const;
    void releaseRetired();

    void mixBlock(int byteCount, const AudioFormat& format);
    void beginBlock(int unity);
    bool mixVoice(Voice& voice, int gain, int byteCount, const AudioFormat& format);
    int readVoice(Voice& voice, int byteCount, int frameBytes, bool& ended);
    void convert16(uint8_t* out, int sampleCount) const;
    void convert8(uint8_t* out, int sampleCount) const;

    lang::Mutex lock_;
    std::atomic<float> trackVolumes_[TRACK_COUNT];
    std::atomic<int32_t> trackLimits_[TRACK_COUNT];
    std::atomic<int32_t> masterGain_;  // 16 fractional bits
    std::vector<uint8_t> scratch_;
    std::vector<int32_t> accumulator_;
    std::vector<Voice> active_;
    std::vector<Voice> new_;
    /// Per active voice, for the block being mixed: its gain and whether it ended.
    std::vector<int> gains_;
    std::vector<uint8_t> finished_;
    /// Clips of removed voices, released later on a thread that calls play or stop.
    std::vector<lang::Ptr<AudioClip>> retired_;
    int32_t nextHandle_;
    std::atomic<bool> running_;
};

}  // namespace audio
