#pragma once
// Time: GetTickCount (a millisecond counter that wraps, injectable for tests), the local
// wall-clock time and the conversions between SYSTEMTIME and FILETIME (100-ns intervals
// since 1601-01-01).
#include "platform/Types.h"

DWORD GetTickCount();

void GetLocalTime(SYSTEMTIME* time);
// False (ERROR_INVALID_PARAMETER) for a field out of its range; wDayOfWeek is ignored.
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, FILETIME* file_time);
// Adds the host's offset from UTC at that moment (daylight saving included).
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);

namespace platform {

// Replaces the clock behind GetTickCount (null restores the real one). Tests step time
// through it; timers and pacing read GetTickCount, so they follow.
using TickSource = DWORD (*)();
void set_tick_source(TickSource source);

}  // namespace platform
