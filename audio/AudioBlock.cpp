#include "audio/AudioBlock.h"

namespace audio {

int AudioBlock::frame_count() const {
    if (length() == 0) {
        return 0;
    }
    int frame_bytes = channels * ((bits + 7) / 8);
    if (frame_bytes <= 0) {
        return 0;  // a malformed format never divides by zero
    }
    return static_cast<int>(length() / static_cast<uint32_t>(frame_bytes));
}

void AudioBlock::copy_format_from(const AudioBlock& other) {
    channels = other.channels;
    bits = other.bits;
    sample_rate = other.sample_rate;
}

}  // namespace audio
