#pragma once
// Where every frame of an MP3 stream starts, found once by walking the frame headers, and the
// times of the stream through it. Frames of one stream all last the same number of samples,
// so the table times a variable-bit-rate file exactly where the bit rate cannot.
#include <cstdint>
#include <vector>

#include "audio/Mp3FrameHeader.h"

namespace skinner {
class InputStream;
}

namespace audio {

class Mp3FrameTable {
public:
    // Walks the stream from first (the first audio frame) to its end, keeping every whole frame
    // of format's stream; after damage it goes on at the next two headers in a row.
    void build(skinner::InputStream& in, uint32_t first, const Mp3FrameInfo& format);
    // skip: decoded samples before the audio (the encoder's and the decoder's delay);
    // samples: the audio's own length.
    void set_timing(int skip, int64_t samples);

    bool empty() const { return starts_.empty(); }
    int frame_count() const { return static_cast<int>(starts_.size()); }
    uint32_t start_of(int frame) const;  // frame_count(): the end of the last frame
    // The first frame starting at or after position (frame_count() when none does).
    int frame_at_or_after(uint32_t position) const;
    // The frame that position lies in; -1 before the first, frame_count() after the last.
    int frame_containing(uint32_t position) const;
    uint32_t audio_bytes() const { return empty() ? 0 : end_ - starts_.front(); }

    // Seconds of audio before position (0 before the audio, the length after it).
    double seconds_at(uint32_t position) const;
    // Where the audio reaches seconds (the inverse of seconds_at, to the byte).
    uint32_t position_at(double seconds) const;
    double duration() const;

private:
    std::vector<uint32_t> starts_;
    uint32_t end_ = 0;
    int samples_per_frame_ = 0;
    int sample_rate_ = 0;
    int skip_ = 0;
    int64_t samples_ = 0;
};

}  // namespace audio
