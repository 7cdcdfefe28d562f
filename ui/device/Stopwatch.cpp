#include "ui/device/Stopwatch.h"

#include <cstdint>

#include "platform/kernel/Time.h"

namespace skinner {

namespace {

// The tick counter wraps after about 49 days: differences are taken in 32 bits.
double seconds_between(double start, uint32_t now) {
    return static_cast<uint32_t>(now - static_cast<uint32_t>(start)) * 0.001;
}

const Stopwatch program_start;

}  // namespace

Stopwatch::Stopwatch() : start_(static_cast<double>(GetTickCount())) {}

double Stopwatch::elapsed() const {
    return seconds_between(start_, GetTickCount());
}

double Stopwatch::restart() {
    const uint32_t now = GetTickCount();
    const double seconds = seconds_between(start_, now);
    start_ = static_cast<double>(now);
    return seconds;
}

double elapsed_since_program_start() {
    return program_start.elapsed();
}

}  // namespace skinner
