#include "platform/kernel/Time.h"

#include <atomic>
#include <chrono>
#include <ctime>

#include "platform/kernel/Core.h"

namespace {

std::atomic<platform::TickSource> tick_source{nullptr};

DWORD real_ticks() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

DWORD GetTickCount() {
    platform::TickSource source = tick_source.load();
    return source ? source() : real_ticks();
}

namespace platform {

void set_tick_source(TickSource source) {
    tick_source.store(source);
}

}  // namespace platform

namespace {

constexpr int64_t ticks_per_second = 10000000;
constexpr int64_t seconds_1601_to_1970 = 11644473600LL;

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t year_of_era = year - era * 400;
    int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

int64_t value_of(const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

FILETIME filetime_of(int64_t value) {
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(value));
    t.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(value) >> 32);
    return t;
}

}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) {
        return;
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* s, FILETIME* file_time) {
    if (!s || !file_time || s->wYear < 1601 || s->wYear > 30827 || s->wMonth < 1 || s->wMonth > 12 || s->wDay < 1 ||
        s->wDay > days_in_month(s->wYear, s->wMonth) || s->wHour > 23 || s->wMinute > 59 || s->wSecond > 59 ||
        s->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t seconds = (days_from_civil(s->wYear, s->wMonth, s->wDay) * 86400 + s->wHour * 3600 + s->wMinute * 60 +
                       s->wSecond) + seconds_1601_to_1970;
    *file_time = filetime_of(seconds * ticks_per_second + int64_t(s->wMilliseconds) * 10000);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    if (!utc || !local) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t value = value_of(*utc);
    time_t unix_seconds = static_cast<time_t>(value / ticks_per_second - seconds_1601_to_1970);
    struct tm parts;
    if (!localtime_r(&unix_seconds, &parts)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *local = filetime_of(value + static_cast<int64_t>(parts.tm_gmtoff) * ticks_per_second);
    return TRUE;
}
