#pragma once

#include "audio/AudioClipCursor.h"
#include "audio/AudioFormat.h"
#include "audio/AudioReader.h"
#include "io/InputStream.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace audio {

/// A sound that can be played: PCM of a known format, read through a cursor so
/// that any number of voices can play it at once. Clips are read on the audio
/// output thread only while they play.
class AudioClip : public lang::Object {
public:
    /// A streamed clip: the data stays in the stream and is decoded while playing.
    AudioClip(const lang::Ptr<io::InputStream>& stream, int fileType);
    /// An in-memory clip: copies byteCount bytes of raw PCM in `format`.
    AudioClip(const void* bytes, int byteCount, const AudioFormat* format);
    ~AudioClip() override;

    /// Copies up to byteCount bytes from the cursor's position and advances it;
    /// returns the count copied, 0 at the end.
    virtual int read(void* buffer, int byteCount, AudioClipCursor& cursor);
    virtual int getEncoding() const;
    virtual int getChannels() const;
    virtual int getSamplesPerSecond() const;
    virtual int getBytesPerSecond() const;
    virtual int getBlockAlign() const;
    virtual int getBitsPerSample() const;
    /// Bytes of PCM, -1 when not known in advance.
    virtual int getLength() const;

    const lang::Ptr<AudioReader>& getReader() const { return reader_; }

protected:
    AudioClip() = default;

private:
    lang::Ptr<io::InputStream> stream_;
    lang::Ptr<AudioReader> reader_;
};

}  // namespace audio
