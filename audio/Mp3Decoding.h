#pragma once
// The decoding layer over libmad: one state per decode node, one decode call with result
// codes, and the fixed-point to integer conversion.
#include <cstdint>

#include <mad.h>

namespace audio {

struct Mp3DecoderState {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
};

// Null when memory is short.
Mp3DecoderState* mp3_decoder_create();
void mp3_decoder_free(Mp3DecoderState* state);

// Decodes the frame at data. 0: decoded, written bytes in out; 1: the buffer holds no whole
// frame; 2: out is too small; -1: unrecoverable error; -2: recoverable error.
int mp3_decoder_decode(Mp3DecoderState* state, const uint8_t* data, int length, uint8_t* out, int out_size,
                       int& consumed, int& written, int bits);

// A libmad sample (28 fraction bits) as a bits-wide integer; error carries the truncation
// remainder into the next sample of the same channel.
int round_sample(int bits, mad_fixed_t sample, mad_fixed_t& error);

}  // namespace audio
