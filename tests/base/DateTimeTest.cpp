#include "base/DateTime.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/kernel/Time.h"

namespace skinner {
namespace {

constexpr int64_t epoch_1970 = 116444736000000000;

TEST(DateTime, MillisecondsSince1970TruncateTowardZero) {
    struct Case {
        int64_t raw;
        int64_t milliseconds;
    };
    const Case cases[] = {
        {epoch_1970, 0},
        {epoch_1970 + 10000, 1},
        {epoch_1970 + 9999, 0},
        {epoch_1970 - 9999, 0},
        {epoch_1970 - 10000, -1},
        {epoch_1970 - 10001, -1},
        {epoch_1970 + 20001, 2},
        {0, -11644473600000},
        {5, -11644473599999},
        {-5, -11644473600000},
        {INT64_MAX, (INT64_MAX - epoch_1970) / 10000},
        {INT64_MIN, INT64_MIN / 10000 - 11644473600000},  // no overflow
    };
    for (const Case& c : cases) {
        DateTime t;
        t.set(c.raw);
        EXPECT_EQ(t.milliseconds_since_1970(), c.milliseconds) << c.raw;
    }
}

TEST(DateTime, FromFileTimeAndSystemTime) {
    FILETIME file_time{0x89ABCDEF, 0x01234567};
    EXPECT_EQ(DateTime(file_time).value(), 0x0123456789ABCDEFLL);
    SYSTEMTIME epoch{};
    epoch.wYear = 1970;
    epoch.wMonth = 1;
    epoch.wDay = 1;
    EXPECT_EQ(DateTime(epoch).value(), epoch_1970);
    SYSTEMTIME invalid = epoch;
    invalid.wMonth = 13;
    EXPECT_EQ(DateTime(invalid).value(), 0);
}

TEST(DateTime, NowIsTheLocalTime) {
    SYSTEMTIME before{};
    GetLocalTime(&before);
    DateTime now = DateTime::now();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    EXPECT_GE(now.value(), DateTime(before).value());
    EXPECT_LE(now.value(), DateTime(after).value());
    EXPECT_GT(now.milliseconds_since_1970(), 0);
}

}  // namespace
}  // namespace skinner
