#pragma once
// Times and counts that come from files or callers, turned into int positions without
// ever leaving the int range (a cast of an out-of-range double is undefined).
#include <climits>
#include <cmath>
#include <cstdint>

namespace audio {

// Truncates toward zero like a cast; NaN gives 0 and values beyond the range give its ends.
inline int truncate_to_int(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

inline int clamp_to_int(int64_t value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}  // namespace audio
