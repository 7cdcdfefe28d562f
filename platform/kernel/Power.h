#pragma once
// SystemIdleTimerReset: keeps the device from suspending while the program needs it awake.
// The desktop does not suspend under a running program's window (the SDL display holds its
// screen saver off), so here the call only counts, for the tests that look for it.
#include <cstdint>

#include "platform/Types.h"

void SystemIdleTimerReset();

namespace platform {

// How often SystemIdleTimerReset was called in this process.
uint64_t idle_timer_resets();

}  // namespace platform
