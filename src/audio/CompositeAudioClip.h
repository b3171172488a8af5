#pragma once

#include <vector>

#include "audio/AudioClip.h"

namespace audio {

/// Plays its member clips one after another. The format is the first member's.
class CompositeAudioClip : public AudioClip {
public:
    explicit CompositeAudioClip(const std::vector<lang::Ptr<AudioClip>>& clips);

    /// A read that reaches the end of a member returns what it has; the next read
    /// starts at the next member. 0 only at the end of the last member.
    int read(void* buffer, int byteCount, AudioClipCursor& cursor) override;
    int getEncoding() const override;
    int getChannels() const override;
    int getSamplesPerSecond() const override;
    int getBytesPerSecond() const override;
    int getBlockAlign() const override;
    int getBitsPerSample() const override;
    /// The sum of the members' lengths, -1 if one of them is unknown.
    int getLength() const override;

    const std::vector<lang::Ptr<AudioClip>>& getClips() const { return clips_; }

private:
    std::vector<lang::Ptr<AudioClip>> clips_;
};

}  // namespace audio
