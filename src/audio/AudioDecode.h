#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/AudioReader.h"

namespace audio {

/// All the PCM a reader yields, at most maxBytes of it. Readers that do not know
/// their length are read in 4096-byte steps, doubling the buffer. A sound cut at
/// maxBytes is logged as a WARNING naming `name` (the file) and the cap.
std::vector<uint8_t> decodeAll(AudioReader& reader, size_t maxBytes,
                               const std::string& name = std::string());

/// Decodes a whole file held in memory (raw PCM, WAV or MP3, by file type) and
/// stores its format in *format, which for raw PCM also gives the format to read.
/// Throws as the reader does for malformed data; never reads outside the bytes
/// and never yields more than maxBytes.
std::vector<uint8_t> decodeAudio(const void* bytes, size_t size, int fileType, AudioFormat* format,
                                 size_t maxBytes);

}  // namespace audio
