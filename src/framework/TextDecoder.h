#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace framework {

/// Joins UTF-16 units into code points, one unit at a time, as typed characters
/// arrive. Broken surrogate sequences are logged and dropped.
class Utf16Joiner {
public:
    /// The code point completed by this unit, or -1 when there is none yet (a
    /// pending high surrogate, a dropped unit, or 0xFFFF, which means "no character").
    int32_t feed(uint16_t unit);
    bool hasPending() const { return hasPending_; }

private:
    uint16_t pending_ = 0;
    bool hasPending_ = false;
};

/// Decodes typed text (UTF-8 bytes, not NUL-terminated) and hands each code point
/// to deliver. Invalid bytes are skipped one at a time; encoded surrogates go
/// through joiner so that a split pair still combines.
void decodeTypedText(const char* bytes, size_t length, Utf16Joiner& joiner,
                     const std::function<void(uint32_t)>& deliver);

}  // namespace framework
