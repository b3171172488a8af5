#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/AudioClip.h"
#include "audio/AudioFormat.h"
#include "lang/Ptr.h"

namespace audiotest {

using Bytes = std::vector<uint8_t>;

inline void putLe(Bytes& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(uint8_t(value >> (8 * i)));
    }
}

inline void putTag(Bytes& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

/// A chunk of a RIFF file: tag, little-endian size, body (no pad byte).
inline void putChunk(Bytes& out, const char* tag, const Bytes& body) {
    putTag(out, tag);
    putLe(out, uint32_t(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

inline Bytes fmtBody(int encoding, int channels, int rate, int bits) {
    Bytes body;
    const int align = channels * bits / 8;
    putLe(body, uint32_t(encoding), 2);
    putLe(body, uint32_t(channels), 2);
    putLe(body, uint32_t(rate), 4);
    putLe(body, uint32_t(rate * align), 4);
    putLe(body, uint32_t(align), 2);
    putLe(body, uint32_t(bits), 2);
    return body;
}

/// "RIFF" size "WAVE" followed by the given chunks.
inline Bytes riff(const Bytes& chunks) {
    Bytes out;
    putTag(out, "RIFF");
    putLe(out, uint32_t(chunks.size() + 4), 4);
    putTag(out, "WAVE");
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

inline Bytes wav(int channels, int rate, int bits, const Bytes& pcm) {
    Bytes chunks;
    putChunk(chunks, "fmt ", fmtBody(1, channels, rate, bits));
    putChunk(chunks, "data", pcm);
    return riff(chunks);
}

/// Little-endian 16-bit samples.
inline Bytes pcm16(const std::vector<int16_t>& samples) {
    Bytes out;
    for (int16_t s : samples) {
        putLe(out, uint16_t(s), 2);
    }
    return out;
}

inline std::vector<int16_t> samples16(const uint8_t* p, size_t bytes) {
    std::vector<int16_t> out;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        out.push_back(int16_t(uint16_t(p[i] | p[i + 1] << 8)));
    }
    return out;
}

inline std::vector<int16_t> samples16(const Bytes& bytes) {
    return samples16(bytes.data(), bytes.size());
}

/// A distinctive non-zero ramp, so that it can be found again in mixed output.
inline std::vector<int16_t> ramp(int count, int start = 100, int step = 7) {
    std::vector<int16_t> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(int16_t(start + (i * step) % 20000));
    }
    return out;
}

inline lang::Ptr<audio::AudioClip> memoryClip(const Bytes& pcm, int channels, int bits,
                                              int rate = 44100) {
    const audio::AudioFormat format = {channels, bits, rate};
    return new audio::AudioClip(pcm.data(), int(pcm.size()), &format);
}

/// A folder for one test's files, removed afterwards.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() /
               ("qf_audio_" + std::to_string(stamp) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string write(const std::string& name, const Bytes& bytes) const {
        std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path(name);
    }

    Bytes read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path dir_;
};

}  // namespace audiotest
