#pragma once
// The unit that travels between audio nodes: shared bytes plus their PCM (or coded) format.
#include "base/SharedBuffer.h"

namespace audio {

// The lowest sample rate a file may have: the wave-out device plays nothing slower, and the
// encoder's resampler overruns its buffers far below it.
constexpr int kMinSampleRate = 1000;

struct AudioBlock {
    skinner::SharedBuffer buffer;
    int channels = 0;
    int bits = 0;
    int sample_rate = 0;
    int block_align = 0;  // only on coded MS ADPCM blocks
    // On a coded MP3 frame after a seek: how many of its sample frames lie before the seek's
    // target and are dropped once decoded (all of them for a frame read only to fill the
    // decoder's bit reservoir).
    int drop_frames = 0;

    uint32_t length() const { return buffer.length(); }
    bool empty() const { return buffer.length() == 0; }
    const uint8_t* const_data() const { return buffer.const_data(); }
    uint8_t* data() { return buffer.data(); }

    // Whole frames (one sample of every channel, samples in whole bytes).
    int frame_count() const;
    // Channels, bits and rate of other; never the block align.
    void copy_format_from(const AudioBlock& other);
};

}  // namespace audio
