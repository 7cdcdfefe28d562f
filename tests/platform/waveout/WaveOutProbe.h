#pragma once
// What the wave-out tests read off a device: the notifications posted to this thread and
// the played position.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/threads/Threads.h"
#include "platform/waveout/WaveOut.h"
#include "platform/window/Messages.h"

namespace waveout_probe {

using Clock = std::chrono::steady_clock;

inline long elapsed_ms(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// The next message of this thread's queue, waiting at most timeout_ms.
inline bool next_message(MSG& msg, long timeout_ms = 5000) {
    auto start = Clock::now();
    while (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (elapsed_ms(start) > timeout_ms) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

inline DWORD position(HWAVEOUT device) {
    MMTIME time;
    time.wType = TIME_SAMPLES;
    EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)), MMSYSERR_NOERROR);
    return time.u.sample;
}

}  // namespace waveout_probe
