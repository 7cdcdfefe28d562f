#include "audio/FileReaderADPCM.h"

#include <bit>

#include "audio/AdpcmBlock.h"

namespace audio {

namespace {

constexpr int kBlocksPerPush = 5;

}  // namespace

FileReaderADPCM::FileReaderADPCM(const std::u16string& path)
    : FileReaderWAVBlocks(path, std::make_unique<WaveFormatADPCM>(), kBlocksPerPush) {}

void FileReaderADPCM::describe(AudioBlock& coded) {
    coded.channels = record_->channels;
    coded.bits = record_->bits;
    coded.sample_rate = record_->sample_rate;
    coded.block_align = record_->block_align;
}

DecoderADPCM::~DecoderADPCM() = default;

int DecoderADPCM::input_units_for(int) { return 1; }

AudioBlock DecoderADPCM::convert(const AudioBlock& coded) {
    static_assert(std::endian::native == std::endian::little, "PCM blocks are little-endian");
    const int channels = coded.channels;
    const int align = coded.block_align;
    const int samples_per_block = coded.bits == 4 ? adpcm_samples_per_block(align, channels) : 0;
    if (samples_per_block == 0) {
        return AudioBlock();
    }
    const uint32_t blocks = coded.length() / static_cast<uint32_t>(align);
    const uint32_t frames_per_block = static_cast<uint32_t>(samples_per_block);
    AudioBlock out;
    out.buffer = skinner::SharedBuffer(blocks * frames_per_block * channels * 2);
    out.buffer.fill(0);
    out.channels = channels;
    out.bits = 16;
    out.sample_rate = coded.sample_rate;
    auto* samples = reinterpret_cast<int16_t*>(out.data());
    for (uint32_t b = 0; b < blocks; ++b) {
        std::span<const uint8_t> block(coded.const_data() + b * align, static_cast<size_t>(align));
        decode_adpcm_block(block, channels, samples_per_block, samples + b * frames_per_block * channels);
    }
    return out;
}

AudioFormatADPCM::AudioFormatADPCM(std::unique_ptr<FileReaderADPCM> reader, const std::u16string& path)
    : AudioFormatDecoded(std::move(reader), std::make_unique<DecoderADPCM>(), path, u"ADPCM") {}

}  // namespace audio
