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

void DownmixFilter::limit_frames(int64_t frames) {
    NodeGuard guard(node_lock());
    left_ = frames;
}

AudioBlock DownmixFilter::process(const AudioBlock& in) {
    NodeGuard guard(node_lock());
    int frames = in.frame_count();
    if (in.empty() || frames == 0 || in.channels <= 0 || (in.bits != 8 && in.bits != 16)) {
        return in;
    }
    if (left_ >= 0) {
        frames = static_cast<int>(std::min<int64_t>(frames, left_));
        left_ -= frames;
        if (frames == 0) {
            return AudioBlock();
        }
    }
    AudioBlock out;
    out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(frames) * 2);
    out.channels = 1;
    out.bits = 16;
    out.sample_rate = in.sample_rate;

    const uint8_t* p = in.const_data();
    uint8_t* q = out.buffer.data();
    const int channels = in.channels;
    // Only the block's loudest positive and negative sums can raise the peak; they are offered
    // in the order they came, so an equal peak keeps its first form, as sample by sample.
    int32_t high = 0;
    int32_t low = 0;
    int high_at = -1;
    int low_at = -1;
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
        if (sum > high) {
            high = sum;
            high_at = f;
        } else if (sum < low) {
            low = sum;
            low_at = f;
        }
        int64_t mixed = sum;
        if (gain_.den != 0) {
            mixed = int64_t{gain_.num} * sum / gain_.den;
        }
        // A constant divisor for stereo saves a hardware division per frame.
        const int64_t mean = channels == 2 ? mixed / 2 : mixed / channels;
        int64_t value = std::clamp<int64_t>(mean, -32768, 32767);
        write_s16(q, static_cast<int16_t>(value));
        q += 2;
    }
    const Fraction high_peak{high, 32767 * channels};
    const Fraction low_peak{low, -32768 * channels};
    const Fraction* first = high_at < low_at ? &high_peak : &low_peak;
    const Fraction* second = first == &high_peak ? &low_peak : &high_peak;
    for (const Fraction* candidate : {first, second}) {
        if ((candidate == &high_peak ? high_at : low_at) >= 0 && *candidate > peak_) {
            peak_ = *candidate;
        }
    }
    return out;
}

}  // namespace audio
