#include "audio/Mp3FrameHeader.h"

#include <gtest/gtest.h>

using audio::Mp3FrameInfo;
using audio::parse_mp3_frame_header;

namespace {

// Header bytes from fields: version bits (3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5), layer bits
// (1 layer III, 2 layer II, 3 layer I), bitrate index, rate index, padding, channel mode.
uint32_t header(int version_bits, int layer_bits, int bitrate_index, int rate_index, int padding, int mode) {
    return 0xFFE00000u | uint32_t(version_bits) << 19 | uint32_t(layer_bits) << 17 | 1u << 16 |
           uint32_t(bitrate_index) << 12 | uint32_t(rate_index) << 10 | uint32_t(padding) << 9 | uint32_t(mode) << 6;
}

bool parse(uint32_t h, Mp3FrameInfo& info) {
    const uint8_t bytes[4] = {uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
    return parse_mp3_frame_header(bytes, info);
}

}  // namespace

TEST(Mp3FrameHeader, FrameLengthsAndSampleCounts) {
    struct Case {
        const char* what;
        uint32_t h;
        int version, layer, channels, rate, kbps, length, samples;
    } cases[] = {
        {"MPEG-1 layer III 128k 44.1k", header(3, 1, 9, 0, 0, 0), 1, 3, 2, 44100, 128, 417, 1152},
        {"same, padded", header(3, 1, 9, 0, 1, 0), 1, 3, 2, 44100, 128, 418, 1152},
        {"MPEG-1 layer III mono 320k 32k", header(3, 1, 14, 2, 0, 3), 1, 3, 1, 32000, 320, 1440, 1152},
        {"MPEG-2 layer III 64k 22.05k mono", header(2, 1, 8, 0, 0, 3), 2, 3, 1, 22050, 64, 208, 576},
        {"MPEG-2.5 layer III 8k 8kHz", header(0, 1, 1, 2, 0, 3), 3, 3, 1, 8000, 8, 72, 576},
        {"MPEG-2 layer II 64k 22.05k", header(2, 2, 8, 0, 0, 0), 2, 2, 2, 22050, 64, 417, 1152},
        {"MPEG-1 layer II 192k 48k", header(3, 2, 10, 1, 0, 0), 1, 2, 2, 48000, 192, 576, 1152},
        {"MPEG-1 layer I 448k 32k padded", header(3, 3, 14, 2, 1, 0), 1, 1, 2, 32000, 448, 676, 384},
        {"MPEG-2 layer I 256k 24k", header(2, 3, 14, 1, 0, 0), 2, 1, 2, 24000, 256, 512, 384},
    };
    for (const Case& c : cases) {
        Mp3FrameInfo info;
        ASSERT_TRUE(parse(c.h, info)) << c.what;
        EXPECT_EQ(info.version, c.version) << c.what;
        EXPECT_EQ(info.layer, c.layer) << c.what;
        EXPECT_EQ(info.channels, c.channels) << c.what;
        EXPECT_EQ(info.sample_rate, c.rate) << c.what;
        EXPECT_EQ(info.bitrate, c.kbps) << c.what;
        EXPECT_EQ(info.frame_length, c.length) << c.what;
        EXPECT_EQ(info.samples_per_frame, c.samples) << c.what;
    }
}

TEST(Mp3FrameHeader, RefusesInvalidHeaders) {
    struct Case {
        const char* what;
        uint32_t h;
    } cases[] = {
        {"free format", header(3, 1, 0, 0, 0, 0)},
        {"bitrate index 15", header(3, 1, 15, 0, 0, 0)},
        {"rate index 3", header(3, 1, 9, 3, 0, 0)},
        {"layer bits 00", header(3, 0, 9, 0, 0, 0)},
        {"reserved version", header(1, 1, 9, 0, 0, 0)},
        {"sync broken", header(3, 1, 9, 0, 0, 0) & ~0x00200000u},
        {"all zero", 0},
    };
    for (const Case& c : cases) {
        Mp3FrameInfo info;
        info.bitrate = -1;
        EXPECT_FALSE(audio::is_valid_mp3_header(c.h)) << c.what;
        EXPECT_FALSE(parse(c.h, info)) << c.what;
        EXPECT_EQ(info.bitrate, -1) << c.what;  // a refused header leaves the record alone
    }
}
