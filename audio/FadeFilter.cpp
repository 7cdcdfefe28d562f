#include "audio/FadeFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/PcmSamples.h"

namespace audio {

namespace {

// A frame index from a time; far-away times saturate rather than overflow.
int32_t frame_at(int32_t rate, double seconds) {
    double frames = std::trunc(rate * seconds);
    if (!(frames > std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    if (frames >= std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(frames);
}

}  // namespace

void FadeFilter::set_ramp(double start, double end, bool fade_in) {
    NodeGuard guard(node_lock());
    ramp_start_ = start;
    ramp_end_ = end;
    fade_in_ = fade_in;
    position_ = 0;
    sample_rate_ = 0;
}

void FadeFilter::reset_position() {
    NodeGuard guard(node_lock());
    position_ = 0;
    sample_rate_ = 0;
}

double FadeFilter::get_time() {
    NodeGuard guard(node_lock());
    return sample_rate_ == 0 ? 0.0 : static_cast<double>(position_) / sample_rate_;
}

AudioBlock FadeFilter::process(const AudioBlock& in) {
    NodeGuard guard(node_lock());
    sample_rate_ = in.sample_rate;
    const int32_t frames = in.frame_count();
    const int32_t start = frame_at(sample_rate_, ramp_start_);
    const int32_t end = frame_at(sample_rate_, ramp_end_);
    const int64_t position = position_;
    bool untouched = (fade_in_ && position >= end) || (!fade_in_ && position + frames <= start);
    if (untouched || in.empty() || frames == 0 || (in.bits != 8 && in.bits != 16)) {
        position_ += frames;
        return in;
    }

    AudioBlock out = in;
    uint8_t* p = out.data();
    const int channels = in.channels;
    for (int32_t f = 0; f < frames; ++f, ++position_) {
        int64_t g;
        int64_t d = 1;
        if (position_ >= end) {
            g = fade_in_ ? 1 : 0;
        } else if (position_ > start) {
            d = int64_t{end} - start;
            g = fade_in_ ? int64_t{position_} - start : int64_t{end} - position_;
        } else {
            g = fade_in_ ? 0 : 1;
        }
        for (int c = 0; c < channels; ++c) {
            if (in.bits == 16) {
                int64_t s = read_s16(p);
                write_s16(p, static_cast<int16_t>(std::clamp<int64_t>(s * g / d, -32768, 32767)));
                p += 2;
            } else {
                int64_t s = *p;
                *p = static_cast<uint8_t>(std::clamp<int64_t>((s - 128) * g / d + 128, 0, 255));
                p += 1;
            }
        }
    }
    return out;
}

}  // namespace audio
