#pragma once
// Ogg Vorbis files, decoded inside the reader by tremor (integer arithmetic) fed from
// the reader's File; positions are sample frames.
#include <memory>
#include <string>

#include "audio/AudioFormat.h"
#include "audio/AudioReader.h"
#include "base/File.h"

struct OggVorbis_File;
struct vorbis_info;

namespace audio {

class FileReaderVorbis : public FrameCountedReader {
public:
    explicit FileReaderVorbis(const std::u16string& path);
    ~FileReaderVorbis() override;

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
    skinner::File file_;
    std::unique_ptr<OggVorbis_File> vf_;
    vorbis_info* info_ = nullptr;
    int bitrate_ = 0;
    // Read errors in a row; the stream counts as ended when they persist.
    int failed_reads_ = 0;
    bool ended_ = false;
    NodeLock lock_;
};

class AudioFormatVorbis : public AudioFormat {
public:
    AudioFormatVorbis(std::unique_ptr<FileReaderVorbis> reader, const std::u16string& path);
};

}  // namespace audio
