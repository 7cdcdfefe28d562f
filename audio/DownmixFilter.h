#pragma once
// Turns 8- or 16-bit PCM of any channel count into 16-bit mono, measuring the peak level
// of what passes and applying an optional gain.
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

private:
    Fraction peak_;
    Fraction gain_;
};

}  // namespace audio
