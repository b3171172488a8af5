#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace audio {

/// One playback position in a clip, so that many voices can play one clip.
class AudioClipCursor : public lang::Object {
public:
    int32_t position = 0;  // byte offset in the PCM data of the current clip
    int32_t index = 0;     // current member of a composite clip

    void rewind() {
        position = 0;
        index = 0;
    }
};

}  // namespace audio
