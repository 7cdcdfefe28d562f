#include "audio/DecoderMP3.h"

#include <algorithm>

#include "audio/Mp3FrameHeader.h"

namespace audio {

namespace {

bool is_decodable_rate(int rate) {
    constexpr int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    return std::find(std::begin(kRates), std::end(kRates), rate) != std::end(kRates);
}

}  // namespace

DecoderMP3::DecoderMP3() : state_(mp3_decoder_create()) {}

DecoderMP3::~DecoderMP3() {
    NodeGuard guard(node_lock());
    mp3_decoder_free(state_);
    state_ = nullptr;
}

void DecoderMP3::reset() {
    // The user-interface thread seeks while the player thread may be decoding.
    NodeGuard guard(node_lock());
    mp3_decoder_free(state_);
    state_ = mp3_decoder_create();
    clear_held();
}

AudioBlock DecoderMP3::convert(const AudioBlock& coded) {
    NodeGuard guard(node_lock());
    Mp3FrameInfo info;
    if (coded.length() < 4 || !parse_mp3_frame_header(coded.const_data(), info) ||
        !is_decodable_rate(info.sample_rate)) {
        return AudioBlock();
    }
    // libmad wants MAD_BUFFER_GUARD bytes after a frame before it decodes it; the last
    // frame of a file has none of its own.
    coded_.assign(coded.const_data(), coded.const_data() + coded.length());
    coded_.resize(coded.length() + MAD_BUFFER_GUARD, 0);

    AudioBlock out;
    int out_size = info.channels * info.samples_per_frame * 16 / 8;
    out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(out_size));
    int consumed = 0;
    int written = 0;
    int result = mp3_decoder_decode(state_, coded_.data(), static_cast<int>(coded_.size()), out.buffer.data(),
                                    out_size, consumed, written, 16);
    const int frame_bytes = info.channels * 2;
    const int dropped = std::min(std::max(coded.drop_frames, 0) * frame_bytes, written);
    if (result != 0 || dropped == written) {
        return AudioBlock();
    }
    out.buffer = skinner::SharedBuffer(out.buffer, static_cast<uint32_t>(dropped), static_cast<uint32_t>(written - dropped));
    out.channels = info.channels;
    out.bits = 16;
    out.sample_rate = info.sample_rate;
    return out;
}

}  // namespace audio
