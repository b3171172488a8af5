#include "lang/String.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

#include "lang/UTFConverter.h"

namespace lang {

namespace {

// Walks the source with one converter and re-encodes with the other; an
// undecodable unit is skipped.
std::string convert(const uint8_t* data, size_t size, int from, int to) {
    UTFConverter source(from);
    UTFConverter target(to);
    std::string out;
    out.reserve(size);
    size_t pos = 0;
    while (pos < size) {
        size_t read = 0;
        uint32_t cp = 0;
        if (!source.decode(data + pos, data + size, read, cp)) {
            pos += source.unitSize();
            continue;
        }
        pos += read;
        uint8_t buffer[8];
        size_t written = 0;
        if (target.encode(buffer, buffer + sizeof(buffer), written, cp)) {
            out.append(reinterpret_cast<const char*>(buffer), written);
        }
    }
    return out;
}

std::string fromUTF8(const std::string& utf8, int to) {
    return convert(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(),
                   UTFConverter::ENCODING_UTF8, to);
}

template <class Units>
std::string unitsToUTF8(const Units& units, size_t unitSize, int from) {
    std::string bytes;
    bytes.reserve(units.size() * unitSize);
    for (auto unit : units) {
        uint32_t v = static_cast<uint32_t>(unit);
        for (size_t k = 0; k < unitSize; ++k) {
            bytes += static_cast<char>((v >> (8 * k)) & 0xFF);
        }
    }
    return convert(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), from,
                   UTFConverter::ENCODING_UTF8);
}

template <class Units>
Units bytesToUnits(const std::string& bytes, size_t unitSize) {
    Units units;
    units.reserve(bytes.size() / unitSize);
    for (size_t pos = 0; pos + unitSize <= bytes.size(); pos += unitSize) {
        uint32_t v = 0;
        for (size_t k = unitSize; k > 0; --k) {
            v = (v << 8) | static_cast<uint8_t>(bytes[pos + k - 1]);
        }
        units.push_back(static_cast<typename Units::value_type>(v));
    }
    return units;
}

}  // namespace

std::string toString(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%d", value);
    return buffer;
}

std::string toLowerCase(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string toUpperCase(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trim(const std::string& text) {
    static const char blanks[] = " \n\t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> fields;
    if (separator.empty()) {
        // An empty separator would match everywhere; the text stays whole.
        fields.push_back(text);
        return fields;
    }
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

std::wstring toUTF16(const std::string& utf8) {
    return bytesToUnits<std::wstring>(fromUTF8(utf8, UTFConverter::ENCODING_UTF16LE), 2);
}

std::u16string toUTF16u(const std::string& utf8) {
    return bytesToUnits<std::u16string>(fromUTF8(utf8, UTFConverter::ENCODING_UTF16LE), 2);
}

std::string toUTF8(const std::u16string& utf16) {
    return unitsToUTF8(utf16, 2, UTFConverter::ENCODING_UTF16LE);
}

std::string toUTF8(const std::wstring& utf16) {
    // A native 32-bit wide character above 0xFFFF is a code point of its own:
    // pass it on as a surrogate pair.
    std::u16string units;
    units.reserve(utf16.size());
    for (wchar_t w : utf16) {
        uint32_t v = static_cast<uint32_t>(w);
        if (v < 0x10000) {
            units.push_back(static_cast<char16_t>(v));
        } else if (v < 0x110000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((v - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
    return toUTF8(units);
}

std::string toUTF8(const std::u32string& codePoints) {
    return unitsToUTF8(codePoints, 4, UTFConverter::ENCODING_UTF32LE);
}

std::u32string toUTF32(const std::string& utf8) {
    return bytesToUnits<std::u32string>(fromUTF8(utf8, UTFConverter::ENCODING_UTF32LE), 4);
}

}  // namespace lang
