#include "audio/DownmixFilter.h"

#include <algorithm>

#include "audio/PcmSamples.h"

namespace audio {

Fraction DownmixFilter::get_peak() {
    NodeGuard guard(node_lock());
    return peak_;
}

void DownmixFilter::set_gain(Fraction gain) {
    NodeGuard guard(node_lock());
    gain_ = gain;
}

AudioBlock DownmixFilter::process(const AudioBlock& in) {
    NodeGuard guard(node_lock());
    int frames = in.frame_count();
    if (in.empty() || frames == 0 || in.channels <= 0 || (in.bits != 8 && in.bits != 16)) {
        return in;
    }
    AudioBlock out;
    out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(frames) * 2);
    out.channels = 1;
    out.bits = 16;
    out.sample_rate = in.sample_rate;

    const uint8_t* p = in.const_data();
    uint8_t* q = out.buffer.data();
    const int channels = in.channels;
    for (int f = 0; f < frames; ++f) {
        int32_t sum = 0;
        for (int c = 0; c < channels; ++c) {
            if (in.bits == 16) {
                sum += read_s16(p);
                p += 2;
            } else {
                sum += (int32_t{*p} - 128) * 256;
                p += 1;
            }
        }
        int32_t limit = sum < 0 ? -32768 : 32767;
        Fraction candidate{sum, limit * channels};
        if (candidate > peak_) {
            peak_ = candidate;
        }
        int64_t mixed = sum;
        if (gain_.den != 0) {
            mixed = int64_t{gain_.num} * sum / gain_.den;
        }
        int64_t value = std::clamp<int64_t>(mixed / channels, -32768, 32767);
        write_s16(q, static_cast<int16_t>(value));
        q += 2;
    }
    return out;
}

}  // namespace audio
