#pragma once

#include <cstddef>
#include <cstdint>

#include "lang/Object.h"

namespace lang {

/// Converts between code points and the bytes of one encoding.
class Converter : public Object {
public:
    /// Reads one code point from [begin, end); false if none could be read.
    virtual bool decode(const uint8_t* begin, const uint8_t* end, size_t& bytesRead,
                        uint32_t& codePoint) const = 0;
    /// Writes one code point into [begin, end); false if it does not fit or is
    /// not representable.
    virtual bool encode(uint8_t* begin, uint8_t* end, size_t& bytesWritten,
                        uint32_t codePoint) const = 0;
};

class UTFConverter : public Converter {
public:
    enum Encoding {
        ENCODING_UNKNOWN = 0,
        ENCODING_ASCII = 1,  // single bytes; encodes only code points below 128
        ENCODING_UTF8 = 2,
        ENCODING_UTF16 = 3,  // machine order, stored as ENCODING_UTF16LE
        ENCODING_UTF16BE = 4,
        ENCODING_UTF16LE = 5,
        ENCODING_UTF32 = 6,  // machine order, stored as ENCODING_UTF32LE
        ENCODING_UTF32BE = 7,
        ENCODING_UTF32LE = 8,
    };

    explicit UTFConverter(int encoding);
    int encoding() const { return encoding_; }

    bool decode(const uint8_t* begin, const uint8_t* end, size_t& bytesRead,
                uint32_t& codePoint) const override;
    bool encode(uint8_t* begin, uint8_t* end, size_t& bytesWritten,
                uint32_t codePoint) const override;

    /// Bytes skipped after an undecodable unit: 1, 2 or 4.
    size_t unitSize() const;

private:
    int encoding_;
};

}  // namespace lang
