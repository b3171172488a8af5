#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "AudioTestUtil.h"
#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "audio/NullAudioDevice.h"
#include "lang/Exception.h"
#include "lang/Log.h"
#include "support/LogCapture.h"

using namespace audiotest;
using audio::AudioFormat;
using audio::AudioOutput;
using audio::NullAudioDevice;

namespace {

const AudioFormat kCd = {2, 16, 44100};

// Waits up to two seconds for `done`.
template <class F>
bool waitFor(F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Index of the first non-zero sample, or the size when all are zero.
size_t firstSound(const std::vector<int16_t>& samples) {
    return size_t(std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; }) -
                  samples.begin());
}

// Expects `clip` to appear in `output` from its first non-zero sample on.
void expectContains(const std::vector<int16_t>& output, const std::vector<int16_t>& clip) {
    const size_t start = firstSound(output);
    ASSERT_LE(start + clip.size(), output.size()) << "clip not found in the output";
    EXPECT_TRUE(std::equal(clip.begin(), clip.end(), output.begin() + long(start)));
    EXPECT_TRUE(std::all_of(output.begin() + long(start + clip.size()), output.end(),
                            [](int16_t s) { return s == 0; }));
}

std::string creationError(const AudioFormat& format, bool input) {
    try {
        if (input) {
            audio::AudioInput in(format);
        } else {
            lang::Ptr<AudioOutput> out(new AudioOutput(format, new NullAudioDevice));
        }
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

}  // namespace

TEST(AudioOutputFormat, IsValidatedWithTheOwnersName) {
    const struct {
        AudioFormat format;
        const char* problem;
    } cases[] = {
        {{3, 16, 44100}, "Unsupported count of channels while creating "},
        {{0, 16, 44100}, "Unsupported count of channels while creating "},
        {{2, 24, 44100}, "Unsupported bits per sample while creating "},
        {{2, 16, 44000}, "Unsupported samples per second while creating "},
        {{1, 8, 0}, "Unsupported samples per second while creating "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(creationError(c.format, false), std::string(c.problem) + "AudioOutput");
        EXPECT_EQ(creationError(c.format, true), std::string(c.problem) + "AudioInput");
    }
    for (int rate :
         {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000}) {
        EXPECT_EQ(creationError({1, 8, rate}, false), "(nothing thrown)") << rate;
    }
}

TEST(AudioOutputFormat, QueueHoldsATwentiethOfASecondOfWholeFrames) {
    EXPECT_EQ(AudioOutput(kCd, new NullAudioDevice).getBufferSize(), 8820);
    EXPECT_EQ(AudioOutput({1, 8, 11025}, new NullAudioDevice).getBufferSize(), 552);
    EXPECT_EQ(AudioOutput({2, 16, 11025}, new NullAudioDevice).getBufferSize(), 552 * 4);
}

class NullOutput : public ::testing::Test {
protected:
    // Plays in real time and keeps about six seconds of output.
    NullOutput()
        : device(new NullAudioDevice(44100 * 4, 1 << 20)), output(new AudioOutput(kCd, device)) {}

    std::vector<int16_t> played() { return samples16(device->keptBytes()); }

    lang::Ptr<NullAudioDevice> device;
    lang::Ptr<AudioOutput> output;
};

TEST_F(NullOutput, PlaysAClipThroughTheThread) {
    const std::vector<int16_t> tone = ramp(2000);
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16(tone), 2, 16);
    EXPECT_EQ(output->play(clip, 1.0f, false, 0), -1);  // not started yet
    EXPECT_FALSE(output->isStarted());

    ASSERT_TRUE(output->start());
    EXPECT_TRUE(output->start());
    EXPECT_TRUE(output->isStarted());
    EXPECT_TRUE(device->isStarted());
    const int handle = output->play(clip, 1.0f, false, 0);
    EXPECT_GE(handle, 0);
    ASSERT_TRUE(waitFor([&] { return !output->isPlaying(handle); }));
    output->stop();
    EXPECT_FALSE(output->isStarted());
    EXPECT_FALSE(device->isStarted());
    EXPECT_EQ(output->play(clip, 1.0f, false, 0), -1);

    EXPECT_EQ(device->totalBytes() % 4, 0);
    expectContains(played(), tone);
}

TEST_F(NullOutput, VoicesGoOnAfterARestart) {
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({1000, 1000}), 2, 16);
    ASSERT_TRUE(output->start());
    const int handle = output->play(clip, 1.0f, true, 5);
    output->stop();
    EXPECT_TRUE(output->isPlaying(handle));
    const int64_t before = device->totalBytes();
    ASSERT_TRUE(output->start());
    ASSERT_TRUE(waitFor([&] { return device->totalBytes() > before + 8820; }));
    EXPECT_TRUE(output->isPlaying(clip.get()));
    output->stopAll();
    EXPECT_FALSE(output->isPlaying(handle));
}

TEST_F(NullOutput, MasterVolumeFollowsTheDecibelCurve) {
    EXPECT_EQ(output->getMasterVolume(), 1.0f);
    output->setMasterVolume(0.5f);
    EXPECT_EQ(output->getMasterVolume(), 0.5f);
    ASSERT_TRUE(output->start());
    output->play(memoryClip(pcm16({20000, -20000}), 2, 16), 1.0f, true, 0);
    ASSERT_TRUE(waitFor([&] { return firstSound(played()) < played().size(); }));
    output->stop();
    const std::vector<int16_t> out = played();
    const size_t start = firstSound(out);
    // -50 dB: 20000 x 10^-2.5 = 63.2
    EXPECT_EQ(out[start], 63);
    EXPECT_EQ(out[start + 1], -64);

    output->setMasterVolume(0.0f);
    EXPECT_EQ(output->getMasterVolume(), 0.0f);
}

// The device holds hundredths of a decibel between -100 dB and 0 dB; the volume
// read back is what it holds, not the value given.
TEST_F(NullOutput, MasterVolumeReadsBackWhatTheDeviceHolds) {
    const struct {
        float given;
        float held;
    } cases[] = {{1.5f, 1.0f}, {-2.0f, 0.0f}, {0.25f, 0.25f}, {0.33333f, 0.3334f}};
    for (const auto& c : cases) {
        output->setMasterVolume(c.given);
        EXPECT_FLOAT_EQ(output->getMasterVolume(), c.held) << c.given;
    }
}

TEST_F(NullOutput, TrackSettingsAreChecked) {
    output->setTrackVolume(2.0f, 4);
    EXPECT_EQ(output->getTrackVolume(4), 1.0f);
    EXPECT_THROW(output->getTrackVolume(8), lang::Exception);
    EXPECT_THROW(output->setChannelCountLimit(-1, 2), lang::Exception);
    ASSERT_TRUE(output->start());
    output->setChannelCountLimit(1, 1);
    lang::Ptr<audio::AudioClip> clip = memoryClip(pcm16({1, 1}), 2, 16);
    EXPECT_GE(output->play(clip, 1.0f, true, 1), 0);
    EXPECT_EQ(output->play(clip, 1.0f, true, 1), -1);
    EXPECT_THROW(output->play(clip, 1.0f, true, 8), lang::Exception);
}

namespace {

class RefusingDevice : public NullAudioDevice {
public:
    bool start() override { return accept && NullAudioDevice::start(); }
    bool accept = false;
};

}  // namespace

TEST(AudioOutputStart, RefusedByTheDeviceCanBeRetried) {
    lang::Ptr<RefusingDevice> device(new RefusingDevice);
    AudioOutput output(kCd, device);
    EXPECT_FALSE(output.start());
    EXPECT_FALSE(output.isStarted());
    EXPECT_EQ(output.play(memoryClip(pcm16({1, 1}), 2, 16), 1.0f, false, 0), -1);
    device->accept = true;
    EXPECT_TRUE(output.start());
    EXPECT_TRUE(output.isStarted());
}

TEST(AudioInputStart, SucceedsAndDeliversNothing) {
    audio::AudioInput input({1, 16, 16000});
    EXPECT_TRUE(input.start());
    EXPECT_TRUE(input.isStarted());
    input.stop();
    EXPECT_FALSE(input.isStarted());
}

namespace {

// Sets environment variables for one test and removes them afterwards.
class ScopedEnv {
public:
    void set(const char* name, const std::string& value) {
        setenv(name, value.c_str(), 1);
        names_.push_back(name);
    }
    ~ScopedEnv() {
        for (const char* name : names_) {
            unsetenv(name);
        }
    }

private:
    std::vector<const char*> names_;
};

}  // namespace

// SDL's "disk" driver writes what the device plays to a file, in real time.
TEST(SdlOutput, PlaysAClipIntoTheDiskDriversFile) {
    TempDir dir;
    ScopedEnv env;
    env.set("SDL_AUDIODRIVER", "disk");
    env.set("SDL_DISKAUDIOFILE", dir.path("out.raw"));
    const std::vector<int16_t> tone = ramp(4000);
    {
        AudioOutput output(kCd);
        ASSERT_TRUE(output.start());
        const int handle = output.play(memoryClip(pcm16(tone), 2, 16), 1.0f, false, 0);
        ASSERT_TRUE(waitFor([&] { return !output.isPlaying(handle); }));
        // What is still queued reaches the file within the queue's 50 ms.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    expectContains(samples16(dir.read("out.raw")), tone);
}

TEST(SdlOutput, FallsBackToTheDummyDriverWithAWarning) {
    ScopedEnv env;
    env.set("SDL_AUDIODRIVER", "no-such-driver");
    qftest::LogCapture log;
    AudioOutput output({1, 8, 22050});
    ASSERT_EQ(log.messages(lang::log::WARNING, "Audio").size(), 1u);
    EXPECT_NE(log.messages(lang::log::WARNING, "Audio")[0].find("SDL_AUDIODRIVER"),
              std::string::npos)
        << log.messages(lang::log::WARNING, "Audio")[0];
    ASSERT_TRUE(output.start());
    const int handle = output.play(memoryClip(Bytes(441, 200), 1, 8, 22050), 1.0f, false, 0);
    EXPECT_TRUE(waitFor([&] { return !output.isPlaying(handle); }));
    output.stop();
}
