#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace net {

/// The time server's answer: the date of today and the seconds to the next day.
struct TimeStamp {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t secondsToNext = 0;
};

/// Reads "today,YYYY-MM-DD" and "seconds-to-next,N" pairs (any order, other
/// tokens ignored) from the comma-separated answer. Numbers that cannot be read
/// count as 0; short or odd tokens are read as far as they go. Never fails.
TimeStamp parseTimeStampAnswer(const char* data, size_t size);
TimeStamp parseTimeStampAnswer(const std::string& text);

}  // namespace net
