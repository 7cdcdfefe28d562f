#include "ui/device/Stopwatch.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/kernel/Time.h"

namespace skinner {
namespace {

std::atomic<DWORD> now{0};
DWORD test_tick() { return now.load(); }

TEST(Stopwatch, SecondsSinceTheStartAcrossTheTickWrap) {
    platform::set_tick_source(&test_tick);
    now = 0xFFFFFC18u;  // one second before the counter wraps
    Stopwatch watch;
    now += 1500;
    EXPECT_DOUBLE_EQ(watch.elapsed(), 1.5);
    EXPECT_DOUBLE_EQ(watch.restart(), 1.5);
    EXPECT_DOUBLE_EQ(watch.restart(), 0.0);  // within the same millisecond
    now += 250;
    EXPECT_DOUBLE_EQ(watch.elapsed(), 0.25);
    platform::set_tick_source(nullptr);
    EXPECT_GE(elapsed_since_program_start(), 0.0);
}

}  // namespace
}  // namespace skinner
