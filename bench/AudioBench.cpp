// One mixer block of 32 looping voices, 44.1 kHz stereo 16-bit out.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/AudioClip.h"
#include "audio/AudioFormat.h"
#include "audio/AudioMixer.h"

namespace {

const int VOICES = 32;
const int FRAMES = 1024;  // one output block, about 23 ms

void BM_MixBlock32Voices(benchmark::State& state) {
    const audio::AudioFormat format = {2, 16, 44100};
    std::vector<int16_t> pcm(44100 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
    }
    lang::Ptr<audio::AudioClip> clip =
        new audio::AudioClip(pcm.data(), static_cast<int>(pcm.size() * 2), &format);
    audio::AudioMixer mixer;
    mixer.setRunning(true);
    for (int track = 0; track < audio::AudioMixer::TRACK_COUNT; ++track) {
        mixer.setChannelCountLimit(track, audio::AudioMixer::NO_LIMIT);
    }
    for (int v = 0; v < VOICES; ++v) {
        mixer.play(clip, 0.5f, true, v % audio::AudioMixer::TRACK_COUNT);
    }
    std::vector<int16_t> out(FRAMES * 2);
    for (auto _ : state) {
        mixer.mix(out.data(), static_cast<int>(out.size() * 2), format);
        benchmark::DoNotOptimize(out.data());
    }
    // Share of one core: block time over the block's playing time.
    state.counters["blockSeconds"] = static_cast<double>(FRAMES) / 44100;
}
BENCHMARK(BM_MixBlock32Voices);

}  // namespace
