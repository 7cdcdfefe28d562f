#include "audio/WaveFormat.h"

#include <cstring>

#include "audio/AdpcmBlock.h"
#include "audio/AudioBlock.h"
#include "audio/RiffReader.h"
#include "base/File.h"

namespace audio {

namespace {

constexpr uint32_t kCommonFmtBytes = 16;
constexpr uint16_t kTagPCM = 1;
constexpr uint16_t kTagADPCM = 2;
constexpr uint16_t kTagGSM = 0x31;

}  // namespace

bool WaveFormat::read_extension(RiffReader&) {
    return true;
}

bool WaveFormatPCM::read_extension(RiffReader&) {
    // Mono or stereo, 8 or 16 bits as the player and the filters take them, or 24 bits, which
    // the reader hands on as 16. The block align is trusted for every seek and read, so it
    // must be one frame.
    return format_tag == kTagPCM && (channels == 1 || channels == 2) && (bits == 8 || bits == 16 || bits == 24) &&
           sample_rate >= kMinSampleRate && block_align == channels * (bits / 8);
}

bool WaveFormatADPCM::read_extension(RiffReader& fmt) {
    if (format_tag != kTagADPCM || (channels != 1 && channels != 2) || bits != 4 ||
        sample_rate < kMinSampleRate) {
        return false;
    }
    // A block carries 7 header bytes per channel and at least one byte of codes.
    if (block_align < 7 * channels + 1) {
        return false;
    }
    uint16_t cb_size;
    if (!fmt.read_u16(cb_size) || !fmt.read_u16(samples_per_block) ||
        !fmt.read_u16(coefficient_count)) {
        return false;
    }
    if (samples_per_block < 2 || coefficient_count != kCoefficientPairs) {
        return false;
    }
    for (auto& pair : coefficients) {
        int16_t c1, c2;
        if (!fmt.read_i16(c1) || !fmt.read_i16(c2)) {
            return false;
        }
        pair = {c1, c2};
    }
    return true;
}

int WaveFormatADPCM::block_samples() const { return adpcm_samples_per_block(block_align, channels); }

bool WaveFormatGSM::read_extension(RiffReader& fmt) {
    // GSM files state 0 bits per sample by convention, so bits are not checked here.
    if (format_tag != kTagGSM || channels != 1 || sample_rate != 8000 ||
        block_align != kBlockAlign) {
        return false;
    }
    uint16_t cb_size;
    if (!fmt.read_u16(cb_size) || !fmt.read_u16(samples_per_block)) {
        return false;
    }
    return samples_per_block == kSamplesPerBlock;
}

bool check_fourcc(RiffReader& in, const char id[4]) {
    char got[4];
    return in.read_bytes(got, 4) && std::memcmp(got, id, 4) == 0;
}

bool find_riff_chunk(RiffReader& in, const char id[4], uint32_t& size) {
    // Every turn consumes at least the 8-byte header, so the walk ends at the reader's end.
    for (;;) {
        char got[4];
        if (!in.read_bytes(got, 4) || !in.read_u32(size)) {
            return false;
        }
        if (std::memcmp(got, id, 4) == 0) {
            return true;
        }
        if (!in.skip(size)) {
            return false;
        }
    }
}

bool read_riff_header(WaveFormat& r, RiffReader& file) {
    if (!check_fourcc(file, "RIFF") || !file.read_u32(r.riff_size) || !check_fourcc(file, "WAVE") ||
        !check_fourcc(file, "fmt ") || !file.read_u32(r.fmt_size)) {
        return false;
    }
    // The common fields must lie inside the fmt chunk, and the chunk inside the file.
    if (r.fmt_size < kCommonFmtBytes || r.fmt_size > file.remaining()) {
        return false;
    }
    uint16_t channels, bits;
    uint32_t rate;
    if (!file.read_u16(r.format_tag) || !file.read_u16(channels) || !file.read_u32(rate) ||
        !file.read_u32(r.bytes_per_second) || !file.read_u16(r.block_align) || !file.read_u16(bits)) {
        return false;
    }
    // A rate beyond the signed range would turn negative in every time calculation.
    if (rate > 0x7FFFFFFF) {
        return false;
    }
    r.channels = channels;
    r.bits = bits;
    r.sample_rate = static_cast<int32_t>(rate);
    return true;
}

bool open_wave(WaveFormat& r, skinner::InputStream& stream) {
    if (!stream.is_open() || !stream.seek(0)) {
        return false;
    }
    RiffReader file(stream, stream.size());
    if (!read_riff_header(r, file)) {
        return false;
    }
    const uint32_t extension_size = r.fmt_size - kCommonFmtBytes;
    RiffReader extension = file.chunk(extension_size);
    if (!r.read_extension(extension) || !extension.skip_rest() || !file.skip(extension_size)) {
        return false;
    }
    uint32_t size;
    if (r.needs_fact()) {
        if (!find_riff_chunk(file, "fact", size)) {
            return false;
        }
        RiffReader fact = file.chunk(size);
        if (!fact.read_u32(r.fact_samples)) {
            return false;
        }
        // A longer fact chunk would otherwise put the next header read mid-chunk.
        if (!file.skip(size)) {
            return false;
        }
    }
    if (!find_riff_chunk(file, "data", size)) {
        return false;
    }
    r.data_size = size;
    r.data_offset = file.position();
    return stream.seek(r.data_offset);
}

}  // namespace audio
