#pragma once
// Microsoft ADPCM block decoding: the arithmetic of the decode node, kept apart from
// the node so that it can be checked on hand-made blocks.
#include <cstdint>
#include <span>

namespace audio {

// Frames one coded block of that size holds; 0 when the block cannot hold its header
// and at least one byte of codes.
int adpcm_samples_per_block(int block_align, int channels);

// Decodes one block into samples_per_block interleaved frames of out (16-bit). A block
// with an unknown predictor index stays silent (out is left as it was).
void decode_adpcm_block(std::span<const uint8_t> block, int channels, int samples_per_block,
                        int16_t* out);

}  // namespace audio
