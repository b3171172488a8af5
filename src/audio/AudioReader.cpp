#include "audio/AudioReader.h"

#include <algorithm>
#include <cstring>

#include "io/IOException.h"
#include "lang/Exception.h"
#include "lang/Format.h"

namespace audio {

namespace {

// The fmt chunk body is read into a buffer of this size; larger ones are refused.
const uint32_t kMaxFmtChunk = 140;
// WAVE_FORMAT_PCM: encoding, channels, rate, byte rate, block align, bits.
const uint32_t kMinFmtChunk = 16;

uint32_t le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t le32(const uint8_t* p) {
    return le16(p) | le16(p + 2) << 16;
}

const AudioFormat kDefaultRawFormat = {2, 16, 44100};

}  // namespace

AudioReader::AudioReader(const lang::Ptr<io::InputStream>& stream, int fileType)
    : stream_(stream), fileType_(fileType) {
    setUp(&kDefaultRawFormat);
}

AudioReader::AudioReader(const lang::Ptr<io::InputStream>& stream, int fileType,
                         const AudioFormat* format)
    : stream_(stream), fileType_(fileType) {
    setUp(format ? format : &kDefaultRawFormat);
}

AudioReader::~AudioReader() {
    if (fileType_ == TYPE_MP3) {
        closeMp3();
    }
}

void AudioReader::setUp(const AudioFormat* format) {
    switch (fileType_) {
        case TYPE_RAW:
            setUpRaw(*format);
            break;
        case TYPE_WAV:
            setUpWav();
            break;
        case TYPE_MP3:
            setUpMp3();
            break;
        default:
            throw io::IOException(lang::Format("Unsupported audio file format while reading {0}",
                                               stream_->getName()));
    }
}

void AudioReader::setUpRaw(const AudioFormat& format) {
    encoding_ = ENCODING_PCM;
    channels_ = format.channels;
    bitsPerSample_ = format.bitsPerSample;
    samplesPerSecond_ = format.samplesPerSecond;
    blockAlign_ = bitsPerSample_ * channels_ / 8;
    bytesPerSecond_ = int(int64_t(blockAlign_) * samplesPerSecond_);
    dataLength_ = std::max(stream_->available(), 0);
    dataOffset_ = 0;
    fileType_ = TYPE_WAV;
}

void AudioReader::setUpWav() {
    const int start = stream_->available();
    uint8_t header[12];
    readFully(header, sizeof header);
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        throw lang::Exception(lang::Format("Only RIFF/WAVE sounds are currently supported"));
    }
    bool formatKnown = false;
    while (stream_->available() > 0) {
        uint8_t chunk[8];
        readFully(chunk, sizeof chunk);
        const uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            readWavFormat(size);
            formatKnown = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatKnown) {
                throw lang::Exception(
                    lang::Format("Missing fmt chunk before data chunk in wav file"));
            }
            // A size beyond the end of the file is cut to what is there, so that
            // nobody sizes a buffer by the claim alone.
            const int left = std::max(stream_->available(), 0);
            dataOffset_ = start - left;
            dataLength_ = int(std::min<uint32_t>(size, uint32_t(left)));
            return;
        } else {
            if (size >= uint32_t(stream_->available())) {
                break;  // the chunk runs to the end: there is no data chunk
            }
            stream_->skip(int(size));
        }
    }
    dataLength_ = 0;
}

void AudioReader::readWavFormat(uint32_t chunkSize) {
    if (chunkSize > kMaxFmtChunk) {
        throw lang::Exception(
            lang::Format("WAV fmt chunk of {0} bytes in {1} is larger than the {2} bytes supported",
                         chunkSize, stream_->getName(), kMaxFmtChunk));
    }
    if (chunkSize < kMinFmtChunk) {
        throw lang::Exception(
            lang::Format("WAV fmt chunk of {0} bytes in {1} is shorter than the {2} bytes required",
                         chunkSize, stream_->getName(), kMinFmtChunk));
    }
    uint8_t body[kMaxFmtChunk];
    readFully(body, int(chunkSize));
    const uint32_t encoding = le16(body);
    if (encoding != ENCODING_PCM) {
        throw lang::Exception(
            lang::Format("WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x{0,x}", encoding));
    }
    encoding_ = int(encoding);
    channels_ = int(le16(body + 2));
    samplesPerSecond_ = int(le32(body + 4));
    bytesPerSecond_ = int(le32(body + 8));
    blockAlign_ = int(le16(body + 12));
    bitsPerSample_ = int(le16(body + 14));
}

void AudioReader::readFully(void* buffer, int count) {
    if (stream_->read(buffer, count) != count) {
        throw io::IOException(
            lang::Format("Failed to read {0} bytes from {1}", count, stream_->getName()));
    }
}

int AudioReader::readData(void* buffer, int byteOffset, int byteCount) {
    if (fileType_ == TYPE_WAV) {
        return readDataPcm(buffer, byteOffset, byteCount);
    }
    if (fileType_ == TYPE_MP3) {
        return readDataMp3(buffer, byteOffset, byteCount);
    }
    throw io::IOException(
        lang::Format("Unsupported audio file format while reading {0}", stream_->getName()));
}

int AudioReader::readDataPcm(void* buffer, int byteOffset, int byteCount) {
    if (byteOffset < 0 || byteCount <= 0 || byteOffset >= dataLength_) {
        return 0;
    }
    const int count = std::min(byteCount, dataLength_ - byteOffset);
    if (!stream_->seek(int64_t(dataOffset_) + byteOffset, io::InputStream::SEEK_FROM_START)) {
        return 0;
    }
    return std::max(stream_->read(buffer, count), 0);
}

}  // namespace audio
