#include "audio/AudioMixer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "lang/Exception.h"
#include "lang/Format.h"

namespace audio {

namespace {

const int32_t kUnityGain = 1 << 16;
// Voice gains above this many times full scale are cut, so that the fixed-point
// products stay far inside 32 bits.
const int kMaxGainFactor = 16;

// Signed samples of one clip layout, and the fixed-point shift of its gains.
struct Pcm16 {
    static const int kBytes = 2;
    static const int kShift = 12;
    static int32_t at(const uint8_t* p, int i) {
        return int16_t(uint16_t(p[2 * i] | p[2 * i + 1] << 8));
    }
};

struct Pcm8 {
    static const int kBytes = 1;
    static const int kShift = 8;
    static int32_t at(const uint8_t* p, int i) { return int32_t(p[i]) - 128; }
};

template <class P>
int32_t scaled(const uint8_t* s, int i, int gain, int shift) {
    return int32_t((int64_t(P::at(s, i)) * gain) >> shift);
}

template <class P>
void addSame(int32_t* acc, const uint8_t* s, int bytes, int gain) {
    const int n = bytes / P::kBytes;
    for (int i = 0; i < n; ++i) {
        acc[i] += scaled<P>(s, i, gain, P::kShift);
    }
}

template <class P>
void addMonoToStereo(int32_t* acc, const uint8_t* s, int bytes, int gain) {
    const int n = bytes / P::kBytes;
    for (int k = 0; k < n; ++k) {
        const int32_t v = scaled<P>(s, k, gain, P::kShift);
        acc[2 * k] += v;
        acc[2 * k + 1] += v;
    }
}

template <class P>
void addStereoToMono(int32_t* acc, const uint8_t* s, int bytes, int gain) {
    const int n = bytes / (2 * P::kBytes);
    for (int k = 0; k < n; ++k) {
        acc[k] +=
            scaled<P>(s, 2 * k, gain, P::kShift + 1) + scaled<P>(s, 2 * k + 1, gain, P::kShift + 1);
    }
}

template <class P>
void addVoice(int32_t* acc, const uint8_t* s, int bytes, int gain, int clipChannels,
              int outChannels) {
    if (clipChannels == outChannels) {
        addSame<P>(acc, s, bytes, gain);
    } else if (clipChannels == 1) {
        addMonoToStereo<P>(acc, s, bytes, gain);
    } else {
        addStereoToMono<P>(acc, s, bytes, gain);
    }
}

// Track volume x voice volume in fixed point, truncated toward zero.
int fixedGain(float trackVolume, float volume, int unity) {
    const float gain = trackVolume * volume * float(unity);
    if (!(gain > 0.0f)) {
        return 0;
    }
    if (gain >= float(kMaxGainFactor * unity)) {
        return kMaxGainFactor * unity;
    }
    return int(gain);
}

int32_t applyMaster(int32_t value, int32_t master) {
    return master == kUnityGain ? value : int32_t((int64_t(value) * master) >> 16);
}

}  // namespace

AudioMixer::AudioMixer() : masterGain_(kUnityGain), nextHandle_(0), running_(false) {
    for (int i = 0; i < TRACK_COUNT; ++i) {
        trackVolumes_[i] = 1.0f;
        trackLimits_[i] = NO_LIMIT;
    }
}

AudioMixer::~AudioMixer() = default;

void AudioMixer::setRunning(bool running) {
    running_ = running;
}

void AudioMixer::checkTrack(int track) {
    if (uint32_t(track) >= uint32_t(TRACK_COUNT)) {
        throw lang::Exception(
            lang::Format("Track {0} out of bounds! Range [0-{1}]", track, TRACK_COUNT - 1));
    }
}

// Both voice lists: the voices being mixed and those that join with the next
// block. Self is AudioMixer or const AudioMixer.
template <class Self, class Visit>
void AudioMixer::forEachVoice(Self& self, const Visit& visit) {
    for (auto* list : {&self.active_, &self.new_}) {
        for (auto& voice : *list) {
            visit(voice);
        }
    }
}

template <class Match>
int AudioMixer::countLive(const Match& match) const {
    int count = 0;
    forEachVoice(*this, [&](const Voice& voice) { count += !voice.done && match(voice) ? 1 : 0; });
    return count;
}

int AudioMixer::activeOnTrack(int track) const {
    return countLive([track](const Voice& voice) { return voice.track == track; });
}

// Reference counts are not atomic, so clips leave the voice lists on the output
// thread but lose their references on a thread that also holds clips.
void AudioMixer::releaseRetired() {
    std::vector<lang::Ptr<AudioClip>> retired;
    lang::MutexLock guard(lock_);
    retired.swap(retired_);
}

int AudioMixer::play(const lang::Ptr<AudioClip>& clip, float volume, bool loop, int track) {
    if (!running_) {
        return -1;
    }
    checkTrack(track);
    releaseRetired();
    lang::MutexLock guard(lock_);
    if (!clip || uint32_t(activeOnTrack(track)) >= uint32_t(trackLimits_[track].load())) {
        return -1;
    }
    const int32_t handle = nextHandle_;
    nextHandle_ = nextHandle_ == INT32_MAX ? 0 : nextHandle_ + 1;
    new_.push_back(Voice{clip, new AudioClipCursor, volume, handle, track, loop, false});
    return handle;
}

void AudioMixer::stopClip(const AudioClip* clip) {
    releaseRetired();
    lang::MutexLock guard(lock_);
    forEachVoice(*this, [clip](Voice& voice) { voice.done = voice.done || voice.clip == clip; });
}

void AudioMixer::stopHandle(int handle) {
    releaseRetired();
    lang::MutexLock guard(lock_);
    forEachVoice(*this,
                 [handle](Voice& voice) { voice.done = voice.done || voice.handle == handle; });
}

void AudioMixer::stopAll() {
    releaseRetired();
    lang::MutexLock guard(lock_);
    forEachVoice(*this, [](Voice& voice) { voice.done = true; });
}

bool AudioMixer::isPlaying(const AudioClip* clip) {
    releaseRetired();
    lang::MutexLock guard(lock_);
    return countLive([clip](const Voice& voice) { return voice.clip == clip; }) > 0;
}

bool AudioMixer::isPlaying(int handle) {
    releaseRetired();
    lang::MutexLock guard(lock_);
    return countLive([handle](const Voice& voice) { return voice.handle == handle; }) > 0;
}

void AudioMixer::setVolume(const AudioClip* clip, float volume) {
    lang::MutexLock guard(lock_);
    forEachVoice(*this, [clip, volume](Voice& voice) {
        if (voice.clip == clip) {
            voice.volume = volume;
        }
    });
}

void AudioMixer::setTrackVolume(float volume, int track) {
    checkTrack(track);
    trackVolumes_[track] = volume > 1.0f ? 1.0f : (volume > 0.0f ? volume : 0.0f);
}

float AudioMixer::getTrackVolume(int track) const {
    checkTrack(track);
    return trackVolumes_[track];
}

void AudioMixer::setChannelCountLimit(int track, int limit) {
    checkTrack(track);
    trackLimits_[track] = limit;
}

int AudioMixer::getChannelCountLimit(int track) const {
    checkTrack(track);
    return trackLimits_[track];
}

void AudioMixer::setMasterGain(float gain) {
    if (!(gain > 0.0f)) {
        masterGain_ = 0;
    } else {
        masterGain_ = gain >= 1.0f ? kUnityGain : int32_t(gain * float(kUnityGain) + 0.5f);
    }
}

void AudioMixer::mix(void* buffer, int byteCount, const AudioFormat& format) {
    if (format.bitsPerSample == 16) {
        mix16(buffer, byteCount, format);
    } else if (format.bitsPerSample == 8) {
        mix8(buffer, byteCount, format);
    } else if (byteCount > 0) {
        std::memset(buffer, 0, size_t(byteCount));
    }
}

void AudioMixer::mix16(void* buffer, int byteCount, const AudioFormat& format) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    const int frameBytes = 2 * format.channels;
    const int n = std::max(byteCount, 0) / frameBytes * frameBytes;
    mixBlock(n, format);
    convert16(out, n / 2);
    std::memset(out + n, 0, size_t(std::max(byteCount, 0) - n));
}

void AudioMixer::mix8(void* buffer, int byteCount, const AudioFormat& format) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    const int frameBytes = format.channels;
    const int n = std::max(byteCount, 0) / frameBytes * frameBytes;
    mixBlock(n, format);
    convert8(out, n);
    std::memset(out + n, 128, size_t(std::max(byteCount, 0) - n));
}

// Merges the new voices, drops the finished ones and takes each voice's gain for
// this block, all under the lock; the clips are then read without it.
void AudioMixer::beginBlock(int unity) {
    lang::MutexLock guard(lock_);
    for (Voice& voice : new_) {
        active_.push_back(std::move(voice));
    }
    new_.clear();
    size_t kept = 0;
    for (size_t i = 0; i < active_.size(); ++i) {
        if (active_[i].done) {
            retired_.push_back(std::move(active_[i].clip));
        } else {
            if (kept != i) {
                active_[kept] = std::move(active_[i]);
            }
            ++kept;
        }
    }
    active_.erase(active_.begin() + long(kept), active_.end());
    gains_.resize(active_.size());
    finished_.assign(active_.size(), 0);
    for (size_t i = 0; i < active_.size(); ++i) {
        const Voice& voice = active_[i];
        gains_[i] = fixedGain(trackVolumes_[voice.track], voice.volume, unity);
    }
}

void AudioMixer::mixBlock(int byteCount, const AudioFormat& format) {
    const int bits = format.bitsPerSample;
    const int samples = bits == 16 ? byteCount / 2 : byteCount;
    if (accumulator_.size() < size_t(samples)) {
        accumulator_.resize(size_t(samples));
    }
    std::fill(accumulator_.begin(), accumulator_.begin() + samples, 0);
    beginBlock(bits == 16 ? 1 << Pcm16::kShift : 1 << Pcm8::kShift);
    for (size_t i = 0; i < active_.size(); ++i) {
        finished_[i] = mixVoice(active_[i], gains_[i], byteCount, format) ? 1 : 0;
    }
    lang::MutexLock guard(lock_);
    for (size_t i = 0; i < active_.size(); ++i) {
        active_[i].done = active_[i].done || finished_[i] != 0;
    }
}

// Returns whether the voice has ended.
bool AudioMixer::mixVoice(Voice& voice, int gain, int byteCount, const AudioFormat& format) {
    const int bits = voice.clip->getBitsPerSample();
    const int channels = voice.clip->getChannels();
    if (bits != format.bitsPerSample) {
        return false;
    }
    int count = byteCount;
    if (channels == 1 && format.channels == 2) {
        count = byteCount / 2;
    } else if (channels == 2 && format.channels == 1) {
        count = byteCount * 2;
    } else if (channels != format.channels) {
        return false;
    }
    if (scratch_.size() < size_t(count)) {
        scratch_.resize(size_t(count));
    }
    bool ended = false;
    const int read = readVoice(voice, count, channels * bits / 8, ended);
    if (gain > 0 && bits == 16) {
        addVoice<Pcm16>(accumulator_.data(), scratch_.data(), read, gain, channels,
                        format.channels);
    } else if (gain > 0) {
        addVoice<Pcm8>(accumulator_.data(), scratch_.data(), read, gain, channels, format.channels);
    }
    return ended;
}

// Fills the scratch buffer from the voice's clip; a looping voice wraps to the
// start of its clip as often as needed.
int AudioMixer::readVoice(Voice& voice, int byteCount, int frameBytes, bool& ended) {
    int total = 0;
    int lastWrap = -1;
    for (;;) {
        int n = voice.clip->read(scratch_.data() + total, byteCount - total, *voice.cursor);
        n = std::min(std::max(n, 0), byteCount - total);
        total += n;
        if (n == 0 && !voice.loop) {
            ended = true;
        } else if (n == 0) {
            // Wrap on a whole frame; a pass over the clip that gave no whole frame
            // means it has nothing to loop, and the voice ends.
            total -= total % frameBytes;
            if (total == lastWrap) {
                ended = true;
                break;
            }
            lastWrap = total;
            voice.cursor->rewind();
        }
        if (!voice.loop || total >= byteCount) {
            break;
        }
    }
    return total;
}

void AudioMixer::convert16(uint8_t* out, int sampleCount) const {
    const int32_t master = masterGain_;
    for (int i = 0; i < sampleCount; ++i) {
        // Clamp, then attenuate: turning a clipping scene down must bring it
        // below full scale.
        const int32_t v =
            applyMaster(std::min(std::max(accumulator_[size_t(i)], -32768), 32767), master);
        out[2 * i] = uint8_t(v & 0xff);
        out[2 * i + 1] = uint8_t((v >> 8) & 0xff);
    }
}

void AudioMixer::convert8(uint8_t* out, int sampleCount) const {
    const int32_t master = masterGain_;
    for (int i = 0; i < sampleCount; ++i) {
        const int32_t v =
            applyMaster(std::min(std::max(accumulator_[size_t(i)], -128), 127), master);
        out[i] = uint8_t(v + 128);
    }
}

}  // namespace audio
