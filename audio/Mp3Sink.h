#pragma once
// The encoding node of the conversion chain: pushed PCM in, constant-bit-rate MP3 frames
// pushed on to the file writer.
#include <cstdint>

#include "audio/DataNodes.h"

struct lame_global_struct;

namespace audio {

class Mp3Sink : public DataSink, public DataSource {
public:
    explicit Mp3Sink(int bitrate);
    ~Mp3Sink() override;

    void on_data(const AudioBlock& block) override;
    // Encodes what is staged and pushes the encoder's final bytes downstream.
    void flush();
    // The sink cannot be pulled.
    void read(AudioBlock& out, int frames) override;
    int get_bitrate() const { return bitrate_; }
    // Sample frames handed to the encoder so far.
    int64_t get_frames_encoded();

private:
    static constexpr int kMaxFrameSamples = 1152;
    // The library's documented worst case for one frame: 1.25 x samples + 7200.
    static constexpr int kOutputBytes = kMaxFrameSamples * 5 / 4 + 7200;

    bool create_encoder(int channels, int sample_rate);
    void finish_encoder();
    void encode_staged(int bits, int channels, int frame_size);
    void push_coded(int count);

    uint8_t staging_[kMaxFrameSamples * 2 * 2];
    uint32_t staged_ = 0;
    int staged_bits_ = 16;
    int16_t left_[kMaxFrameSamples];
    int16_t right_[kMaxFrameSamples];
    uint8_t output_[kOutputBytes];
    lame_global_struct* encoder_ = nullptr;
    int bitrate_;
    int channels_ = 0;
    int sample_rate_ = 0;
    int64_t frames_encoded_ = 0;
};

}  // namespace audio
