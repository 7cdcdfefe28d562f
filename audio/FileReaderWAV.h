#pragma once
// The common part of the three RIFF/WAVE readers: the file, the record that open_wave
// filled, the open flag and the node's lock.
#include <memory>
#include <string>

#include "audio/AudioReader.h"
#include "audio/WaveFormat.h"
#include "base/File.h"

namespace audio {

class FileReaderWAV : public FileReader {
public:
    bool is_open() override;
    bool at_end() override;
    int get_channels() override;
    int get_sample_rate() override;
    int get_bitrate() override;
    const WaveFormat& get_wave_format() const { return *record_; }

protected:
    // Opens path and walks its chunks into record; is_open tells whether it fitted.
    FileReaderWAV(const std::u16string& path, std::unique_ptr<WaveFormat> record);

    // Bytes of the data chunk that the file really holds: the stated size (the rest of
    // the file when it states 0 or more than the file has).
    uint32_t data_bytes_present();

    skinner::File file_;
    std::unique_ptr<WaveFormat> record_;
    bool open_ = false;
    NodeLock lock_;
};

// The MS ADPCM and GSM readers: positions are coded blocks, reads hand out whole blocks.
class FileReaderWAVBlocks : public FileReaderWAV {
public:
    int get_bits() override { return 16; }
    int get_length() override;
    int get_position() override;
    void seek(int block) override;
    bool at_end() override;
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int block) override;
    // To the nearest block, so that steps of a span that is no whole number of blocks do not
    // all fall short.
    int position_after(int block, double seconds) override;
    bool push_time_span(double seconds) override;
    bool push_units(int count) override;
    void read(AudioBlock& out, int blocks) override;

protected:
    FileReaderWAVBlocks(const std::u16string& path, std::unique_ptr<WaveFormat> record, int blocks_per_push);
    // Gives a block of coded bytes the format its decode node needs.
    virtual void describe(AudioBlock& coded) = 0;

private:
    int samples_per_block_;
    int blocks_per_push_;
    int length_ = 0;
    int block_ = 0;
    // The file held fewer blocks than its header promised; set by a read that found none.
    bool ended_ = false;
};

}  // namespace audio
