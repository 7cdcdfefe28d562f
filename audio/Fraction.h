#pragma once
// An exact ratio of two 32-bit integers. 0/0 counts as zero; n/0 as plus or minus infinity.
#include <cstdint>

namespace audio {

struct Fraction {
    int32_t num = 0;
    int32_t den = 0;

    double value() const;  // for reports; 0/0 gives 0
};

bool operator>(const Fraction& a, const Fraction& b);

}  // namespace audio
