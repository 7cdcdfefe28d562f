#include "platform/kernel/Power.h"

#include <atomic>

namespace {

std::atomic<uint64_t> resets{0};

}  // namespace

void SystemIdleTimerReset() { resets.fetch_add(1, std::memory_order_relaxed); }

namespace platform {

uint64_t idle_timer_resets() { return resets.load(std::memory_order_relaxed); }

}  // namespace platform
