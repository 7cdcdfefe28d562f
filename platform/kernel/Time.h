#pragma once
// Time: GetTickCount (a millisecond counter that wraps, injectable for tests).
#include "platform/Types.h"

DWORD GetTickCount();

namespace platform {

// Replaces the clock behind GetTickCount (null restores the real one). Tests step time
// through it; timers and pacing read GetTickCount, so they follow.
using TickSource = DWORD (*)();
void set_tick_source(TickSource source);

}  // namespace platform
