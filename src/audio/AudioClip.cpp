#include "audio/AudioClip.h"

#include "io/ByteArrayInputStream.h"

namespace audio {

AudioClip::AudioClip(const lang::Ptr<io::InputStream>& stream, int fileType)
    : stream_(stream), reader_(new AudioReader(stream, fileType)) {}

AudioClip::AudioClip(const void* bytes, int byteCount, const AudioFormat* format)
    : stream_(new io::ByteArrayInputStream(bytes, byteCount)),
      reader_(new AudioReader(stream_, AudioReader::TYPE_RAW, format)) {}

AudioClip::~AudioClip() = default;

int AudioClip::read(void* buffer, int byteCount, AudioClipCursor& cursor) {
    const int n = reader_->readData(buffer, cursor.position, byteCount);
    cursor.position += n;
    return n;
}

int AudioClip::getEncoding() const {
    return reader_->getEncoding();
}
int AudioClip::getChannels() const {
    return reader_->getChannels();
}
int AudioClip::getSamplesPerSecond() const {
    return reader_->getSamplesPerSecond();
}
int AudioClip::getBytesPerSecond() const {
    return reader_->getBytesPerSecond();
}
int AudioClip::getBlockAlign() const {
    return reader_->getBlockAlign();
}
int AudioClip::getBitsPerSample() const {
    return reader_->getBitsPerSample();
}
int AudioClip::getLength() const {
    return reader_->getDataLength();
}

}  // namespace audio
