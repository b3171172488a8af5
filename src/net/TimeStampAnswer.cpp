#include "net/TimeStampAnswer.h"

#include <cctype>
#include <climits>
#include <vector>

namespace net {

namespace {

// Like atoi on the characters [offset, offset + length) of text, without reading
// past its end and saturating instead of overflowing.
int32_t readInt(const std::string& text, size_t offset, size_t length) {
    if (offset >= text.size()) {
        return 0;
    }
    std::string part = text.substr(offset, length);
    size_t i = 0;
    while (i < part.size() && std::isspace(static_cast<unsigned char>(part[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) {
        negative = part[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < part.size() && std::isdigit(static_cast<unsigned char>(part[i])); ++i) {
        value = value * 10 + (part[i] - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) {
            value = static_cast<int64_t>(INT_MAX) + 1;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return static_cast<int32_t>(value);
}

std::vector<std::string> tokens(const char* data, size_t size) {
    std::vector<std::string> result;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == ',') {
            result.push_back(current);
            current.clear();
        } else {
            current.push_back(data[i]);
        }
    }
    if (!current.empty()) {
        result.push_back(current);  // a trailing ',' adds no empty token
    }
    return result;
}

}  // namespace

TimeStamp parseTimeStampAnswer(const char* data, size_t size) {
    TimeStamp stamp;
    std::vector<std::string> list = tokens(data, size);
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        const std::string& next = list[i + 1];
        if (list[i] == "today") {
            stamp.year = readInt(next, 0, 4);
            stamp.month = readInt(next, 5, 2);
            stamp.day = readInt(next, 8, 2);
        } else if (list[i] == "seconds-to-next") {
            stamp.secondsToNext = readInt(next, 0, std::string::npos);
        }
    }
    return stamp;
}

TimeStamp parseTimeStampAnswer(const std::string& text) {
    return parseTimeStampAnswer(text.data(), text.size());
}

}  // namespace net
