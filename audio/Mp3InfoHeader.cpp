#include "audio/Mp3InfoHeader.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {

// Flags of a Xing header: which optional fields follow them.
constexpr uint32_t kXingFrames = 1;
constexpr uint32_t kXingBytes = 2;
constexpr uint32_t kXingToc = 4;
constexpr uint32_t kXingQuality = 8;
constexpr uint32_t kTocBytes = 100;
// The VBRI header always sits after 32 bytes of side information.
constexpr size_t kVbriOffset = 4 + 32;
// Within a LAME tag: its version text, then fields up to the 12-bit delay and padding.
constexpr size_t kLameDelayOffset = 21;

// Bounds-checked big-endian reads over the frame's bytes.
class FrameBytes {
public:
    explicit FrameBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool has(size_t at, size_t n) const { return at <= bytes_.size() && n <= bytes_.size() - at; }
    bool tag(size_t at, const char* text) const { return has(at, 4) && std::memcmp(bytes_.data() + at, text, 4) == 0; }
    bool be32(size_t at, uint32_t& out) const {
        if (!has(at, 4)) {
            return false;
        }
        const uint8_t* p = bytes_.data() + at;
        out = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
        return true;
    }
    const uint8_t* at(size_t offset) const { return bytes_.data() + offset; }

private:
    std::span<const uint8_t> bytes_;
};

size_t side_info_bytes(const Mp3FrameInfo& info) {
    if (info.version == 1) {
        return info.channels == 1 ? 17 : 32;
    }
    return info.channels == 1 ? 9 : 17;
}

// The LAME tag, written after the Xing fields by LAME and by libavformat.
void read_lame_tag(const FrameBytes& b, size_t at, Mp3InfoHeader& out) {
    if (!(b.tag(at, "LAME") || b.tag(at, "Lavf") || b.tag(at, "Lavc")) || !b.has(at + kLameDelayOffset, 3)) {
        return;
    }
    const uint8_t* d = b.at(at + kLameDelayOffset);
    out.encoder_delay = d[0] << 4 | d[1] >> 4;
    out.padding = (d[1] & 0x0F) << 8 | d[2];
}

bool read_xing(const FrameBytes& b, size_t at, Mp3InfoHeader& out) {
    uint32_t flags;
    if (!b.be32(at + 4, flags)) {
        return false;
    }
    size_t field = at + 8;
    if ((flags & kXingFrames) != 0) {
        if (!b.be32(field, out.frames)) {
            return false;
        }
        field += 4;
    }
    if ((flags & kXingBytes) != 0) {
        if (!b.be32(field, out.bytes)) {
            return false;
        }
        field += 4;
    }
    field += (flags & kXingToc) != 0 ? kTocBytes : 0;
    field += (flags & kXingQuality) != 0 ? 4 : 0;
    read_lame_tag(b, field, out);
    return true;
}

bool read_vbri(const FrameBytes& b, Mp3InfoHeader& out) {
    // Version, delay and quality (2 bytes each), then the byte and frame counts.
    return b.be32(kVbriOffset + 10, out.bytes) && b.be32(kVbriOffset + 14, out.frames);
}

}  // namespace

bool parse_mp3_info_header(std::span<const uint8_t> frame, const Mp3FrameInfo& info, Mp3InfoHeader& out) {
    out = Mp3InfoHeader();
    if (info.layer != 3) {
        return false;
    }
    const FrameBytes b(frame.first(std::min(frame.size(), static_cast<size_t>(info.frame_length))));
    const size_t xing = 4 + side_info_bytes(info);
    Mp3InfoHeader found;
    if ((b.tag(xing, "Xing") || b.tag(xing, "Info")) && read_xing(b, xing, found)) {
        out = found;
        return true;
    }
    if (b.tag(kVbriOffset, "VBRI") && read_vbri(b, found)) {
        out = found;
        return true;
    }
    return false;
}

}  // namespace audio
