#include "lang/Format.h"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "lang/Exception.h"

namespace lang {

namespace {

// printf into a std::string, sized by a measuring pass.
std::string printNumber(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string printNumber(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&out[0], out.size(), fmt, again);
        out.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return out;
}

// Truncation toward zero that saturates instead of overflowing.
template <class Int>
Int truncateTo(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double low = static_cast<double>(std::numeric_limits<Int>::min());
    const double high = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= low) {
        return std::numeric_limits<Int>::min();
    }
    if (value >= high) {
        return std::numeric_limits<Int>::max();
    }
    return static_cast<Int>(value);
}

std::string formatInteger(double value, char conversion) {
    char fmt[8];
    std::snprintf(fmt, sizeof(fmt), "%%%c", conversion);
    if (conversion == 'd' || conversion == 'i') {
        return printNumber(fmt, truncateTo<int32_t>(value));
    }
    uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(truncateTo<int64_t>(value)));
    return printNumber(fmt, low);
}

}  // namespace

void Formattable::appendTo(std::string& out, const std::string& spec) const {
    if (kind_ == KIND_TEXT) {
        out += text_;
        return;
    }
    if (kind_ != KIND_NUMBER) {
        return;
    }
    int zeros = 0;
    int decimals = 0;
    bool fraction = false;
    bool integerPart = false;
    for (char c : spec) {
        if (c == 'd' || c == 'i' || c == 'x' || c == 'X') {
            out += formatInteger(number_, c);
            return;
        }
        if (c == '.') {
            fraction = true;
        } else if ((c == '0' || c == '#') && fraction) {
            ++decimals;
        } else if (c == '0' || c == '#') {
            zeros += c == '0';
            integerPart = true;
        }
    }
    char fmt[32];
    if (decimals > 0 || integerPart) {
        if (zeros > 0) {
            std::snprintf(fmt, sizeof(fmt), "%%0%i.%if", zeros, decimals);
        } else {
            std::snprintf(fmt, sizeof(fmt), "%%.%if", decimals);
        }
    } else {
        std::snprintf(fmt, sizeof(fmt), "%%g");
    }
    out += printNumber(fmt, number_);
}

Format::Format(const std::string& pattern, const Formattable& a0, const Formattable& a1)
    : pattern_(pattern), argc_(2) {
    args_[0] = a0;
    args_[1] = a1;
}

Format::Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
               const Formattable& a2)
    : pattern_(pattern), argc_(3) {
    args_[0] = a0;
    args_[1] = a1;
    args_[2] = a2;
}

Format::Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
               const Formattable& a2, const Formattable& a3)
    : pattern_(pattern), argc_(4) {
    args_[0] = a0;
    args_[1] = a1;
    args_[2] = a2;
    args_[3] = a3;
}

Format::Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
               const Formattable& a2, const Formattable& a3, const Formattable& a4)
    : pattern_(pattern), argc_(5) {
    args_[0] = a0;
    args_[1] = a1;
    args_[2] = a2;
    args_[3] = a3;
    args_[4] = a4;
}

std::string Format::format() const {
    std::string out;
    size_t capacity = 512;
    while (!formatInto(out, capacity)) {
        capacity *= 2;
    }
    return out;
}

// Handles the placeholder whose '{' is just before pos; returns the position
// after its '}'.
size_t Format::placeholder(std::string& out, size_t pos) const {
    size_t close = pattern_.find('}', pos);
    const char* error = nullptr;
    if (close == std::string::npos) {
        error = "Failed to format \"{0}\", '}' not found after {1}";
    } else if (close == pos) {
        error = "Failed to format \"{0}\", argument index not found at {1}";
    } else if (pattern_[pos] < '0' || pattern_[pos] > '9') {
        error = "Failed to format \"{0}\", digit expected at {1}";
    } else if (pattern_[pos] - '0' >= argc_) {
        error = "Failed to format \"{0}\", invalid argument index at {1}";
    }
    if (error) {
        throw FormatException(Format(error, pattern_, pos));
    }
    size_t specBegin = pos + 1;
    if (pattern_[specBegin] == ',') {
        ++specBegin;
    }
    args_[pattern_[pos] - '0'].appendTo(out, pattern_.substr(specBegin, close - specBegin));
    return close + 1;
}

bool Format::formatInto(std::string& out, size_t capacity) const {
    out.clear();
    out.reserve(capacity);
    bool escaped = false;
    size_t i = 0;
    while (i < pattern_.size()) {
        if (out.size() + 1 > capacity) {
            return false;
        }
        char c = pattern_[i];
        if (c == '\\' && !escaped) {
            escaped = true;
            ++i;
        } else if (c == '{' && !escaped && i + 1 < pattern_.size()) {
            i = placeholder(out, i + 1);
        } else {
            out += c;
            escaped = false;
            ++i;
        }
    }
    return out.size() + 1 <= capacity;
}

}  // namespace lang
