#pragma once

#include <cstddef>

namespace game {

/// Clamps a range of a text of `length` units: `start` into [0, length] and
/// `count` into [0, length - start].
inline void clampTextRange(size_t length, int& start, int& count) {
    const long long len = static_cast<long long>(length);
    long long s = start < 0 ? 0 : start;
    if (s > len) {
        s = len;
    }
    long long c = count < 0 ? 0 : count;
    if (c > len - s) {
        c = len - s;
    }
    start = static_cast<int>(s);
    count = static_cast<int>(c);
}

}  // namespace game
