#include "audio/RiffReader.h"

#include "base/File.h"

namespace audio {

RiffReader::RiffReader(skinner::InputStream& stream, uint32_t end)
    : stream_(stream), position_(stream.position()), end_(end), failed_(false) {
    if (end_ < position_) {
        end_ = position_;
        failed_ = true;
    }
}

RiffReader::RiffReader(skinner::InputStream& stream, uint32_t position, uint32_t end, bool failed)
    : stream_(stream), position_(position), end_(end), failed_(failed) {}

RiffReader RiffReader::chunk(uint32_t size) const {
    if (failed_ || size > remaining()) {
        return RiffReader(stream_, position_, position_, true);
    }
    return RiffReader(stream_, position_, position_ + size, false);
}

bool RiffReader::read_bytes(void* out, uint32_t n) {
    if (failed_ || n > remaining()) {
        failed_ = true;
        return false;
    }
    if (stream_.position() != position_ && !stream_.seek(position_)) {
        failed_ = true;
        return false;
    }
    const uint32_t got = n == 0 ? 0 : stream_.read(out, n);
    position_ += got;
    if (got != n) {
        failed_ = true;
        return false;
    }
    return true;
}

bool RiffReader::read_u16(uint16_t& out) {
    uint8_t b[2];
    if (!read_bytes(b, 2)) {
        return false;
    }
    out = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool RiffReader::read_i16(int16_t& out) {
    uint16_t u;
    if (!read_u16(u)) {
        return false;
    }
    out = static_cast<int16_t>(u);
    return true;
}

bool RiffReader::read_u32(uint32_t& out) {
    uint8_t b[4];
    if (!read_bytes(b, 4)) {
        return false;
    }
    out = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
          static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return true;
}

bool RiffReader::skip(uint32_t n) {
    if (failed_ || n > remaining() || !stream_.seek(position_ + n)) {
        failed_ = true;
        return false;
    }
    position_ += n;
    return true;
}

bool RiffReader::skip_rest() {
    return skip(remaining());
}

}  // namespace audio
