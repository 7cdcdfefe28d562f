#pragma once
// A linear gain ramp between two times: up from silence (fade in) or down to it (fade out).
#include "audio/DataNodes.h"

namespace audio {

class FadeFilter : public DataFilter {
public:
    AudioBlock process(const AudioBlock& in) override;

    void set_ramp(double start, double end, bool fade_in);
    void reset_position();
    // Time processed since the last set_ramp or reset_position.
    double get_time();

private:
    double ramp_start_ = 0.0;
    double ramp_end_ = 0.0;
    bool fade_in_ = true;
    int32_t position_ = 0;
    int32_t sample_rate_ = 0;
};

}  // namespace audio
