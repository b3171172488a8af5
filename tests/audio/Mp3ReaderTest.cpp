#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "AudioTestUtil.h"
#include "audio/AudioClip.h"
#include "audio/AudioDecode.h"
#include "audio/AudioReader.h"
#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/IOException.h"
#include "support/LogCapture.h"

using namespace audiotest;
using audio::AudioReader;

namespace {

const char* kLame = "/usr/bin/lame";

// A quarter second of a 440 Hz tone, encoded by lame once for the whole suite.
class Mp3Reader : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(kLame)) {
            return;
        }
        dir_ = new TempDir;
        std::vector<int16_t> tone;
        for (int i = 0; i < 11025; ++i) {
            const int16_t v = int16_t(8000 * std::sin(i * 2 * M_PI * 440 / 44100));
            tone.push_back(v);
            tone.push_back(v);
        }
        const std::string in = dir_->write("tone.wav", wav(2, 44100, 16, pcm16(tone)));
        const std::string command =
            std::string(kLame) + " --quiet -b 128 " + in + " " + dir_->path("tone.mp3");
        if (std::system(command.c_str()) == 0) {
            mp3_ = new Bytes(dir_->read("tone.mp3"));
        }
    }
    static void TearDownTestSuite() {
        delete mp3_;
        delete dir_;
        mp3_ = nullptr;
        dir_ = nullptr;
    }
    void SetUp() override {
        if (!mp3_ || mp3_->empty()) {
            GTEST_SKIP() << "lame is not installed";
        }
    }

    lang::Ptr<AudioReader> reader() {
        return new AudioReader(new io::FileInputStream(dir_->path("tone.mp3")),
                               AudioReader::TYPE_MP3);
    }

    static TempDir* dir_;
    static Bytes* mp3_;
};

TempDir* Mp3Reader::dir_ = nullptr;
Bytes* Mp3Reader::mp3_ = nullptr;

}  // namespace

TEST_F(Mp3Reader, ReportsFormatAndUnknownLength) {
    lang::Ptr<audio::AudioClip> clip(new audio::AudioClip(
        new io::FileInputStream(dir_->path("tone.mp3")), AudioReader::TYPE_MP3));
    EXPECT_EQ(clip->getLength(), -1);
    EXPECT_EQ(clip->getChannels(), 2);
    EXPECT_EQ(clip->getBitsPerSample(), 16);
    EXPECT_EQ(clip->getSamplesPerSecond(), 44100);
    EXPECT_EQ(clip->getEncoding(), 0);
}

TEST_F(Mp3Reader, DecodesTheWholeTone) {
    lang::Ptr<AudioReader> r = reader();
    const Bytes pcm = audio::decodeAll(*r, 1 << 22);
    // lame adds encoder delay and padding around the quarter second.
    EXPECT_GE(pcm.size(), 11025u * 4);
    EXPECT_LE(pcm.size(), 11025u * 4 + 4 * 4096);
    int peak = 0;
    for (int16_t s : samples16(pcm)) {
        peak = std::max(peak, std::abs(int(s)));
    }
    EXPECT_GT(peak, 6000);
    EXPECT_LT(peak, 10000);
}

TEST_F(Mp3Reader, ACapShorterThanTheToneCutsItWithAWarning) {
    qftest::LogCapture log;
    EXPECT_EQ(audio::decodeAll(*reader(), 10000, "tone.mp3").size(), 10000u);
    const std::vector<std::string> warnings = log.messages(lang::log::WARNING);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("tone.mp3"), std::string::npos) << warnings[0];
}

TEST_F(Mp3Reader, SeekingBackToZeroDecodesTheFirstFrameAgain) {
    lang::Ptr<AudioReader> r = reader();
    Bytes first(8192);
    ASSERT_EQ(r->readData(first.data(), 0, int(first.size())), int(first.size()));
    Bytes later(8192);
    ASSERT_EQ(r->readData(later.data(), 8192, int(later.size())), int(later.size()));
    EXPECT_NE(first, later);

    Bytes again(8192);
    ASSERT_EQ(r->readData(again.data(), 0, int(again.size())), int(again.size()));
    EXPECT_EQ(again, first);
}

// A reader asked for a later offset first, as the mixer does after a seek,
// gives the same samples as one read of the whole tone.
TEST_F(Mp3Reader, AJumpForwardGivesTheSamplesOfTheWholeDecode) {
    const Bytes whole = audio::decodeAll(*reader(), 1 << 22);
    for (int offset : {4, 4096, 20000, 40000}) {
        lang::Ptr<AudioReader> r = reader();
        Bytes part(4096);
        ASSERT_EQ(r->readData(part.data(), offset, int(part.size())), int(part.size())) << offset;
        EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + offset)) << offset;
    }
}

TEST_F(Mp3Reader, ReadsInSmallStepsMatchOneLargeRead) {
    const Bytes whole = audio::decodeAll(*reader(), 1 << 22);
    lang::Ptr<AudioReader> r = reader();
    Bytes pieces;
    Bytes block(1000);
    for (int n; (n = r->readData(block.data(), int(pieces.size()), 1000)) > 0;) {
        pieces.insert(pieces.end(), block.begin(), block.begin() + n);
    }
    EXPECT_EQ(pieces, whole);
}

// Cut or damaged files decode what they can or fail to find a header; the
// output never grows past what the whole tone gives.
TEST_F(Mp3Reader, DamagedFilesDecodeWhatTheyHoldOrFail) {
    std::vector<Bytes> inputs;
    for (size_t n : {size_t(0), size_t(3), size_t(100), size_t(417), mp3_->size() / 2}) {
        inputs.emplace_back(mp3_->begin(), mp3_->begin() + long(n));
    }
    for (size_t at = 0; at < mp3_->size(); at += 211) {
        Bytes damaged = *mp3_;
        for (size_t i = at; i < std::min(at + 16, damaged.size()); ++i) {
            damaged[i] = uint8_t(damaged[i] * 31 + 7);
        }
        inputs.push_back(damaged);
    }
    for (const Bytes& input : inputs) {
        try {
            audio::AudioFormat format = {};
            const Bytes pcm = audio::decodeAudio(input.data(), input.size(), AudioReader::TYPE_MP3,
                                                 &format, 1 << 22);
            EXPECT_LE(pcm.size(), 11025u * 4 + 4 * 4096) << input.size();
        } catch (const io::IOException& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Failed to read MP3 header while reading MemoryAliasInputStream");
        }
    }
}

TEST(Mp3Garbage, FailsToFindAHeader) {
    Bytes noise;
    for (int i = 0; i < 5000; ++i) {
        noise.push_back(uint8_t((i * 37) ^ 0x5a));
    }
    lang::Ptr<io::InputStream> stream(new io::ByteArrayInputStream(noise));
    try {
        lang::Ptr<AudioReader> reader(new AudioReader(stream, AudioReader::TYPE_MP3));
        FAIL() << "no exception";
    } catch (const io::IOException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Failed to read MP3 header while reading ByteArrayInputStream");
    }
}
