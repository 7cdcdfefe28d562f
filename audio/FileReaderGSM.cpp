#include "audio/FileReaderGSM.h"

#include <bit>
#include <cstring>

#include <gsm.h>

namespace audio {

namespace {

constexpr int kBlocksPerPush = 10;
constexpr uint32_t kBlockBytes = WaveFormatGSM::kBlockAlign;
constexpr uint32_t kFirstHalfBytes = 33;
constexpr int kSamplesPerHalf = 160;
constexpr uint32_t kBlockOutputBytes = 2 * kSamplesPerHalf * 2;

}  // namespace

FileReaderGSM::FileReaderGSM(const std::u16string& path)
    : FileReaderWAVBlocks(path, std::make_unique<WaveFormatGSM>(), kBlocksPerPush) {}

void FileReaderGSM::describe(AudioBlock&) {
    // The decode node knows the coding: a GSM block carries only its bytes.
}

void DecoderGSM::GsmDeleter::operator()(gsm_state* state) const { gsm_destroy(state); }

DecoderGSM::DecoderGSM() : gsm_(gsm_create()) {
    if (gsm_ != nullptr) {
        int on = 1;
        gsm_option(gsm_.get(), GSM_OPT_WAV49, &on);
    }
}

DecoderGSM::~DecoderGSM() = default;

// Counted in halves, so a pull asks for about twice the blocks it needs; harmless, as
// the surplus is held for the next reads.
int DecoderGSM::input_units_for(int frames) { return (frames + kSamplesPerHalf - 1) / kSamplesPerHalf; }

AudioBlock DecoderGSM::convert(const AudioBlock& coded) {
    static_assert(std::endian::native == std::endian::little, "PCM blocks are little-endian");
    const uint32_t blocks = coded.length() / kBlockBytes;
    if (blocks == 0 || gsm_ == nullptr) {
        return AudioBlock();
    }
    AudioBlock out;
    out.buffer = skinner::SharedBuffer(blocks * kBlockOutputBytes);
    out.buffer.fill(0);
    out.channels = 1;
    out.bits = 16;
    out.sample_rate = 8000;
    auto* samples = reinterpret_cast<gsm_signal*>(out.data());
    for (uint32_t b = 0; b < blocks; ++b) {
        // libgsm takes non-const bytes; its WAV49 state alternates between the 33- and
        // 32-byte halves, so the two calls of one block always run as a pair.
        gsm_byte block[kBlockBytes];
        std::memcpy(block, coded.const_data() + b * kBlockBytes, kBlockBytes);
        gsm_signal* pcm = samples + b * 2 * kSamplesPerHalf;
        gsm_decode(gsm_.get(), block, pcm);
        gsm_decode(gsm_.get(), block + kFirstHalfBytes, pcm + kSamplesPerHalf);
    }
    return out;
}

AudioFormatGSM::AudioFormatGSM(std::unique_ptr<FileReaderGSM> reader, const std::u16string& path)
    : AudioFormatDecoded(std::move(reader), std::make_unique<DecoderGSM>(), path, u"GSM") {}

}  // namespace audio
