#include <gtest/gtest.h>

#include <string>

#include "AudioTestUtil.h"
#include "audio/AudioClip.h"
#include "audio/AudioDecode.h"
#include "audio/AudioReader.h"
#include "audio/CompositeAudioClip.h"
#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/IOException.h"
#include "lang/Exception.h"
#include "support/LogCapture.h"

using namespace audiotest;
using audio::AudioClip;
using audio::AudioClipCursor;
using audio::AudioReader;

namespace {

lang::Ptr<AudioReader> wavReader(const Bytes& file) {
    lang::Ptr<io::InputStream> stream(new io::ByteArrayInputStream(file.data(), int(file.size())));
    return new AudioReader(stream, AudioReader::TYPE_WAV);
}

// The message of the exception that building a reader of `file` throws.
template <class E>
std::string setUpError(const Bytes& file, int type = AudioReader::TYPE_WAV) {
    lang::Ptr<io::InputStream> stream(new io::ByteArrayInputStream(file.data(), int(file.size())));
    try {
        lang::Ptr<AudioReader> reader(new AudioReader(stream, type));
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

}  // namespace

TEST(WavReader, ReadsFormatAndDataOfAFile) {
    TempDir dir;
    const Bytes pcm = pcm16(ramp(300));
    const std::string path = dir.write("tone.wav", wav(2, 22050, 16, pcm));
    lang::Ptr<AudioClip> clip(new AudioClip(new io::FileInputStream(path), AudioReader::TYPE_WAV));

    EXPECT_EQ(clip->getEncoding(), 1);
    EXPECT_EQ(clip->getChannels(), 2);
    EXPECT_EQ(clip->getSamplesPerSecond(), 22050);
    EXPECT_EQ(clip->getBytesPerSecond(), 22050 * 4);
    EXPECT_EQ(clip->getBlockAlign(), 4);
    EXPECT_EQ(clip->getBitsPerSample(), 16);
    EXPECT_EQ(clip->getLength(), int(pcm.size()));
    EXPECT_EQ(clip->getReader()->getDataOffset(), 44);

    AudioClipCursor cursor;
    Bytes out(pcm.size() + 10);
    EXPECT_EQ(clip->read(out.data(), 256, cursor), 256);
    EXPECT_EQ(clip->read(out.data() + 256, int(out.size()) - 256, cursor), int(pcm.size()) - 256);
    EXPECT_EQ(clip->read(out.data(), 16, cursor), 0);
    out.resize(pcm.size());
    EXPECT_EQ(out, pcm);
}

TEST(WavReader, SkipsAnOddSizedChunkByExactlyItsSize) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, 1, 8000, 8));
    putChunk(chunks, "LIST", Bytes(7, 'x'));  // no pad byte follows
    putChunk(chunks, "data", Bytes{1, 2, 3, 4, 5});
    lang::Ptr<AudioReader> reader = wavReader(riff(chunks));

    EXPECT_EQ(reader->getDataLength(), 5);
    EXPECT_EQ(reader->getDataOffset(), 12 + 24 + 15 + 8);
    uint8_t out[8] = {};
    EXPECT_EQ(reader->readData(out, 1, 8), 4);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[3], 5);
}

TEST(WavReader, WithoutDataChunkIsSilent) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, 2, 44100, 16));
    putChunk(chunks, "cue ", Bytes(12, 0));
    lang::Ptr<AudioReader> reader = wavReader(riff(chunks));
    EXPECT_EQ(reader->getDataLength(), 0);
    uint8_t out[4];
    EXPECT_EQ(reader->readData(out, 0, 4), 0);
}

TEST(WavReader, ChunkRunningPastTheEndMeansNoData) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, 2, 44100, 16));
    putTag(chunks, "junk");
    putLe(chunks, 0xfffffff0u, 4);
    chunks.resize(chunks.size() + 20);
    EXPECT_EQ(wavReader(riff(chunks))->getDataLength(), 0);
}

TEST(WavReader, DataLengthIsCutToTheBytesPresent) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, 2, 44100, 16));
    putTag(chunks, "data");
    putLe(chunks, 0x7ffffff0u, 4);  // claims 2 GB, holds 6 bytes
    chunks.insert(chunks.end(), {1, 2, 3, 4, 5, 6});
    lang::Ptr<AudioReader> reader = wavReader(riff(chunks));
    EXPECT_EQ(reader->getDataLength(), 6);
    EXPECT_EQ(audio::decodeAll(*reader, 1 << 20).size(), 6u);
}

// A sound longer than the cap is cut at it, and the log says which file and
// what cap, whether the reader knows its length (WAV) or not (a bare stream).
TEST(DecodeAll, WarnsWhenTheCapCutsASound) {
    const Bytes pcm = pcm16(ramp(64));
    const struct {
        const char* name;
        size_t cap;
        size_t size;
        bool warned;
    } cases[] = {
        {"beyond", 100, 100, true}, {"exact", 128, 128, false}, {"roomy", 4096, 128, false}};
    for (const auto& c : cases) {
        qftest::LogCapture log;
        EXPECT_EQ(audio::decodeAll(*wavReader(wav(2, 44100, 16, pcm)), c.cap, "tone.wav").size(),
                  c.size)
            << c.name;
        const std::vector<std::string> warnings = log.messages(lang::log::WARNING);
        ASSERT_EQ(warnings.size(), c.warned ? 1u : 0u) << c.name;
        if (c.warned) {
            EXPECT_NE(warnings[0].find("tone.wav"), std::string::npos) << warnings[0];
            EXPECT_NE(warnings[0].find("100"), std::string::npos) << warnings[0];
        }
    }
}

struct BadWav {
    const char* name;
    Bytes file;
    std::string message;
};

class WavErrors : public ::testing::TestWithParam<BadWav> {};

TEST_P(WavErrors, AreThrownWithTheirMessage) {
    const BadWav& c = GetParam();
    EXPECT_EQ(setUpError<lang::Exception>(c.file), c.message);
}

Bytes withFmt(const Bytes& fmt) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmt);
    putChunk(chunks, "data", Bytes(4, 0));
    return riff(chunks);
}

Bytes dataFirst() {
    Bytes chunks;
    putChunk(chunks, "data", Bytes(4, 0));
    putChunk(chunks, "fmt ", fmtBody(1, 1, 8000, 8));
    return riff(chunks);
}

Bytes notWave() {
    Bytes file = wav(1, 8000, 8, Bytes(4, 0));
    file[8] = 'A';
    return file;
}

Bytes truncatedChunkHeader() {
    Bytes file = withFmt(fmtBody(1, 1, 8000, 8));
    file.resize(12 + 24 + 3);
    return file;
}

Bytes truncatedFmtBody() {
    Bytes file = withFmt(fmtBody(1, 1, 8000, 8));
    file.resize(12 + 8 + 10);
    return file;
}

Bytes bigFmt() {
    Bytes fmt = fmtBody(1, 2, 44100, 16);
    fmt.resize(141);
    return withFmt(fmt);
}

Bytes fmtAtLimit() {
    Bytes fmt = fmtBody(1, 2, 44100, 16);
    fmt.resize(140);
    return withFmt(fmt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WavErrors,
    ::testing::Values(
        BadWav{"NotRiff", Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'},
               "Only RIFF/WAVE sounds are currently supported"},
        BadWav{"NotWave", notWave(), "Only RIFF/WAVE sounds are currently supported"},
        BadWav{"FloatData", withFmt(fmtBody(3, 2, 44100, 32)),
               "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x3"},
        BadWav{"Extensible", withFmt(fmtBody(0xfffe, 2, 44100, 16)),
               "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0xfffe"},
        BadWav{"DataBeforeFmt", dataFirst(), "Missing fmt chunk before data chunk in wav file"},
        BadWav{"ShortHeader", Bytes{'R', 'I', 'F', 'F', 0, 0},
               "Failed to read 12 bytes from ByteArrayInputStream"},
        BadWav{"ShortChunkHeader", truncatedChunkHeader(),
               "Failed to read 8 bytes from ByteArrayInputStream"},
        BadWav{"ShortFmtBody", truncatedFmtBody(),
               "Failed to read 16 bytes from ByteArrayInputStream"},
        BadWav{"FmtLargerThanBuffer", bigFmt(),
               "WAV fmt chunk of 141 bytes in ByteArrayInputStream is larger than the 140 bytes "
               "supported"},
        BadWav{"FmtTooShort", withFmt(Bytes{1, 0, 1, 0}),
               "WAV fmt chunk of 4 bytes in ByteArrayInputStream is shorter than the 16 bytes "
               "required"}),
    [](const ::testing::TestParamInfo<BadWav>& info) { return std::string(info.param.name); });

TEST(WavReader, ShortReadsAreIOExceptions) {
    EXPECT_EQ(setUpError<io::IOException>(Bytes{'R', 'I', 'F', 'F'}),
              "Failed to read 12 bytes from ByteArrayInputStream");
}

TEST(WavReader, FmtChunkOfExactlyTheBufferSizeIsRead) {
    lang::Ptr<AudioReader> reader = wavReader(fmtAtLimit());
    EXPECT_EQ(reader->getChannels(), 2);
    EXPECT_EQ(reader->getDataLength(), 4);
}

TEST(AudioReader, UnsupportedTypeNamesTheStream) {
    EXPECT_EQ(setUpError<io::IOException>(Bytes(4, 0), 6),
              "Unsupported audio file format while reading ByteArrayInputStream");
}

// Every prefix of a valid file, and the file with each header byte flipped, either
// sets up or throws a lang::Exception; reads stay inside the data.
TEST(AudioDecode, DamagedWavNeverEscapesTheBuffer) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, 2, 44100, 16));
    putChunk(chunks, "LIST", Bytes(3, 'x'));
    putChunk(chunks, "data", pcm16(ramp(40)));
    const Bytes file = riff(chunks);
    std::vector<Bytes> inputs;
    for (size_t n = 0; n <= file.size(); ++n) {
        inputs.emplace_back(file.begin(), file.begin() + long(n));
    }
    for (size_t i = 0; i < 60; ++i) {
        Bytes damaged = file;
        damaged[i] ^= 0xff;
        inputs.push_back(damaged);
    }
    for (const Bytes& input : inputs) {
        audio::AudioFormat format = {};
        try {
            const Bytes pcm = audio::decodeAudio(input.data(), input.size(), AudioReader::TYPE_WAV,
                                                 &format, 1 << 16);
            EXPECT_LE(pcm.size(), input.size());
        } catch (const lang::Exception&) {
        }
    }
}

TEST(RawClip, FormatAndLengthComeFromTheCaller) {
    const Bytes pcm(4000, 1);
    lang::Ptr<AudioClip> clip = memoryClip(pcm, 2, 16);
    EXPECT_EQ(clip->getBlockAlign(), 4);
    EXPECT_EQ(clip->getLength(), 4000);
    EXPECT_EQ(clip->getBytesPerSecond(), 44100 * 4);
    EXPECT_EQ(clip->getReader()->getFileType(), AudioReader::TYPE_WAV);

    AudioClipCursor cursor;
    cursor.position = 3500;
    Bytes out(1000);
    EXPECT_EQ(clip->read(out.data(), 1000, cursor), 500);
    EXPECT_EQ(cursor.position, 4000);
}

TEST(RawClip, DefaultFormatIsCdStereo) {
    lang::Ptr<io::InputStream> stream(new io::ByteArrayInputStream(Bytes(8, 0)));
    lang::Ptr<AudioReader> reader(new AudioReader(stream, AudioReader::TYPE_RAW));
    EXPECT_EQ(reader->getChannels(), 2);
    EXPECT_EQ(reader->getBitsPerSample(), 16);
    EXPECT_EQ(reader->getSamplesPerSecond(), 44100);
    EXPECT_EQ(reader->getDataLength(), 8);
}

class CompositeClip : public ::testing::Test {
protected:
    lang::Ptr<audio::CompositeAudioClip> composite(std::vector<int> lengths) {
        std::vector<lang::Ptr<AudioClip>> clips;
        for (int length : lengths) {
            clips.push_back(memoryClip(Bytes(size_t(length), uint8_t(length)), 1, 8));
        }
        return new audio::CompositeAudioClip(clips);
    }

    std::vector<int> readInBlocksOf(AudioClip& clip, int block, int reads) {
        AudioClipCursor cursor;
        Bytes buffer(static_cast<size_t>(block));
        std::vector<int> counts;
        for (int i = 0; i < reads; ++i) {
            counts.push_back(clip.read(buffer.data(), block, cursor));
        }
        return counts;
    }
};

TEST_F(CompositeClip, ReadStopsAtTheEndOfEachMember) {
    lang::Ptr<audio::CompositeAudioClip> clip = composite({100, 50});
    EXPECT_EQ(readInBlocksOf(*clip, 80, 5), (std::vector<int>{80, 20, 50, 0, 0}));
    EXPECT_EQ(clip->getLength(), 150);
    EXPECT_EQ(clip->getBitsPerSample(), 8);
}

// A member that ends exactly at a block boundary must not end the whole clip.
TEST_F(CompositeClip, MemberEndingOnABlockBoundaryGoesOnToTheNext) {
    EXPECT_EQ(readInBlocksOf(*composite({160, 40}), 80, 4), (std::vector<int>{80, 80, 40, 0}));
    EXPECT_EQ(readInBlocksOf(*composite({0, 0, 30}), 80, 2), (std::vector<int>{30, 0}));
}

TEST_F(CompositeClip, LengthIsUnknownWhenAMemberIsUnknown) {
    struct Unknown : AudioClip {
        Unknown() : AudioClip(Bytes(4, 0).data(), 4, nullptr) {}
        int getLength() const override { return -1; }
    };
    audio::CompositeAudioClip clip({memoryClip(Bytes(10), 1, 8), new Unknown});
    EXPECT_EQ(clip.getLength(), -1);
    EXPECT_EQ(audio::CompositeAudioClip({}).getLength(), 0);
}
