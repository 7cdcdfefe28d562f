#pragma once
// Turns 8- or 16-bit PCM of any channel count into 16-bit mono, measuring the peak level
// of what passes and applying an optional gain.
#include <cstdint>

#include "audio/DataNodes.h"
#include "audio/Fraction.h"

namespace audio {

class DownmixFilter : public DataFilter {
public:
    AudioBlock process(const AudioBlock& in) override;

    // The largest |mixed sum| seen over full scale times channels; 0/0 before any sound.
    Fraction get_peak();
    // A denominator of 0 applies no gain.
    void set_gain(Fraction gain);
    // Passes at most frames more sample frames: the rest of the block that reaches the limit,
    // and every block after it, is dropped. Negative: no limit (the default).
    void limit_frames(int64_t frames);

private:
    Fraction peak_;
    Fraction gain_;
    int64_t left_ = -1;
};

}  // namespace audio
