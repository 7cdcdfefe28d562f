#include "audio/Mp3FrameHeader.h"

namespace audio {

namespace {

// kbps by bitrate index; index 0 (free format) and 15 are never valid.
constexpr int kMpeg1Layer1[16] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
constexpr int kMpeg1Layer2[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
constexpr int kMpeg1Layer3[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kMpeg2Layer1[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr int kMpeg2Layer23[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

int bitrate_kbps(int version, int layer, int index) {
    if (version == 1) {
        return layer == 1 ? kMpeg1Layer1[index] : layer == 2 ? kMpeg1Layer2[index] : kMpeg1Layer3[index];
    }
    return layer == 1 ? kMpeg2Layer1[index] : kMpeg2Layer23[index];
}

}  // namespace

bool is_valid_mp3_header(uint32_t h) {
    if ((h & 0xFFE00000u) != 0xFFE00000u) {
        return false;
    }
    if (((h >> 19) & 3) == 1) {
        return false;  // reserved version
    }
    if (((h >> 17) & 3) == 0) {
        return false;
    }
    uint32_t bitrate_index = (h >> 12) & 15;
    if (bitrate_index == 0 || bitrate_index == 15) {
        return false;
    }
    return ((h >> 10) & 3) != 3;
}

bool parse_mp3_frame_header(const uint8_t* p, Mp3FrameInfo& out) {
    uint32_t h = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
    if (!is_valid_mp3_header(h)) {
        return false;
    }
    Mp3FrameInfo info;
    info.version = (h >> 20) & 1 ? ((h >> 19) & 1 ? 1 : 2) : 3;
    info.layer = 4 - static_cast<int>((h >> 17) & 3);
    info.channels = (p[3] & 0xC0) == 0xC0 ? 1 : 2;
    info.bitrate = bitrate_kbps(info.version, info.layer, static_cast<int>((h >> 12) & 15));
    info.sample_rate = kSampleRates[info.version - 1][(h >> 10) & 3];
    if (info.bitrate == 0 || info.sample_rate == 0) {
        return false;
    }
    int padding = static_cast<int>((h >> 9) & 1);
    if (info.layer == 1) {
        info.frame_length = (12000 * info.bitrate / info.sample_rate + padding) * 4;
        info.samples_per_frame = 384;
    } else if (info.layer == 3 && info.version != 1) {
        // Only layer III halves the frame for the lower sampling rates; layer II keeps 1152.
        info.frame_length = 72000 * info.bitrate / info.sample_rate + padding;
        info.samples_per_frame = 576;
    } else {
        info.frame_length = 144000 * info.bitrate / info.sample_rate + padding;
        info.samples_per_frame = 1152;
    }
    out = info;
    return true;
}

bool same_mp3_stream(const Mp3FrameInfo& a, const Mp3FrameInfo& b) {
    return a.version == b.version && a.layer == b.layer && a.channels == b.channels &&
           a.sample_rate == b.sample_rate && a.samples_per_frame == b.samples_per_frame;
}

}  // namespace audio
