#pragma once
// Little-endian reads from a stream that never pass a set end: every byte the WAVE
// parser takes from a file goes through here, so a lying size field cannot send it
// outside the file or its chunk.
#include <cstdint>

namespace skinner {
class InputStream;
}

namespace audio {

class RiffReader {
public:
    // Reads from the stream's current position up to the absolute position end.
    RiffReader(skinner::InputStream& stream, uint32_t end);

    // A reader of the next size bytes, sharing the stream; false from every read when
    // size runs past this reader's end.
    RiffReader chunk(uint32_t size) const;

    bool read_bytes(void* out, uint32_t n);
    bool read_u16(uint16_t& out);
    bool read_i16(int16_t& out);
    bool read_u32(uint32_t& out);
    // Moves over n bytes, which must lie before the end.
    bool skip(uint32_t n);
    // Moves to the end (the rest of a chunk).
    bool skip_rest();

    uint32_t position() const { return position_; }
    uint32_t end() const { return end_; }
    uint32_t remaining() const { return end_ - position_; }
    bool failed() const { return failed_; }

private:
    RiffReader(skinner::InputStream& stream, uint32_t position, uint32_t end, bool failed);

    skinner::InputStream& stream_;
    uint32_t position_;
    uint32_t end_;
    bool failed_;
};

}  // namespace audio
