#include "base/DateTime.h"

#include "platform/kernel/Time.h"

namespace skinner {

namespace {

constexpr int64_t ticks_per_millisecond = 10000;
constexpr int64_t milliseconds_1601_to_1970 = 11644473600000;  // the FILETIME of 1970 / 10000

}  // namespace

DateTime::DateTime(const FILETIME& time)
    : value_(static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime)) {}

DateTime::DateTime(const SYSTEMTIME& time) {
    FILETIME file_time;
    if (SystemTimeToFileTime(&time, &file_time)) {
        *this = DateTime(file_time);
    }
}

DateTime DateTime::now() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    return DateTime(time);
}

int64_t DateTime::milliseconds_since_1970() const {
    // (value - 1970) / 10000 without the subtraction, which overflows near the lowest values:
    // divide first, then correct the truncation of the remainder.
    int64_t quotient = value_ / ticks_per_millisecond - milliseconds_1601_to_1970;
    int64_t remainder = value_ % ticks_per_millisecond;
    if (quotient > 0 && remainder < 0) {
        return quotient - 1;
    }
    if (quotient < 0 && remainder > 0) {
        return quotient + 1;
    }
    return quotient;
}

}  // namespace skinner
