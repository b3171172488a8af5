// The bundle's sounds and music, read through the engine's audio readers.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/AudioReader.h"
#include "io/FileInputStream.h"
#include "tools/ToolRun.h"

namespace {

struct Pcm {
    lang::Ptr<audio::AudioReader> reader;
    std::vector<int16_t> samples;  // all of them, decoded
};

Pcm readAll(const std::string& path, int type) {
    Pcm pcm;
    pcm.reader = new audio::AudioReader(new io::FileInputStream(path), type);
    std::vector<int16_t> block(8192);
    int offset = 0;
    for (;;) {
        const int n = pcm.reader->readData(block.data(), offset, int(block.size() * 2));
        if (n <= 0) {
            break;
        }
        pcm.samples.insert(pcm.samples.end(), block.begin(), block.begin() + n / 2);
        offset += n;
    }
    return pcm;
}

int peak(const std::vector<int16_t>& samples) {
    int p = 0;
    for (int16_t s : samples) {
        p = std::max(p, std::abs(int(s)));
    }
    return p;
}

const int RATE = 44100;

TEST(AudioBundleTest, EverySoundTheGameNamesIsAWavTheEngineReads) {
    struct Sound {
        const char* name;
        double minSeconds, maxSeconds;
    };
    // The names the game's scripts play; loops last exactly one second.
    const Sound sounds[] = {
        {"launch", 0.2, 1.5},
        {"stretch", 0.2, 1.5},
        {"cry_quill", 0.1, 1.5},
        {"cry_burr", 0.1, 1.5},
        {"cry_gale", 0.1, 1.5},
        {"cry_bubbler", 0.1, 1.5},
        {"cry_anvil", 0.1, 1.5},
        {"ability_glue", 0.1, 1.5},
        {"ability_gust", 0.1, 1.5},
        {"ability_bubble", 0.1, 1.5},
        {"ability_anvil", 0.1, 1.5},
        {"hit_wood", 0.05, 1},
        {"hit_stone", 0.05, 1},
        {"hit_ice", 0.05, 1},
        {"break_wood", 0.1, 1.5},
        {"break_stone", 0.1, 1.5},
        {"break_ice", 0.1, 1.5},
        {"gremlin_hit", 0.05, 1},
        {"gremlin_pop", 0.05, 1},
        {"armour_clank", 0.05, 1},
        {"splash", 0.1, 1.5},
        {"bubble", 0.03, 1},
        {"roll_wood", 1, 1},
        {"roll_stone", 1, 1},
        {"thruster", 1, 1},
        {"portal", 0.2, 2},
        {"click", 0.01, 0.2},
        {"hover", 0.01, 0.2},
        {"win", 0.5, 3},
        {"lose", 0.5, 3},
        {"star", 0.1, 1.5},
        {"score_tick", 0.01, 0.2},
    };
    for (const Sound& s : sounds) {
        SCOPED_TRACE(s.name);
        const Pcm pcm = readAll(toolstest::builtBundle() + "/audio/" + s.name + ".wav",
                                audio::AudioReader::TYPE_WAV);
        EXPECT_EQ(pcm.reader->getEncoding(), audio::AudioReader::ENCODING_PCM);
        EXPECT_EQ(pcm.reader->getChannels(), 1);
        EXPECT_EQ(pcm.reader->getBitsPerSample(), 16);
        EXPECT_EQ(pcm.reader->getSamplesPerSecond(), RATE);
        EXPECT_EQ(pcm.reader->getDataLength(), int(pcm.samples.size() * 2));
        const double seconds = double(pcm.samples.size()) / RATE;
        EXPECT_GE(seconds, s.minSeconds - 1e-6);
        EXPECT_LE(seconds, s.maxSeconds + 1e-6);
        // Heard, and not clipped: every effect is normalised below full scale.
        EXPECT_GT(peak(pcm.samples), 3000);
        EXPECT_LT(peak(pcm.samples), 32000);
    }
    // The script makes no sound the game does not know of either.
    const toolstest::ToolResult listed =
        toolstest::runShell("bash " + toolstest::bundleSources() + "/audio/sounds.sh --list");
    EXPECT_EQ(listed.exitCode, 0);
    size_t lines = 0;
    for (char c : listed.output) {
        lines += c == '\n';
    }
    EXPECT_EQ(lines, sizeof sounds / sizeof sounds[0]) << listed.output;
}

TEST(AudioBundleTest, TheMusicDecodesToAMinuteOfSound) {
    const Pcm pcm =
        readAll(toolstest::builtBundle() + "/audio/music_menu.mp3", audio::AudioReader::TYPE_MP3);
    EXPECT_EQ(pcm.reader->getDataLength(), -1);  // not known before decoding
    EXPECT_EQ(pcm.reader->getSamplesPerSecond(), RATE);
    EXPECT_EQ(pcm.reader->getBitsPerSample(), 16);
    ASSERT_GT(pcm.reader->getChannels(), 0);
    const double seconds = double(pcm.samples.size()) / pcm.reader->getChannels() / RATE;
    // 32 bars at 120 beats a minute; the encoder may add a frame or two.
    EXPECT_NEAR(seconds, 64.0, 0.1);
    EXPECT_GT(peak(pcm.samples), 16000);
    // Sound all through: no second of it is silent.
    const size_t second = size_t(RATE * pcm.reader->getChannels());
    for (size_t start = 0; start + second <= pcm.samples.size(); start += second) {
        const std::vector<int16_t> part(pcm.samples.begin() + long(start),
                                        pcm.samples.begin() + long(start + second));
        EXPECT_GT(peak(part), 2000) << "second " << start / second;
    }
}

}  // namespace
