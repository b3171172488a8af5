#include "lang/UTFConverter.h"

namespace lang {

namespace {

// Only well-formed sequences decode, so that a stray lead byte cannot swallow
// the characters after it: continuations must be 10xxxxxx, and overlong forms
// and surrogates fail.
bool decodeUTF8(const uint8_t* p, size_t avail, size_t& bytes, uint32_t& cp) {
    static const uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    uint8_t lead = p[0];
    size_t extra;
    uint32_t value;
    if (lead < 0x80) {
        bytes = 1;
        cp = lead;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return false;
    }
    if (avail < extra + 1) {
        return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return false;
        }
        value = (value << 6) | (p[k] & 0x3F);
    }
    if (value < kShortest[extra] || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    bytes = extra + 1;
    cp = value;
    return true;
}

bool encodeUTF8(uint8_t* p, size_t room, size_t& bytes, uint32_t cp) {
    size_t n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : cp < 0x200000 ? 4 : 0;
    if (n == 0 || room < n) {
        return false;
    }
    static const uint8_t leads[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    for (size_t k = n - 1; k > 0; --k) {
        p[k] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        cp >>= 6;
    }
    p[0] = static_cast<uint8_t>(leads[n] | cp);
    bytes = n;
    return true;
}

uint32_t readUnit(const uint8_t* p, size_t size, bool bigEndian) {
    uint32_t v = 0;
    for (size_t k = 0; k < size; ++k) {
        uint32_t byte = p[bigEndian ? k : size - 1 - k];
        v = (v << 8) | byte;
    }
    return v;
}

void writeUnit(uint8_t* p, size_t size, bool bigEndian, uint32_t v) {
    for (size_t k = 0; k < size; ++k) {
        p[bigEndian ? size - 1 - k : k] = static_cast<uint8_t>(v & 0xFF);
        v >>= 8;
    }
}

bool decodeUTF16(const uint8_t* p, size_t avail, bool be, size_t& bytes, uint32_t& cp) {
    if (avail < 2) {
        return false;
    }
    uint32_t high = readUnit(p, 2, be);
    if (high < 0xD800 || high > 0xDBFF) {
        bytes = 2;
        cp = high;
        return true;
    }
    if (avail < 4) {
        return false;
    }
    uint32_t low = readUnit(p + 2, 2, be);
    cp = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    bytes = 4;
    return true;
}

bool encodeUTF16(uint8_t* p, size_t room, bool be, size_t& bytes, uint32_t cp) {
    if (cp > 0x10FFFF) {
        return false;  // no surrogate pair reaches it
    }
    if (cp < 0x10000) {
        if (room < 2) {
            return false;
        }
        writeUnit(p, 2, be, cp);
        bytes = 2;
        return true;
    }
    if (room < 4) {
        return false;
    }
    writeUnit(p, 2, be, 0xD800 + ((cp - 0x10000) >> 10));
    writeUnit(p + 2, 2, be, 0xDC00 + (cp & 0x3FF));
    bytes = 4;
    return true;
}

}  // namespace

UTFConverter::UTFConverter(int encoding) : encoding_(encoding) {
    if (encoding_ == ENCODING_UTF16) {
        encoding_ = ENCODING_UTF16LE;
    } else if (encoding_ == ENCODING_UTF32) {
        encoding_ = ENCODING_UTF32LE;
    }
}

size_t UTFConverter::unitSize() const {
    switch (encoding_) {
        case ENCODING_UTF16BE:
        case ENCODING_UTF16LE:
            return 2;
        case ENCODING_UTF32BE:
        case ENCODING_UTF32LE:
            return 4;
        default:
            return 1;
    }
}

bool UTFConverter::decode(const uint8_t* begin, const uint8_t* end, size_t& bytesRead,
                          uint32_t& codePoint) const {
    if (!begin || !end || end <= begin) {
        return false;
    }
    size_t avail = static_cast<size_t>(end - begin);
    switch (encoding_) {
        case ENCODING_ASCII:
            bytesRead = 1;
            codePoint = begin[0];
            return true;
        case ENCODING_UTF8:
            return decodeUTF8(begin, avail, bytesRead, codePoint);
        case ENCODING_UTF16BE:
        case ENCODING_UTF16LE:
            return decodeUTF16(begin, avail, encoding_ == ENCODING_UTF16BE, bytesRead, codePoint);
        case ENCODING_UTF32BE:
        case ENCODING_UTF32LE:
            if (avail < 4) {
                return false;
            }
            codePoint = readUnit(begin, 4, encoding_ == ENCODING_UTF32BE);
            bytesRead = 4;
            return true;
        default:
            return false;
    }
}

bool UTFConverter::encode(uint8_t* begin, uint8_t* end, size_t& bytesWritten,
                          uint32_t codePoint) const {
    if (!begin || !end || end <= begin) {
        return false;
    }
    size_t room = static_cast<size_t>(end - begin);
    switch (encoding_) {
        case ENCODING_ASCII:
            if (codePoint >= 128) {
                return false;
            }
            begin[0] = static_cast<uint8_t>(codePoint);
            bytesWritten = 1;
            return true;
        case ENCODING_UTF8:
            return encodeUTF8(begin, room, bytesWritten, codePoint);
        case ENCODING_UTF16BE:
        case ENCODING_UTF16LE:
            return encodeUTF16(begin, room, encoding_ == ENCODING_UTF16BE, bytesWritten, codePoint);
        case ENCODING_UTF32BE:
        case ENCODING_UTF32LE:
            if (room < 4) {
                return false;
            }
            writeUnit(begin, 4, encoding_ == ENCODING_UTF32BE, codePoint);
            bytesWritten = 4;
            return true;
        default:
            return false;
    }
}

}  // namespace lang
