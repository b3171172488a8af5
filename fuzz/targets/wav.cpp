// The WAV reader: bad data throws lang::Exception. What it yields comes from
// the data chunk, so never more bytes than the file has; reads at any offset
// stay inside it.
#include "FuzzSupport.h"
#include "audio/AudioDecode.h"
#include "audio/AudioReader.h"
#include "io/MemoryAliasInputStream.h"
#include "lang/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        audio::AudioFormat format{};
        std::vector<uint8_t> pcm =
            audio::decodeAudio(data, size, audio::AudioReader::TYPE_WAV, &format, 1 << 20);
        QF_FUZZ_CHECK(pcm.size() <= size,
                      std::to_string(pcm.size()) + " of " + std::to_string(size));
    } catch (const lang::Exception&) {
        return 0;
    }
    lang::Ptr<io::InputStream> stream = new io::MemoryAliasInputStream(data, int(size), "fuzz.wav");
    lang::Ptr<audio::AudioReader> reader =
        new audio::AudioReader(stream, audio::AudioReader::TYPE_WAV);
    QF_FUZZ_CHECK(reader->getDataLength() >= 0 && reader->getDataOffset() >= 0 &&
                      size_t(reader->getDataOffset()) + size_t(reader->getDataLength()) <= size,
                  "data chunk outside the file");
    fuzz::Input offsets(data, size);
    uint8_t buffer[512];
    for (int i = 0; i < 4; ++i) {
        const int offset = int(offsets.u32() % (size + 16)) - 8;
        const int count = int(offsets.u16() % (sizeof buffer + 1));
        const int got = reader->readData(buffer, offset, count);
        QF_FUZZ_CHECK(got >= 0 && got <= count, std::to_string(got));
    }
    return 0;
}
