#pragma once
// Little-endian 16-bit samples in byte buffers.
#include <cstdint>

namespace audio {

inline int16_t read_s16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

inline void write_s16(uint8_t* p, int16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
}

}  // namespace audio
