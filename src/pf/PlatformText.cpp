#include "pf/PlatformText.h"

#include <cctype>

#include "lang/Format.h"
#include "lang/String.h"
#include "util/SHA1.h"

namespace pf {
namespace text {

namespace {

// The leading decimal number of text from pos, advancing pos past it.
long readNumber(const std::string& text, size_t& pos) {
    long value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (value < 100000000) {
            value = value * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    return value;
}

bool allOf(const std::string& text, int (*test)(int)) {
    for (unsigned char c : text) {
        if (!test(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string osVersionFromRelease(const std::string& release) {
    long parts[3] = {0, 0, 0};
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        parts[i] = readNumber(release, pos);
        if (pos >= release.size() || release[pos] != '.') {
            break;
        }
        ++pos;
    }
    // The formatter prints numbers with %g, which turns large ones into exponents.
    return lang::format("{0}.{1}.{2}", std::to_string(parts[0]), std::to_string(parts[1]),
                        std::to_string(parts[2]));
}

std::string languageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* value = nullptr;
    for (const char* candidate : {lcAll, lcMessages, lang}) {
        if (candidate != nullptr && *candidate != '\0') {
            value = candidate;
            break;
        }
    }
    if (value == nullptr) {
        return "en_US";
    }
    // language[_territory][.codeset][@modifier]
    std::string name(value);
    name = name.substr(0, name.find_first_of(".@"));
    size_t underscore = name.find('_');
    if (underscore == std::string::npos) {
        return "en_US";
    }
    std::string language = name.substr(0, underscore);
    std::string country = name.substr(underscore + 1);
    bool languageOk = language.size() >= 2 && language.size() <= 3 && allOf(language, islower);
    bool countryOk = (country.size() == 2 && allOf(country, isupper)) ||
                     (country.size() == 3 && allOf(country, isdigit));
    return languageOk && countryOk ? language + "_" + country : "en_US";
}

std::string deviceIdFromMachineId(const std::string& machineId, bool available) {
    std::string id = lang::trim(machineId);
    std::string base = available && !id.empty() ? util::sha1Hex(id) : "unavailable";
    return util::sha1Hex(base);
}

std::string formatRandomUUID(const uint8_t (&bytes)[16]) {
    static const char* const hex = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < 16; ++i) {
        uint8_t b = bytes[i];
        if (i == 6) {
            b = static_cast<uint8_t>((b & 0x0f) | 0x40);  // version 4
        } else if (i == 8) {
            b = static_cast<uint8_t>((b & 0x3f) | 0x80);  // RFC 4122 variant
        }
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            out.push_back('-');
        }
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 15]);
    }
    return out;
}

}  // namespace text
}  // namespace pf
