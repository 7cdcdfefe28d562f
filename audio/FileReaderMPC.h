#pragma once
// Musepack files, decoded inside the reader by libmpcdec fed from the reader's File;
// positions are sample frames. One library frame is decoded at a time and handed out
// in pieces.
#include <memory>
#include <string>

#include <mpc/mpcdec.h>

#include "audio/AudioFormat.h"
#include "audio/AudioReader.h"
#include "base/File.h"

namespace audio {

class FileReaderMPC : public FrameCountedReader {
public:
    explicit FileReaderMPC(const std::u16string& path);
    ~FileReaderMPC() override;

    bool is_open() override;
    bool at_end() override;
    int get_channels() override;
    int get_sample_rate() override;
    int get_bitrate() override;
    int get_length() override;
    int get_position() override;
    void seek(int position) override;
    void read(AudioBlock& out, int frames) override;

private:
    // Decodes the next library frame into held_; false at the end or on an error.
    bool decode_frame();

    struct DemuxDeleter {
        void operator()(mpc_demux* demux) const { mpc_demux_exit(demux); }
    };

    skinner::File file_;
    mpc_reader callbacks_{};
    mpc_streaminfo info_{};
    std::unique_ptr<mpc_demux, DemuxDeleter> demux_;
    int length_ = 0;
    int position_ = 0;
    // The stream failed or ended before its stated length.
    bool ended_ = false;
    AudioBlock held_;
    NodeLock lock_;
};

class AudioFormatMPC : public AudioFormat {
public:
    AudioFormatMPC(std::unique_ptr<FileReaderMPC> reader, const std::u16string& path);
};

}  // namespace audio
