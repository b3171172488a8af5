#pragma once

namespace audio {

/// PCM layout of a clip or of the output device.
struct AudioFormat {
    int channels;          // 1 or 2
    int bitsPerSample;     // 8 or 16
    int samplesPerSecond;  // sample frames per second

    /// Bytes per sample frame.
    int blockAlign() const { return channels * bitsPerSample / 8; }
};

}  // namespace audio
