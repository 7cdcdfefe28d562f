#pragma once
// A point in time as the platform's FILETIME count: 100-ns intervals since 1601-01-01,
// local time wherever the system makes one.
#include <cstdint>

#include "platform/Types.h"

namespace skinner {

class DateTime {
public:
    DateTime() = default;
    explicit DateTime(const FILETIME& time);
    // 0 when the fields are not a valid date and time.
    explicit DateTime(const SYSTEMTIME& time);

    // The current local time.
    static DateTime now();

    void set(int64_t value) { value_ = value; }
    int64_t value() const { return value_; }

    // Milliseconds since 1970-01-01, truncated toward zero.
    int64_t milliseconds_since_1970() const;

private:
    int64_t value_ = 0;
};

}  // namespace skinner
