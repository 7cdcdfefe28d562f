#pragma once
// The 4-byte MPEG audio frame header, shared by the MP3 reader and its decode node.
#include <cstdint>

namespace audio {

struct Mp3FrameInfo {
    int32_t version = 0;  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    int32_t layer = 0;
    int32_t channels = 0;
    int32_t sample_rate = 0;
    int32_t bitrate = 0;  // kbps
    int32_t frame_length = 0;  // bytes
    int32_t samples_per_frame = 0;  // per channel
};

// h holds the four header bytes read big-endian.
bool is_valid_mp3_header(uint32_t h);
// p must point at four readable bytes.
bool parse_mp3_frame_header(const uint8_t* p, Mp3FrameInfo& out);
// Frames of one stream: all but the bit rate (and so the length) alike.
bool same_mp3_stream(const Mp3FrameInfo& a, const Mp3FrameInfo& b);

}  // namespace audio
