#pragma once
// The head node for MPEG audio files: one coded frame per read. Positions are byte offsets
// in the file, turned into times through the average bitrate.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioReader.h"
#include "audio/Mp3FrameHeader.h"
#include "base/CriticalSection.h"

namespace skinner {
class File;
}

namespace audio {

class FileReaderMP3 : public FileReader {
public:
    explicit FileReaderMP3(const std::u16string& path);
    ~FileReaderMP3() override;

    // One MPEG frame (from its header, up to 2000 bytes); frames is ignored.
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

    void open();
    void skip_id3v2_tag();
    bool find_first_frame();
    void estimate_bitrate();
    bool sync();
    bool next_frame(Mp3FrameInfo& info);
    bool same_stream(const Mp3FrameInfo& info) const;
    bool reached_end() const;
    uint32_t position() const { return bytes_read_ - fill_ + index_; }
    void seek_unlocked(uint32_t position);

    skinner::CriticalSection lock_;
    std::unique_ptr<skinner::File> file_;
    uint32_t file_size_ = 0;
    uint32_t audio_start_ = 0;  // after a leading ID3v2 tag
    Mp3FrameInfo first_;
    bool open_ = false;
    // A read came back empty: the reader stays at its end until the next seek.
    bool ended_ = false;
    uint32_t bytes_read_ = 0;
    uint8_t buffer_[kBufferSize];
    uint32_t fill_ = 0;
    uint32_t index_ = 0;
};

}  // namespace audio
