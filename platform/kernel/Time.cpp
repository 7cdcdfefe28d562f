#include "platform/kernel/Time.h"

#include <atomic>
#include <chrono>

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
