// MPEG audio through mpg123 in feed mode: the reader feeds blocks of the stream
// to the decoder itself, so any io stream can be decoded.
#include <mpg123.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "audio/AudioReader.h"
#include "io/IOException.h"
#include "lang/Format.h"
#include "lang/Log.h"

namespace audio {

namespace {

const int kFeedBlock = 2048;

std::mutex g_readersLock;
int g_readers = 0;

// Counts one more MP3 reader; the library is initialised by the first one and
// never shut down.
bool addReader() {
    std::lock_guard<std::mutex> guard(g_readersLock);
    return g_readers++ != 0 || mpg123_init() == MPG123_OK;
}

void removeReader() {
    std::lock_guard<std::mutex> guard(g_readersLock);
    --g_readers;
}

io::IOException mp3Error(const char* pattern, const std::string& name) {
    return io::IOException(lang::Format(pattern, name));
}

// The mixer takes 8- or 16-bit PCM only, so the decoder is asked for 16 bits.
void allowOnly16Bit(mpg123_handle* mh) {
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    mpg123_format_none(mh);
    for (size_t i = 0; i < count; ++i) {
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
}

}  // namespace

void AudioReader::setUpMp3() {
    const std::string name = stream_->getName();
    try {
        if (!addReader()) {
            throw mp3Error("Failed to initialize MPG123 while reading {0}", name);
        }
        int error = 0;
        mp3_ = mpg123_new(nullptr, &error);
        if (!mp3_) {
            throw mp3Error("Failed to allocate MPG123 while reading {0}", name);
        }
        mpg123_param(mp3_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        allowOnly16Bit(mp3_);
        if (mpg123_open_feed(mp3_) != MPG123_OK) {
            throw mp3Error("Failed to open MPG123 feed while reading {0}", name);
        }
        readMp3Format(name);
    } catch (...) {
        // The destructor does not run for a constructor that throws.
        closeMp3();
        throw;
    }
}

void AudioReader::readMp3Format(const std::string& name) {
    uint8_t block[kFeedBlock];
    for (;;) {
        const int n = stream_->read(block, kFeedBlock);
        if (n <= 0) {
            throw mp3Error("Failed to read MP3 header while reading {0}", name);
        }
        size_t done = 0;
        const int result = mpg123_decode(mp3_, block, size_t(n), nullptr, 0, &done);
        if (result == MPG123_NEW_FORMAT) {
            break;
        }
        if (result != MPG123_NEED_MORE) {
            throw mp3Error("Failed to read MP3 header while reading {0}", name);
        }
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(mp3_, &rate, &channels, &encoding);
    const int sampleBytes = mpg123_encsize(encoding);
    if (sampleBytes != 1 && sampleBytes != 2 && sampleBytes != 4) {
        throw mp3Error("Invalid bits per sample while reading {0}", name);
    }
    bitsPerSample_ = sampleBytes * 8;
    channels_ = channels;
    samplesPerSecond_ = int(rate);
    blockAlign_ = sampleBytes * channels;
    bytesPerSecond_ = blockAlign_ * samplesPerSecond_;
    dataLength_ = -1;
}

void AudioReader::closeMp3() {
    if (mp3_) {
        mpg123_delete(mp3_);
        mp3_ = nullptr;
    }
    removeReader();
}

int AudioReader::readDataMp3(void* buffer, int byteOffset, int byteCount) {
    const int frameBytes = bitsPerSample_ / 8 * channels_;
    if (byteOffset < 0 || byteCount <= 0 || frameBytes <= 0) {
        return 0;
    }
    const int64_t frame = byteOffset / frameBytes;
    if (mpg123_tell(mp3_) != frame && !seekMp3(frame)) {
        return 0;
    }
    return decodeMp3(static_cast<uint8_t*>(buffer), byteCount);
}

bool AudioReader::seekMp3(int64_t frame) {
    off_t inputOffset = 0;
    uint8_t block[kFeedBlock];
    for (;;) {
        const off_t result = mpg123_feedseek(mp3_, off_t(frame), SEEK_SET, &inputOffset);
        if (result >= 0) {
            break;  // positioned: the next input must come from inputOffset
        }
        if (result != MPG123_NEED_MORE) {
            return false;
        }
        // The decoder needs to see more of the stream before it can seek at all.
        const int n = stream_->read(block, kFeedBlock);
        if (n <= 0 || mpg123_feed(mp3_, block, size_t(n)) != MPG123_OK) {
            return false;
        }
    }
    return stream_->seek(int64_t(inputOffset), io::InputStream::SEEK_FROM_START);
}

int AudioReader::decodeMp3(uint8_t* out, int byteCount) {
    uint8_t block[kFeedBlock];
    size_t total = 0;
    int stalls = 0;
    while (total < size_t(byteCount)) {
        size_t done = 0;
        const int result =
            mpg123_decode(mp3_, nullptr, 0, out + total, size_t(byteCount) - total, &done);
        total += done;
        if (result == MPG123_NEED_MORE) {
            const int n = stream_->read(block, kFeedBlock);
            if (n < 0) {
                QF_LOG("Audio", lang::log::ERROR,
                       "AudioReader::readData_mp3() ANOMALOUS BUFFER READ, returned len: %d", n);
            }
            if (n <= 0 || mpg123_feed(mp3_, block, size_t(n)) != MPG123_OK) {
                break;
            }
        } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            break;  // an error or the end of the stream
        } else if (done == 0 && ++stalls > 2) {
            break;  // no progress without asking for input: give up this read
        }
    }
    return int(total);
}

}  // namespace audio
