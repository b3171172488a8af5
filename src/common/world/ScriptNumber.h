#pragma once

#include <cstdint>

/// A script number truncated toward zero as an int32. Values outside the range
/// saturate and NaN gives 0, where a plain cast would be undefined.
inline int32_t truncateNumber(float value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= 2147483647.0f) {
        return INT32_MAX;
    }
    if (value <= -2147483648.0f) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}
