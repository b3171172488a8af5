#include "framework/TextDecoder.h"

#include "lang/Log.h"

namespace framework {

namespace {

bool isHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Reads one UTF-8 sequence at bytes[0..length); returns its size, 0 when invalid.
size_t readUtf8(const unsigned char* bytes, size_t length, uint32_t& codePoint) {
    const unsigned char lead = bytes[0];
    size_t size;
    uint32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        size = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        size = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        size = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (size > length) {
        return 0;
    }
    for (size_t i = 1; i < size; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return codePoint >= minimum && codePoint <= 0x10FFFF ? size : 0;
}

}  // namespace

int32_t Utf16Joiner::feed(uint16_t unit) {
    if (unit == 0xFFFF) {
        return -1;
    }
    if (hasPending_) {
        hasPending_ = false;
        if (isLowSurrogate(unit)) {
            return (pending_ - 0xD800) * 0x400 + (unit - 0xDC00) + 0x10000;
        }
        QF_LOG("Framework", lang::log::WARNING,
               "Invalid UTF-16 surrogate pair (%04X, %04X) received with WM_CHAR.",
               static_cast<unsigned>(pending_), static_cast<unsigned>(unit));
        return -1;
    }
    if (isLowSurrogate(unit)) {
        QF_LOG("Framework", lang::log::WARNING,
               "Received low surrogate (%04X) without existing high surrogate.",
               static_cast<unsigned>(unit));
        return -1;
    }
    if (isHighSurrogate(unit)) {
        pending_ = unit;
        hasPending_ = true;
        return -1;
    }
    return unit;
}

void decodeTypedText(const char* bytes, size_t length, Utf16Joiner& joiner,
                     const std::function<void(uint32_t)>& deliver) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
    size_t pos = 0;
    while (pos < length) {
        uint32_t codePoint = 0;
        const size_t size = readUtf8(in + pos, length - pos, codePoint);
        if (size == 0) {
            ++pos;
            continue;
        }
        pos += size;
        if (codePoint >= 0x10000) {
            deliver(codePoint);
            continue;
        }
        const int32_t joined = joiner.feed(static_cast<uint16_t>(codePoint));
        if (joined >= 0) {
            deliver(static_cast<uint32_t>(joined));
        }
    }
}

}  // namespace framework
