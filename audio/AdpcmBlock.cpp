#include "audio/AdpcmBlock.h"

#include <algorithm>
#include <climits>

namespace audio {

namespace {

constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                 768, 614, 512, 409, 307, 230, 230, 230};
constexpr int kCoefficients[7][2] = {{256, 0},   {512, -256}, {0, 0},     {192, 64},
                                     {240, 0},   {460, -208}, {392, -232}};
constexpr int kPredictors = 7;
constexpr int kMinDelta = 16;
// Corrupt codes can grow delta by 3x per step; stop where the next product would overflow.
constexpr int kMaxDelta = INT_MAX / 768;

struct ChannelState {
    int c1 = 0;
    int c2 = 0;
    int delta = 0;
    int sample1 = 0;
    int sample2 = 0;
};

int16_t le16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | p[1] << 8);
}

int16_t step(ChannelState& s, int code) {
    const int predictor = (s.sample1 * s.c1 + s.sample2 * s.c2) >> 8;
    const int signed_code = (code & 8) ? code - 16 : code;
    const int value = std::clamp(predictor + s.delta * signed_code, -32768, 32767);
    s.sample2 = s.sample1;
    s.sample1 = value;
    s.delta = std::clamp((kAdaptation[code] * s.delta) >> 8, kMinDelta, kMaxDelta);
    return static_cast<int16_t>(value);
}

}  // namespace

int adpcm_samples_per_block(int block_align, int channels) {
    if ((channels != 1 && channels != 2) || block_align < 7 * channels + 1) {
        return 0;
    }
    return ((block_align - 7 * channels) * 8) / (channels * 4) + 2;
}

void decode_adpcm_block(std::span<const uint8_t> block, int channels, int samples_per_block,
                        int16_t* out) {
    if ((channels != 1 && channels != 2) || samples_per_block < 2 ||
        adpcm_samples_per_block(static_cast<int>(block.size()), channels) < samples_per_block) {
        return;
    }
    const uint8_t* p = block.data();
    ChannelState state[2];
    for (int ch = 0; ch < channels; ++ch) {
        const int index = p[ch];
        if (index >= kPredictors) {
            return;
        }
        state[ch].c1 = kCoefficients[index][0];
        state[ch].c2 = kCoefficients[index][1];
        state[ch].delta = le16(p + channels + 2 * ch);
        state[ch].sample1 = le16(p + 3 * channels + 2 * ch);
        state[ch].sample2 = le16(p + 5 * channels + 2 * ch);
    }
    int16_t* o = out;
    for (int ch = 0; ch < channels; ++ch) {
        *o++ = static_cast<int16_t>(state[ch].sample2);
    }
    for (int ch = 0; ch < channels; ++ch) {
        *o++ = static_cast<int16_t>(state[ch].sample1);
    }
    // The codes run high nibble first; in stereo the high nibble is the left channel,
    // so one byte is one frame, and in mono one byte is two samples.
    const uint8_t* codes = p + 7 * channels;
    const int total = samples_per_block * channels;
    for (int written = 2 * channels; written < total; ++codes) {
        *o++ = step(state[0], *codes >> 4);
        ++written;
        if (written < total) {
            *o++ = step(state[channels - 1], *codes & 15);
            ++written;
        }
    }
}

}  // namespace audio
