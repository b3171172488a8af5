#include "audio/AudioDecode.h"

#include <algorithm>
#include <climits>

#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"
#include "lang/Format.h"
#include "lang/Log.h"

namespace audio {

namespace {

const size_t kFirstStep = 4096;

std::vector<uint8_t> readKnownLength(AudioReader& reader, size_t length) {
    std::vector<uint8_t> pcm(length);
    const int n = reader.readData(pcm.data(), 0, int(length));
    pcm.resize(size_t(std::max(n, 0)));
    return pcm;
}

std::vector<uint8_t> readUnknownLength(AudioReader& reader, size_t maxBytes) {
    std::vector<uint8_t> pcm(std::min(kFirstStep, maxBytes));
    size_t used = 0;
    while (used < pcm.size()) {
        const int n = reader.readData(pcm.data() + used, int(used), int(pcm.size() - used));
        if (n <= 0) {
            break;
        }
        used += size_t(n);
        if (used == pcm.size() && pcm.size() < maxBytes) {
            pcm.resize(std::min(pcm.size() * 2, maxBytes));
        }
    }
    pcm.resize(used);
    return pcm;
}

}  // namespace

std::vector<uint8_t> decodeAll(AudioReader& reader, size_t maxBytes, const std::string& name) {
    maxBytes = std::min<size_t>(maxBytes, INT_MAX);
    const int length = reader.getDataLength();
    std::vector<uint8_t> pcm = length >= 0
                                   ? readKnownLength(reader, std::min(size_t(length), maxBytes))
                                   : readUnknownLength(reader, maxBytes);
    // A WAV header may claim more than the file holds, so only a byte actually
    // read past the cap shows that the sound was cut.
    uint8_t probe = 0;
    if (pcm.size() == maxBytes && reader.readData(&probe, int(maxBytes), 1) > 0) {
        QF_LOG("Audio", lang::log::WARNING,
               "%s is longer than the %zu bytes a clip decodes into memory; the rest is cut",
               name.c_str(), maxBytes);
    }
    return pcm;
}

std::vector<uint8_t> decodeAudio(const void* bytes, size_t size, int fileType, AudioFormat* format,
                                 size_t maxBytes) {
    if (size > size_t(INT_MAX)) {
        throw io::IOException(lang::Format("Audio data of {0} bytes is too large", double(size)));
    }
    lang::Ptr<io::InputStream> stream(new io::MemoryAliasInputStream(bytes, int(size)));
    lang::Ptr<AudioReader> reader(new AudioReader(stream, fileType, format));
    std::vector<uint8_t> pcm = decodeAll(*reader, maxBytes);
    if (format) {
        *format = {reader->getChannels(), reader->getBitsPerSample(),
                   reader->getSamplesPerSecond()};
    }
    return pcm;
}

}  // namespace audio
