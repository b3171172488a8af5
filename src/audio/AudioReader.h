#pragma once

#include <cstdint>
#include <string>

#include "audio/AudioFormat.h"
#include "io/InputStream.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

struct mpg123_handle_struct;

namespace audio {

/// Turns one stream into PCM of a known format and serves reads at any byte
/// offset. Fully set up by its constructor; errors are thrown from there.
class AudioReader : public lang::Object {
public:
    /// File-type codes, as derived from the file name's extension.
    enum FileType { TYPE_RAW = 0, TYPE_WAV = 12, TYPE_MP3 = 13 };
    enum { ENCODING_PCM = 1 };

    /// Raw PCM is taken as 2 channels, 16 bits, 44100 samples per second.
    AudioReader(const lang::Ptr<io::InputStream>& stream, int fileType);
    /// Raw PCM is taken in `format` (the default above when null).
    AudioReader(const lang::Ptr<io::InputStream>& stream, int fileType, const AudioFormat* format);
    ~AudioReader() override;
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    /// Copies up to byteCount bytes of PCM from byteOffset on; returns the count
    /// copied, 0 at the end. Never throws for short data.
    int readData(void* buffer, int byteOffset, int byteCount);

    int getFileType() const { return fileType_; }
    int getEncoding() const { return encoding_; }
    int getChannels() const { return channels_; }
    int getSamplesPerSecond() const { return samplesPerSecond_; }
    int getBytesPerSecond() const { return bytesPerSecond_; }
    int getBlockAlign() const { return blockAlign_; }
    int getBitsPerSample() const { return bitsPerSample_; }
    /// PCM bytes in the source, -1 when not known in advance (MP3).
    int getDataLength() const { return dataLength_; }
    int getDataOffset() const { return dataOffset_; }

private:
    void setUp(const AudioFormat* format);
    void setUpRaw(const AudioFormat& format);
    void setUpWav();
    void readWavFormat(uint32_t chunkSize);
    void readFully(void* buffer, int count);
    int readDataPcm(void* buffer, int byteOffset, int byteCount);

    /// MP3, in AudioReader_mp3.cpp.
    void setUpMp3();
    void readMp3Format(const std::string& name);
    void closeMp3();
    int readDataMp3(void* buffer, int byteOffset, int byteCount);
    bool seekMp3(int64_t frame);
    int decodeMp3(uint8_t* out, int byteCount);

    lang::Ptr<io::InputStream> stream_;
    int fileType_;
    int encoding_ = 0;
    int channels_ = 0;
    int samplesPerSecond_ = 0;
    int bytesPerSecond_ = 0;
    int blockAlign_ = 0;
    int bitsPerSample_ = 0;
    int dataLength_ = 0;
    int dataOffset_ = 0;
    mpg123_handle_struct* mp3_ = nullptr;
};

}  // namespace audio
