#pragma once
// The header an encoder leaves in the first frame of an MP3 stream ("Xing" for variable, "Info"
// for constant bit rates, or "VBRI"): frame and byte counts, and from a LAME tag the samples
// the encoder added before and after the audio. The frame that holds it carries no audio.
#include <cstdint>
#include <span>

#include "audio/Mp3FrameHeader.h"

namespace audio {

struct Mp3InfoHeader {
    uint32_t frames = 0;  // audio frames after this one; 0 when not stated
    uint32_t bytes = 0;   // bytes of the stream, this frame included; 0 when not stated
    // From a LAME tag: samples of the encoder's delay before the audio, and of padding after
    // it (both -1 when there is no tag).
    int encoder_delay = -1;
    int padding = -1;
};

// Reads the header of a frame; frame holds the frame's bytes from its 4-byte header on
// (fewer than its whole length at the end of a file). False when it holds none.
bool parse_mp3_info_header(std::span<const uint8_t> frame, const Mp3FrameInfo& info, Mp3InfoHeader& out);

}  // namespace audio
