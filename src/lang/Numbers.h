#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace lang {

/// value truncated toward zero into the signed integer type Int. Values beyond
/// Int's range saturate and NaN gives 0, where a plain cast would be undefined.
template <class Int, class Real>
Int truncateSaturating(Real value) {
    static_assert(std::is_integral<Int>::value && std::is_signed<Int>::value,
                  "the target is a signed integer type");
    static_assert(std::is_floating_point<Real>::value, "the source is a floating-point type");
    // -min is a power of two, which every floating-point type holds exactly.
    const Real limit = -static_cast<Real>(std::numeric_limits<Int>::min());
    if (!(value == value)) {
        return 0;
    }
    if (value >= limit) {
        return std::numeric_limits<Int>::max();
    }
    if (value <= -limit) {
        return std::numeric_limits<Int>::min();
    }
    return static_cast<Int>(value);
}

/// A script number as an int32: truncated toward zero, saturated, NaN as 0.
inline int32_t truncateToInt(float value) {
    return truncateSaturating<int32_t>(value);
}

/// value narrowed to float; doubles beyond float's range become infinities
/// instead of an undefined conversion. NaN stays NaN.
inline float toFloat(double value) {
    if (value > FLT_MAX) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -FLT_MAX) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

}  // namespace lang
