// The UTF converters. The first byte picks an encoding and a room; the rest is
// text in it. Decoding any bytes stays inside them and consumes one to four
// bytes; encoding never writes past the room it is given, and what it wrote
// decodes to the same code point. Text that is well-formed UTF-8 survives the
// trip through code points and through UTF-16.
#include <cstring>

#include "FuzzSupport.h"
#include "lang/String.h"
#include "lang/UTFConverter.h"

namespace {

// An independent check of well-formed UTF-8: shortest forms, no surrogates,
// nothing above U+10FFFF.
bool wellFormed(const std::string& s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const uint8_t b = p[i];
        size_t extra;
        uint32_t cp, min;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (n - i <= extra) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

// UTF-16 decodes a high surrogate with any unit after it, unchecked, so its
// code points need not fit UTF-16 again; nor does a high surrogate alone.
bool representable(const lang::UTFConverter& converter, uint32_t cp) {
    if (converter.unitSize() != 2) {
        return true;
    }
    return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDBFF);
}

const int kEncodings[] = {
    lang::UTFConverter::ENCODING_ASCII,   lang::UTFConverter::ENCODING_UTF8,
    lang::UTFConverter::ENCODING_UTF16BE, lang::UTFConverter::ENCODING_UTF16LE,
    lang::UTFConverter::ENCODING_UTF32BE, lang::UTFConverter::ENCODING_UTF32LE,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t pick = in.byte();
    const lang::UTFConverter converter(kEncodings[pick % 6]);
    const size_t room = pick / 6 % 6;  // 0 to 5 bytes: too small for some
    const std::vector<uint8_t> bytes = in.rest();

    // Decode the bytes as that encoding, and write each code point back in a
    // room of exactly `room` bytes.
    const uint8_t* p = bytes.data();
    const uint8_t* end = p + bytes.size();
    while (p < end) {
        size_t read = 0;
        uint32_t cp = 0;
        if (!converter.decode(p, end, read, cp)) {
            p += converter.unitSize();
            continue;
        }
        QF_FUZZ_CHECK(read >= 1 && read <= 4 && read <= size_t(end - p),
                      std::to_string(read) + " bytes read of " + std::to_string(end - p));
        std::vector<uint8_t> out(room);
        size_t written = 0;
        if (room > 0 && converter.encode(out.data(), out.data() + room, written, cp) &&
            representable(converter, cp)) {
            QF_FUZZ_CHECK(written >= 1 && written <= room, std::to_string(written));
            size_t again = 0;
            uint32_t back = 0;
            QF_FUZZ_CHECK(converter.decode(out.data(), out.data() + written, again, back) &&
                              again == written && back == cp,
                          "U+" + std::to_string(cp) + " does not read back");
        }
        p += read;
    }

    const std::string text(bytes.begin(), bytes.end());
    const std::u32string cps = lang::toUTF32(text);
    for (char32_t c : cps) {
        QF_FUZZ_CHECK(c < 0x200000, std::to_string(uint32_t(c)));
    }
    // Whatever was decoded is encoded and decoded to itself.
    QF_FUZZ_CHECK(lang::toUTF32(lang::toUTF8(cps)) == cps, "code points change on a second trip");
    lang::toUTF8(lang::toUTF16(text));
    if (wellFormed(text)) {
        QF_FUZZ_CHECK(lang::toUTF8(cps) == text, "well-formed text changes: " + text);
        QF_FUZZ_CHECK(lang::toUTF8(lang::toUTF16u(text)) == text,
                      "well-formed text changes through UTF-16: " + text);
        QF_FUZZ_CHECK(lang::toUTF8(lang::toUTF16(text)) == text,
                      "well-formed text changes through wide text: " + text);
    }
    // Any UTF-16 units: what they decode to is written as UTF-8.
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(char16_t(bytes[i] | bytes[i + 1] << 8));
    }
    lang::toUTF8(units);
    return 0;
}
