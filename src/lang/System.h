#pragma once

#include <cstdint>

namespace lang {

class System {
public:
    /// Monotonic clocks from an arbitrary fixed origin.
    static int64_t currentTimeMillis();
    static int64_t currentTimeMicros();
    /// Milliseconds since 1970: the monotonic clock plus an offset fixed on first
    /// use, so it never runs backwards within a run (one-second anchoring).
    static int64_t wallClockMillis();
};

}  // namespace lang
