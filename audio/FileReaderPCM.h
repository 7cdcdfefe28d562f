#pragma once
// Uncompressed PCM WAVE files: positions are bytes of the data chunk, reads hand out PCM
// (24-bit samples as 16-bit ones).
#include "audio/AudioFormat.h"
#include "audio/FileReaderWAV.h"

namespace audio {

class FileReaderPCM : public FileReaderWAV {
public:
    explicit FileReaderPCM(const std::u16string& path);

    int get_bits() override;
    int get_length() override;
    int get_position() override;
    void seek(int position) override;
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    bool push_time_span(double seconds) override;
    bool push_units(int count) override;
    void read(AudioBlock& out, int frames) override;

private:
    // Whole frames of the data chunk that the file holds.
    int length_ = 0;
};

class AudioFormatPCM : public AudioFormat {
public:
    AudioFormatPCM(std::unique_ptr<FileReaderPCM> reader, const std::u16string& path);
};

}  // namespace audio
