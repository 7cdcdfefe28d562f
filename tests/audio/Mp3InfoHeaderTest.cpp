#include "audio/Mp3InfoHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A frame of zeros with its header, and text or numbers written at offsets.
struct Frame {
    explicit Frame(const std::vector<uint8_t>& header) {
        audio::parse_mp3_frame_header(header.data(), info);
        bytes.assign(static_cast<size_t>(info.frame_length), 0);
        std::memcpy(bytes.data(), header.data(), 4);
    }
    Frame& text(size_t at, const char* s) {
        std::memcpy(bytes.data() + at, s, std::strlen(s));
        return *this;
    }
    Frame& be32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
        return *this;
    }
    Frame& u8(size_t at, uint8_t v) {
        bytes[at] = v;
        return *this;
    }
    audio::Mp3FrameInfo info;
    std::vector<uint8_t> bytes;
};

const std::vector<uint8_t> kMpeg1Stereo = {0xFF, 0xFB, 0x90, 0x00};  // 128 kbit/s, 44100 Hz: 417 bytes
const std::vector<uint8_t> kMpeg1Mono = {0xFF, 0xFB, 0x90, 0xC0};
const std::vector<uint8_t> kMpeg2Mono = {0xFF, 0xF3, 0x90, 0xC0};    // 80 kbit/s, 22050 Hz
const std::vector<uint8_t> kLayer2 = {0xFF, 0xFD, 0x90, 0x00};

// LAME's layout: all four Xing fields, then the LAME tag with delay 576 and padding 1296.
Frame lame_frame(const std::vector<uint8_t>& header, size_t at, const char* id) {
    Frame f(header);
    f.text(at, id).be32(at + 4, 15).be32(at + 8, 461).be32(at + 12, 190837);
    const size_t tag = at + 120;
    f.text(tag, "LAME3.100").u8(tag + 21, 0x24).u8(tag + 22, 0x05).u8(tag + 23, 0x10);
    return f;
}

}  // namespace

TEST(Mp3InfoHeader, ReadsTheHeadersEncodersWrite) {
    struct Case {
        const char* what;
        Frame frame;
        bool found;
        uint32_t frames, bytes;
        int delay, padding;
    } cases[] = {
        {"Xing with a LAME tag, stereo", lame_frame(kMpeg1Stereo, 36, "Xing"), true, 461, 190837, 576, 1296},
        {"Info, mono side information", lame_frame(kMpeg1Mono, 21, "Info"), true, 461, 190837, 576, 1296},
        {"MPEG-2 mono", lame_frame(kMpeg2Mono, 13, "Xing"), true, 461, 190837, 576, 1296},
        {"libavcodec's tag", [] { Frame f = lame_frame(kMpeg1Stereo, 36, "Xing"); f.text(156, "Lavc"); return f; }(), true, 461, 190837, 576, 1296},
        {"frames only: the tag would follow them", Frame(kMpeg1Stereo).text(36, "Xing").be32(40, 1).be32(44, 77).text(156, "LAME"), true, 77, 0, -1, -1},
        {"bytes and quality, tag after them", Frame(kMpeg1Stereo).text(36, "Info").be32(40, 10).be32(44, 5000).text(52, "LAME").u8(73, 0x10), true, 0, 5000, 256, 0},
        {"VBRI", Frame(kMpeg1Stereo).text(36, "VBRI").be32(46, 123456).be32(50, 300), true, 300, 123456, -1, -1},
        {"no header", Frame(kMpeg1Stereo), false, 0, 0, -1, -1},
        {"Xing at the stereo offset of a mono frame", Frame(kMpeg1Mono).text(36, "Xing").be32(40, 1).be32(44, 9), false, 0, 0, -1, -1},
        {"layer II", Frame(kLayer2).text(36, "Xing").be32(40, 1).be32(44, 9), false, 0, 0, -1, -1},
    };
    for (const Case& c : cases) {
        audio::Mp3InfoHeader header;
        EXPECT_EQ(audio::parse_mp3_info_header(c.frame.bytes, c.frame.info, header), c.found) << c.what;
        EXPECT_EQ(header.frames, c.frames) << c.what;
        EXPECT_EQ(header.bytes, c.bytes) << c.what;
        EXPECT_EQ(header.encoder_delay, c.delay) << c.what;
        EXPECT_EQ(header.padding, c.padding) << c.what;
    }
}

TEST(Mp3InfoHeader, NeverReadsPastTheFrameOrTheBytesGiven) {
    // Every cut of a header frame, and a frame whose stated length is shorter than its fields.
    Frame whole = lame_frame(kMpeg1Stereo, 36, "Xing");
    for (size_t cut = 0; cut <= whole.bytes.size(); ++cut) {
        std::vector<uint8_t> part(whole.bytes.begin(), whole.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        audio::Mp3InfoHeader header;
        const bool found = audio::parse_mp3_info_header(part, whole.info, header);
        EXPECT_EQ(found, cut >= 36 + 16) << cut;
        EXPECT_EQ(header.encoder_delay, cut >= 36 + 120 + 24 ? 576 : -1) << cut;
    }
    audio::Mp3FrameInfo tiny = whole.info;
    tiny.frame_length = 44;  // ends inside the Xing fields
    audio::Mp3InfoHeader header;
    EXPECT_FALSE(audio::parse_mp3_info_header(whole.bytes, tiny, header));
}
