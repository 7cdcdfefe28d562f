#include "platform/kernel/Time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/kernel/Core.h"

namespace {

int64_t value_of(const FILETIME& t) {
    return static_cast<int64_t>((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

SYSTEMTIME make(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0, WORD ms = 0) {
    SYSTEMTIME t;
    t.wYear = y;
    t.wMonth = mo;
    t.wDay = d;
    t.wHour = h;
    t.wMinute = mi;
    t.wSecond = s;
    t.wMilliseconds = ms;
    return t;
}

DWORD fixed_ticks() {
    return 0xFFFFFFF0u;
}

TEST(KernelTime, TickCountFollowsTheClockOrTheInjectedSource) {
    DWORD before = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
    platform::set_tick_source(fixed_ticks);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    platform::set_tick_source(nullptr);
    EXPECT_LT(GetTickCount() - before, 5000u);
}

TEST(KernelTime, SystemTimeToFileTimeCountsFrom1601) {
    struct Case {
        SYSTEMTIME time;
        int64_t expected;  // -1: refused
    } cases[] = {
        {make(1601, 1, 1), 0},
        {make(1970, 1, 1), 116444736000000000LL},
        {make(1970, 1, 1, 0, 0, 0, 1), 116444736000010000LL},
        {make(2000, 3, 1, 12, 30, 15), 125963874150000000LL},
        {make(2024, 2, 29), 133536384000000000LL},
        {make(2023, 2, 29), -1},
        {make(2024, 13, 1), -1},
        {make(2024, 1, 1, 24), -1},
        {make(1600, 12, 31), -1},
    };
    for (const Case& c : cases) {
        FILETIME out;
        BOOL ok = SystemTimeToFileTime(&c.time, &out);
        if (c.expected < 0) {
            EXPECT_FALSE(ok) << c.time.wYear << "-" << c.time.wMonth << "-" << c.time.wDay;
            EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        } else {
            ASSERT_TRUE(ok);
            EXPECT_EQ(value_of(out), c.expected) << c.time.wYear;
        }
    }
}

class TimeZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        had = tz != nullptr;
        saved = tz ? tz : "";
    }
    void TearDown() override {
        had ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    void use(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    bool had = false;
    std::string saved;
};

TEST_F(TimeZone, LocalFileTimeAddsTheZoneOffsetOfThatMoment) {
    SYSTEMTIME winter = make(2024, 1, 15, 12);
    SYSTEMTIME summer = make(2024, 7, 15, 12);
    FILETIME utc_winter, utc_summer, local;
    ASSERT_TRUE(SystemTimeToFileTime(&winter, &utc_winter));
    ASSERT_TRUE(SystemTimeToFileTime(&summer, &utc_summer));
    constexpr int64_t hour = 36000000000LL;
    use("UTC0");
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc_winter, &local));
    EXPECT_EQ(value_of(local), value_of(utc_winter));
    use("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc_winter, &local));
    EXPECT_EQ(value_of(local) - value_of(utc_winter), hour);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc_summer, &local));
    EXPECT_EQ(value_of(local) - value_of(utc_summer), 2 * hour);
}

TEST_F(TimeZone, LocalTimeIsTheClockInTheZone) {
    use("UTC0");
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME as_file;
    ASSERT_TRUE(SystemTimeToFileTime(&now, &as_file));
    int64_t expected = (int64_t(std::time(nullptr)) + 11644473600LL) * 10000000LL;
    EXPECT_LT(std::llabs(value_of(as_file) - expected), 20000000LL);
    struct tm parts;
    time_t seconds = std::time(nullptr);
    gmtime_r(&seconds, &parts);
    EXPECT_EQ(now.wDayOfWeek, parts.tm_wday);
}

}  // namespace
