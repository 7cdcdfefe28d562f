#pragma once
// The WAVE format record of a RIFF/WAVE file and the chunk walk that fills it. Each
// coding adds a record that reads and checks its own fields of the fmt chunk.
#include <array>
#include <cstdint>
#include <utility>

namespace skinner {
class InputStream;
}

namespace audio {

class RiffReader;

class WaveFormat {
public:
    virtual ~WaveFormat() = default;

    // Reads the coding's own fields, which follow the 16 common bytes inside the fmt
    // chunk, and checks the whole record; the base accepts anything.
    virtual bool read_extension(RiffReader& fmt);
    // Records whose coding needs the "fact" chunk's sample count.
    virtual bool needs_fact() const { return false; }
    // Samples per coded block, for codings that count their positions in blocks.
    virtual int block_samples() const { return 0; }

    int32_t channels = 0;
    int32_t bits = 0;
    int32_t sample_rate = 0;
    uint16_t format_tag = 0;
    uint32_t bytes_per_second = 0;
    uint16_t block_align = 0;
    uint32_t riff_size = 0;
    uint32_t fmt_size = 0;
    uint32_t data_size = 0;
    uint32_t data_offset = 0;
    uint32_t fact_samples = 0;
};

class WaveFormatPCM : public WaveFormat {
public:
    bool read_extension(RiffReader& fmt) override;
};

class WaveFormatADPCM : public WaveFormat {
public:
    bool read_extension(RiffReader& fmt) override;
    bool needs_fact() const override { return true; }
    // What the block align gives, which is what the decoder makes of every block; the
    // samples-per-block field may disagree and is not used for timing.
    int block_samples() const override;

    static constexpr int kCoefficientPairs = 7;
    uint16_t samples_per_block = 0;
    uint16_t coefficient_count = 0;
    std::array<std::pair<int32_t, int32_t>, kCoefficientPairs> coefficients{};
};

class WaveFormatGSM : public WaveFormat {
public:
    bool read_extension(RiffReader& fmt) override;
    bool needs_fact() const override { return true; }
    int block_samples() const override { return samples_per_block; }

    static constexpr int kSamplesPerBlock = 320;
    static constexpr int kBlockAlign = 65;
    uint16_t samples_per_block = 0;
};

// Reads 4 bytes and compares them with id.
bool check_fourcc(RiffReader& in, const char id[4]);
// Walks chunk headers until one named id; leaves the reader right after its header.
// Chunks are skipped by their stated size (no pad byte after odd sizes); a chunk that
// claims more bytes than remain ends the walk.
bool find_riff_chunk(RiffReader& in, const char id[4], uint32_t& size);
// "RIFF", size, "WAVE", "fmt ", the fmt size and the 16 common fmt bytes.
bool read_riff_header(WaveFormat& record, RiffReader& file);
// The whole walk, from the start of the stream up to the contents of "data".
bool open_wave(WaveFormat& record, skinner::InputStream& stream);

}  // namespace audio
