#include "audio/Mp3Decoding.h"

#include <new>

namespace audio {

Mp3DecoderState* mp3_decoder_create() {
    Mp3DecoderState* state = new (std::nothrow) Mp3DecoderState;
    if (state == nullptr) {
        return nullptr;
    }
    mad_stream_init(&state->stream);
    mad_frame_init(&state->frame);
    mad_synth_init(&state->synth);
    return state;
}

void mp3_decoder_free(Mp3DecoderState* state) {
    if (state == nullptr) {
        return;
    }
    mad_synth_finish(&state->synth);
    mad_frame_finish(&state->frame);
    mad_stream_finish(&state->stream);
    delete state;
}

namespace {

inline int round_to(int bits, mad_fixed_t sample, mad_fixed_t& error) {
    constexpr mad_fixed_t kOne = MAD_F_ONE;
    // A damaged frame can synthesise samples near the type's limit, where adding the carried
    // remainder would overflow.
    const int64_t s = int64_t{sample} + error;
    const mad_fixed_t clipped = s >= kOne ? kOne - 1 : s < -kOne ? -kOne : static_cast<mad_fixed_t>(s);
    int shift = MAD_F_FRACBITS + 1 - bits;
    mad_fixed_t q = clipped & ~((mad_fixed_t{1} << shift) - 1);
    // Only the truncation remainder is carried: carrying the clipped excess as well would
    // pile up over a run of loud samples and wrap the next quiet one.
    error = clipped - q;
    return q >> shift;
}

// Inlined at each call, so the common 16-bit call has its width and byte loop fixed.
inline void write_samples(const mad_pcm& pcm, int channels, int bits, uint8_t* p) {
    const int bytes_per_sample = bits / 8;
    mad_fixed_t error[2] = {0, 0};
    for (unsigned i = 0; i < pcm.length; ++i) {
        for (int c = 0; c < channels; ++c) {
            int value = round_to(bits, pcm.samples[c][i], error[c]);
            for (int b = 0; b < bytes_per_sample; ++b) {
                *p++ = static_cast<uint8_t>(value >> (8 * b));
            }
        }
    }
}

}  // namespace

int round_sample(int bits, mad_fixed_t sample, mad_fixed_t& error) { return round_to(bits, sample, error); }

int mp3_decoder_decode(Mp3DecoderState* state, const uint8_t* data, int length, uint8_t* out, int out_size,
                       int& consumed, int& written, int bits) {
    consumed = 0;
    written = 0;
    if (state == nullptr || length <= 0) {
        return 1;
    }
    mad_stream_buffer(&state->stream, data, static_cast<unsigned long>(length));
    if (mad_frame_decode(&state->frame, &state->stream) != 0) {
        if (state->stream.error == MAD_ERROR_BUFLEN) {
            return 1;
        }
        return MAD_RECOVERABLE(state->stream.error) ? -2 : -1;
    }
    state->frame.options &= ~MAD_OPTION_HALFSAMPLERATE;
    mad_synth_frame(&state->synth, &state->frame);

    const mad_pcm& pcm = state->synth.pcm;
    int channels = pcm.channels >= 2 ? 2 : 1;
    int needed = pcm.length * channels * bits / 8;
    if (out_size < needed) {
        return 2;
    }
    if (bits == 16) {
        write_samples(pcm, channels, 16, out);
    } else {
        write_samples(pcm, channels, bits, out);
    }
    written = needed;
    consumed = static_cast<int>(state->stream.next_frame - data);
    return 0;
}

}  // namespace audio
