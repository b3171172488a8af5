// The MP3 reader's front end over mpg123's feed mode: bad data throws
// lang::Exception; decoding is capped, and reads at any offset (forward and
// back, through the decoder's seek) stay inside the caller's buffer.
#include "FuzzSupport.h"
#include "audio/AudioDecode.h"
#include "audio/AudioReader.h"
#include "io/MemoryAliasInputStream.h"
#include "lang/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t cap = 256 * 1024;
    try {
        audio::AudioFormat format{};
        std::vector<uint8_t> pcm =
            audio::decodeAudio(data, size, audio::AudioReader::TYPE_MP3, &format, cap);
        QF_FUZZ_CHECK(pcm.size() <= cap, std::to_string(pcm.size()));
        QF_FUZZ_CHECK(format.bitsPerSample == 16 && format.channels >= 1 && format.channels <= 2,
                      std::to_string(format.bitsPerSample) + " bits, " +
                          std::to_string(format.channels) + " channels");
    } catch (const lang::Exception&) {
        return 0;
    }
    lang::Ptr<io::InputStream> stream = new io::MemoryAliasInputStream(data, int(size), "fuzz.mp3");
    lang::Ptr<audio::AudioReader> reader =
        new audio::AudioReader(stream, audio::AudioReader::TYPE_MP3);
    fuzz::Input offsets(data, size);
    std::vector<uint8_t> buffer(4096);
    for (int i = 0; i < 3; ++i) {
        const int offset = int(offsets.u32() % (64 * 1024)) - 16;
        const int count = int(offsets.u16() % (buffer.size() + 1));
        const int got = reader->readData(buffer.data(), offset, count);
        QF_FUZZ_CHECK(got >= 0 && got <= count, std::to_string(got));
    }
    return 0;
}
