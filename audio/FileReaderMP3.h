#pragma once
// The head node for MPEG audio files: one coded frame per read. Positions are byte offsets
// in the file, turned into times through a table of every frame, found once on opening; when
// the first frame holds an encoder's header (Xing, Info or VBRI) the frame is no audio, and a
// LAME tag's delay and padding are left out of the times.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioReader.h"
#include "audio/Mp3FrameHeader.h"
#include "audio/Mp3FrameTable.h"
#include "base/CriticalSection.h"

namespace skinner {
class File;
}

namespace audio {

class FileReaderMP3 : public FileReader {
public:
    explicit FileReaderMP3(const std::u16string& path);
    ~FileReaderMP3() override;

    // One MPEG frame (from its header, up to 2000 bytes); frames is ignored. After a seek the
    // frames just before the target come first, their samples before it marked to be dropped.
    void read(AudioBlock& out, int frames) override;

    bool is_open() override;
    bool at_end() override;
    int get_channels() override { return first_.channels; }
    int get_bits() override { return 16; }
    int get_sample_rate() override { return first_.sample_rate; }
    int get_bitrate() override { return first_.bitrate * 1000; }
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int get_length() override;
    int get_position() override;
    void seek(int position) override;
    bool push_time_span(double seconds) override;
    bool push_units(int count) override;

    // Refills the buffer once the read index is within 2000 bytes of its end.
    bool read_more();

private:
    static constexpr int kBufferSize = 10000;
    static constexpr int kLookAhead = 2000;

    static constexpr uint32_t kNoInfoFrame = UINT32_MAX;

    void open();
    void skip_id3v2_tag();
    // A frame at offset, followed by another of its stream (or the end, or an ID3v1 tag).
    bool stream_starts_at(uint32_t offset);
    bool find_first_frame();
    // Every frame's start, from the frame after an encoder's header or from the first.
    void build_frame_table();
    bool sync();
    bool next_frame(Mp3FrameInfo& info);
    // A header followed by another of the stream (or by the end of the data).
    bool confirmed_at_index(const Mp3FrameInfo& info) const;
    bool same_stream(const Mp3FrameInfo& info) const;
    bool reached_end() const;
    uint32_t position() const { return bytes_read_ - fill_ + index_; }
    // Until it reads the target's frame, the reader counts as already where the seek asked to be.
    uint32_t reported_position() const { return std::max(position(), seek_target_); }
    void seek_unlocked(uint32_t position);
    // Where to start reading so that the frames before target's fill the bit reservoir.
    uint32_t priming_start(uint32_t target) const;

    skinner::CriticalSection lock_;
    std::unique_ptr<skinner::File> file_;
    uint32_t file_size_ = 0;
    uint32_t audio_start_ = 0;  // after a leading ID3v2 tag
    uint32_t first_frame_ = 0;
    Mp3FrameInfo first_;
    uint32_t info_frame_ = kNoInfoFrame;  // the frame holding the encoder's header
    Mp3FrameTable table_;  // fixed once open; empty only without a whole frame of audio
    // Where the last seek asked to be, while the frames before it are read; else 0.
    uint32_t seek_target_ = 0;
    // The first header after a seek into the middle of a frame must be confirmed by the next.
    bool confirm_sync_ = false;
    bool open_ = false;
    // A read came back empty: the reader stays at its end until the next seek.
    bool ended_ = false;
    uint32_t bytes_read_ = 0;
    uint8_t buffer_[kBufferSize];
    uint32_t fill_ = 0;
    uint32_t index_ = 0;
};

}  // namespace audio
