#pragma once
// What every file reader tells about its file, besides being the head DataSource of a chain.
// Positions are in the reader's own units (bytes, coded blocks or sample frames):
// callers convert times through seconds_to_position and position_to_seconds.
#include "audio/DataNodes.h"

namespace audio {

class AudioReader {
public:
    virtual ~AudioReader() = default;
    virtual bool is_open() = 0;
    virtual bool at_end() = 0;
    virtual int get_channels() = 0;
    virtual int get_bits() = 0;
    virtual int get_sample_rate() = 0;
    virtual int get_bitrate() = 0;
    virtual int seconds_to_position(double seconds) = 0;
    virtual double position_to_seconds(int position) = 0;
    virtual double get_duration();
    virtual double get_current_time();
    virtual void set_time(double seconds);
    // The position a span of seconds after position (before it when negative), never before
    // the file's beginning. Spans are always taken through times: a count of units stands for
    // different times in different parts of a file (an MP3's tags, frames of other bit rates).
    virtual int position_after(int position, double seconds);
    virtual int get_length() = 0;
    virtual int get_position() = 0;
    virtual void seek(int position) = 0;
    // Read and push downstream until that much time or that many units have passed;
    // false when the data ran out.
    virtual bool push_time_span(double seconds) = 0;
    virtual bool push_units(int count) = 0;
};

// A reader node: the DataSource of its blocks followed by its AudioReader interface.
class FileReader : public DataSource, public AudioReader {};

// A reader that decodes inside itself to 16-bit samples and counts its positions in sample
// frames at the file's rate (Ogg Vorbis, Musepack).
class FrameCountedReader : public FileReader {
public:
    int get_bits() override { return 16; }
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    bool push_time_span(double seconds) override;
    // Reads and pushes blocks until count frames have gone; false when a read comes back empty.
    bool push_units(int count) override;
};

}  // namespace audio
