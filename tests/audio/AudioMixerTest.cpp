#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AudioTestUtil.h"
#include "audio/AudioMixer.h"
#include "audio/CompositeAudioClip.h"
#include "lang/Exception.h"

using namespace audiotest;
using audio::AudioFormat;
using audio::AudioMixer;

namespace {

const AudioFormat kStereo16 = {2, 16, 44100};
const AudioFormat kMono16 = {1, 16, 44100};

class Mixer : public ::testing::Test {
protected:
    void SetUp() override { mixer.setRunning(true); }

    // One block of `samples` output samples.
    std::vector<int16_t> mix16(int samples, const AudioFormat& format = kStereo16) {
        Bytes out(size_t(samples) * 2, 0xee);
        mixer.mix(out.data(), int(out.size()), format);
        return samples16(out);
    }

    Bytes mix8(int bytes, const AudioFormat& format) {
        Bytes out(size_t(bytes), 0xee);
        mixer.mix(out.data(), bytes, format);
        return out;
    }

    AudioMixer mixer;
};

}  // namespace

TEST_F(Mixer, MonoClipOnStereoOutputPlaysEachSampleTwice) {
    mixer.play(memoryClip(pcm16({100, -200, 32767, -32768}), 1, 16), 1.0f, false, 0);
    EXPECT_EQ(mix16(10),
              (std::vector<int16_t>{100, 100, -200, -200, 32767, 32767, -32768, -32768, 0, 0}));
}

TEST_F(Mixer, StereoClipOnMonoOutputAveragesTheChannels) {
    mixer.play(memoryClip(pcm16({100, 300, -101, 0, 32767, 32767}), 2, 16), 1.0f, false, 0);
    // Each channel is halved before adding; shifts round toward minus infinity.
    EXPECT_EQ(mix16(4, kMono16), (std::vector<int16_t>{200, -51, 32766, 0}));
}

TEST_F(Mixer, SumsBeyondFullScaleAreClamped) {
    mixer.play(memoryClip(pcm16({30000, -30000}), 2, 16), 1.0f, false, 0);
    mixer.play(memoryClip(pcm16({30000, -30000}), 2, 16), 1.0f, false, 0);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{32767, -32768}));
}

struct GainCase {
    const char* name;
    float track;
    float voice;
    int16_t in;
    int16_t out;
};

class MixerGain : public Mixer, public ::testing::WithParamInterface<GainCase> {};

TEST_P(MixerGain, IsTrackTimesVoiceInTwelveBitFixedPoint) {
    const GainCase& c = GetParam();
    mixer.setTrackVolume(c.track, 3);
    mixer.play(memoryClip(pcm16({c.in, c.in}), 2, 16), c.voice, false, 3);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{c.out, c.out}));
}

INSTANTIATE_TEST_SUITE_P(Cases, MixerGain,
                         ::testing::Values(GainCase{"Quarter", 0.5f, 0.5f, 20000, 5000},
                                           GainCase{"RoundsDown", 0.5f, 0.5f, -3, -1},
                                           GainCase{"Silent", 1.0f, 0.0f, 20000, 0},
                                           GainCase{"Negative", 1.0f, -1.0f, 20000, 0},
                                           GainCase{"Clamped", 1.0f, 2.0f, 20000, 32767},
                                           GainCase{"CappedGain", 1.0f, 1e30f, 1, 16},
                                           GainCase{"MutedTrack", 0.0f, 1.0f, 20000, 0}),
                         [](const ::testing::TestParamInfo<GainCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Mixer, EightBitSilenceStaysSilentInBothLayouts) {
    const Bytes silence(64, 128);
    for (const AudioFormat& out : {AudioFormat{1, 8, 22050}, AudioFormat{2, 8, 22050}}) {
        for (int channels : {1, 2}) {
            mixer.play(memoryClip(silence, channels, 8), 1.0f, true, 0);
            EXPECT_EQ(mix8(40, out), Bytes(40, 128)) << out.channels << channels;
            mixer.stopAll();
        }
    }
}

TEST_F(Mixer, EightBitSamplesAreMixedAroundTheMiddle) {
    mixer.play(memoryClip(Bytes{228, 28}, 1, 8), 1.0f, false, 0);
    EXPECT_EQ(mix8(4, AudioFormat{2, 8, 8000}), (Bytes{228, 228, 28, 28}));
    mixer.play(memoryClip(Bytes{228, 28, 255, 255}, 2, 8), 1.0f, false, 0);
    EXPECT_EQ(mix8(2, AudioFormat{1, 8, 8000}), (Bytes{128, 254}));
}

TEST_F(Mixer, ClipWithOtherBitsIsSkippedAndNeverEnds) {
    lang::Ptr<audio::AudioClip> clip = memoryClip(Bytes(8, 200), 2, 8);
    const int handle = mixer.play(clip, 1.0f, false, 0);
    EXPECT_EQ(mix16(4), (std::vector<int16_t>(4, 0)));
    EXPECT_EQ(mix16(4), (std::vector<int16_t>(4, 0)));
    EXPECT_TRUE(mixer.isPlaying(handle));
}

TEST_F(Mixer, NonLoopingVoiceEndsAfterItsClip) {
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({1, 2, 3, 4}), 2, 16);
    const int handle = mixer.play(clip, 1.0f, false, 0);
    EXPECT_EQ(mix16(4), (std::vector<int16_t>{1, 2, 3, 4}));
    EXPECT_TRUE(mixer.isPlaying(handle));  // has not read 0 bytes yet
    EXPECT_EQ(mix16(4), (std::vector<int16_t>(4, 0)));
    EXPECT_FALSE(mixer.isPlaying(handle));
    EXPECT_FALSE(mixer.isPlaying(clip.get()));
    EXPECT_EQ(clip->referenceCount(), 2);  // still in the list until the next merge
    mix16(4);
    mixer.isPlaying(handle);  // a call from the owner's thread releases removed clips
    EXPECT_EQ(clip->referenceCount(), 1);
}

TEST_F(Mixer, LoopingVoiceWrapsWithinOneBlock) {
    mixer.play(memoryClip(pcm16({1, 2, 3, 4, 5, 6}), 2, 16), 1.0f, true, 0);
    EXPECT_EQ(mix16(8), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 1, 2}));
    EXPECT_EQ(mix16(8), (std::vector<int16_t>{3, 4, 5, 6, 1, 2, 3, 4}));
}

// A partial trailing frame is dropped at the wrap so that channels stay in place.
TEST_F(Mixer, LoopingWrapsOnAWholeFrame) {
    Bytes pcm = pcm16({1, 2, 3, 4});
    pcm.push_back(9);
    mixer.play(memoryClip(pcm, 2, 16), 1.0f, true, 0);
    EXPECT_EQ(mix16(8), (std::vector<int16_t>{1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST_F(Mixer, LoopingVoiceWithoutDataEnds) {
    for (const Bytes& pcm : {Bytes{}, Bytes{7}}) {
        const int handle = mixer.play(memoryClip(pcm, 2, 16), 1.0f, true, 0);
        EXPECT_EQ(mix16(8), (std::vector<int16_t>(8, 0)));
        EXPECT_FALSE(mixer.isPlaying(handle));
    }
    std::vector<lang::Ptr<audio::AudioClip>> empties = {memoryClip(Bytes{}, 2, 16),
                                                        memoryClip(Bytes{}, 2, 16)};
    const int handle = mixer.play(new audio::CompositeAudioClip(empties), 1.0f, true, 0);
    mix16(8);
    EXPECT_FALSE(mixer.isPlaying(handle));
}

TEST_F(Mixer, LoopingCompositePlaysAllMembers) {
    std::vector<lang::Ptr<audio::AudioClip>> parts = {memoryClip(pcm16({1, 2}), 2, 16),
                                                      memoryClip(pcm16({3, 4, 5, 6}), 2, 16)};
    mixer.play(new audio::CompositeAudioClip(parts), 1.0f, true, 0);
    EXPECT_EQ(mix16(8), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 1, 2}));
}

TEST_F(Mixer, VoicesSoundFromTheNextBlockAndStopByHandleOrClip) {
    lang::Ptr<audio::AudioClip> a = memoryClip(pcm16(std::vector<int16_t>(64, 10)), 2, 16);
    lang::Ptr<audio::AudioClip> b = memoryClip(pcm16(std::vector<int16_t>(64, 1)), 2, 16);
    const int first = mixer.play(a, 1.0f, true, 0);
    const int second = mixer.play(a, 1.0f, true, 1);
    const int third = mixer.play(b, 1.0f, true, 2);
    EXPECT_EQ(std::vector<int>({first, second, third}), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{21, 21}));
    mixer.stopHandle(second);
    EXPECT_FALSE(mixer.isPlaying(second));
    EXPECT_TRUE(mixer.isPlaying(a.get()));
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{11, 11}));
    mixer.setVolume(b.get(), 3.0f);
    mixer.stopClip(a.get());
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{3, 3}));
    mixer.stopAll();
    EXPECT_FALSE(mixer.isPlaying(b.get()));
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(mixer.play(a, 1.0f, false, 0), 3);  // handles are never reused
}

TEST_F(Mixer, StoppedBeforeMergingNeverSounds) {
    const int handle = mixer.play(memoryClip(pcm16({5, 5}), 2, 16), 1.0f, true, 0);
    mixer.stopHandle(handle);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{0, 0}));
}

TEST_F(Mixer, TrackLimitRefusesUntilAVoiceStops) {
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({1, 1}), 2, 16);
    mixer.setChannelCountLimit(2, 3);
    std::vector<int> handles;
    for (int i = 0; i < 3; ++i) {
        handles.push_back(mixer.play(clip, 1.0f, true, 2));
    }
    mix16(2);  // active voices count like new ones
    EXPECT_EQ(mixer.play(clip, 1.0f, true, 2), -1);
    EXPECT_GE(mixer.play(clip, 1.0f, true, 1), 0);  // other tracks are not limited
    mixer.stopHandle(handles[1]);
    EXPECT_GE(mixer.play(clip, 1.0f, true, 2), 0);
    mixer.setChannelCountLimit(2, AudioMixer::NO_LIMIT);
    EXPECT_GE(mixer.play(clip, 1.0f, true, 2), 0);
}

TEST_F(Mixer, PlayIsRefusedWhileNotRunning) {
    mixer.setRunning(false);
    EXPECT_EQ(mixer.play(memoryClip(pcm16({1, 1}), 2, 16), 1.0f, false, 0), -1);
    // The running check comes before the track check.
    EXPECT_EQ(mixer.play(memoryClip(pcm16({1, 1}), 2, 16), 1.0f, false, 9), -1);
    mixer.setRunning(true);
    EXPECT_EQ(mixer.play(nullptr, 1.0f, false, 0), -1);
}

TEST_F(Mixer, TrackVolumesAreClamped) {
    mixer.setTrackVolume(1.5f, 2);
    EXPECT_EQ(mixer.getTrackVolume(2), 1.0f);
    mixer.setTrackVolume(-0.5f, 2);
    EXPECT_EQ(mixer.getTrackVolume(2), 0.0f);
    mixer.setTrackVolume(0.25f, 7);
    EXPECT_EQ(mixer.getTrackVolume(7), 0.25f);
    EXPECT_EQ(mixer.getTrackVolume(0), 1.0f);
}

TEST_F(Mixer, TracksOutOfRangeThrow) {
    const auto message = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (const lang::Exception& e) {
            return e.what();
        }
        return "(nothing thrown)";
    };
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({1, 1}), 2, 16);
    EXPECT_EQ(message([&] { mixer.getTrackVolume(8); }), "Track 8 out of bounds! Range [0-7]");
    EXPECT_EQ(message([&] { mixer.setTrackVolume(1, -1); }), "Track -1 out of bounds! Range [0-7]");
    EXPECT_EQ(message([&] { mixer.setChannelCountLimit(8, 1); }),
              "Track 8 out of bounds! Range [0-7]");
    EXPECT_EQ(message([&] { mixer.play(clip, 1, false, 8); }),
              "Track 8 out of bounds! Range [0-7]");
}

TEST_F(Mixer, MasterGainScalesTheFinalConversion) {
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({20000, -20000}), 2, 16);
    mixer.play(clip, 1.0f, true, 0);
    mixer.setMasterGain(0.5f);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{10000, -10000}));
    mixer.setMasterGain(0.0f);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{0, 0}));
    mixer.setMasterGain(1.0f);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{20000, -20000}));
}

// A loud scene turned down must come out below full scale, not clipped at it:
// the master gain scales what the clamp gave.
TEST_F(Mixer, MasterGainAttenuatesTheClampedSum) {
    mixer.play(memoryClip(pcm16({30000, -30000}), 2, 16), 1.0f, true, 0);
    mixer.play(memoryClip(pcm16({30000, -30000}), 2, 16), 1.0f, true, 1);
    mixer.setMasterGain(0.5f);
    EXPECT_EQ(mix16(2), (std::vector<int16_t>{16383, -16384}));
}

TEST_F(Mixer, MasterGainAttenuatesTheClampedSumOfEightBitVoices) {
    // 228 and 28 are +100 and -100 around the 128 midpoint.
    mixer.play(memoryClip(Bytes{228, 28}, 2, 8), 1.0f, true, 0);
    mixer.play(memoryClip(Bytes{228, 28}, 2, 8), 1.0f, true, 1);
    mixer.setMasterGain(0.5f);
    EXPECT_EQ(mix8(2, {2, 8, 44100}), (Bytes{128 + 63, 128 - 64}));
}

TEST_F(Mixer, OddBlockSizesLeaveNoStaleBytes) {
    mixer.play(memoryClip(pcm16({5, 6, 7, 8}), 2, 16), 1.0f, false, 0);
    Bytes out(7, 0xee);
    mixer.mix(out.data(), 7, kStereo16);
    EXPECT_EQ(out, (Bytes{5, 0, 6, 0, 0, 0, 0}));
}
