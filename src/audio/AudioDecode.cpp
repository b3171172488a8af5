#include "audio/AudioDecode.h"

#include <algorithm>
#include <climits>

#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"
#include "lang/Format.h"

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

std::vector<uint8_t> decodeAll(AudioReader& reader, size_t maxBytes) {
    maxBytes = std::min<size_t>(maxBytes, INT_MAX);
    const int length = reader.getDataLength();
    if (length >= 0) {
        return readKnownLength(reader, std::min(size_t(length), maxBytes));
    }
    return readUnknownLength(reader, maxBytes);
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
