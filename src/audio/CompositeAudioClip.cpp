#include "audio/CompositeAudioClip.h"

#include <climits>
#include <cstdint>

namespace audio {

CompositeAudioClip::CompositeAudioClip(const std::vector<lang::Ptr<AudioClip>>& clips)
    : clips_(clips) {}

int CompositeAudioClip::read(void* buffer, int byteCount, AudioClipCursor& cursor) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    const int last = int(clips_.size()) - 1;
    int total = 0;
    while (total < byteCount && cursor.index >= 0 && cursor.index <= last) {
        const int n = clips_[size_t(cursor.index)]->read(out + total, byteCount - total, cursor);
        total += n;
        if (n > 0) {
            continue;
        }
        if (cursor.index == last) {
            break;
        }
        cursor.position = 0;
        ++cursor.index;
        // Only a read that got nothing at all goes on into the next member, so that
        // 0 still means the end of the whole clip.
        if (total > 0) {
            break;
        }
    }
    return total;
}

int CompositeAudioClip::getEncoding() const {
    return clips_.empty() ? 0 : clips_.front()->getEncoding();
}

int CompositeAudioClip::getChannels() const {
    return clips_.empty() ? 0 : clips_.front()->getChannels();
}

int CompositeAudioClip::getSamplesPerSecond() const {
    return clips_.empty() ? 0 : clips_.front()->getSamplesPerSecond();
}

int CompositeAudioClip::getBytesPerSecond() const {
    return clips_.empty() ? 0 : clips_.front()->getBytesPerSecond();
}

int CompositeAudioClip::getBlockAlign() const {
    return clips_.empty() ? 0 : clips_.front()->getBlockAlign();
}

int CompositeAudioClip::getBitsPerSample() const {
    return clips_.empty() ? 0 : clips_.front()->getBitsPerSample();
}

int CompositeAudioClip::getLength() const {
    int64_t sum = 0;
    for (const lang::Ptr<AudioClip>& clip : clips_) {
        const int length = clip->getLength();
        if (length == -1) {
            return -1;
        }
        sum += length;
    }
    return sum > INT_MAX ? INT_MAX : int(sum);
}

}  // namespace audio
