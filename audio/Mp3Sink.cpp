#include "audio/Mp3Sink.h"

#include <algorithm>
#include <cstring>

#include <lame/lame.h>

#include "audio/AudioLog.h"
#include "audio/PcmSamples.h"

namespace audio {

Mp3Sink::Mp3Sink(int bitrate) : bitrate_(bitrate) {}

Mp3Sink::~Mp3Sink() {
    NodeGuard guard(node_lock());
    if (encoder_ != nullptr) {
        lame_close(encoder_);
        encoder_ = nullptr;
    }
}

void Mp3Sink::read(AudioBlock& out, int) { out = AudioBlock(); }

int64_t Mp3Sink::get_frames_encoded() {
    NodeGuard guard(node_lock());
    return frames_encoded_;
}

bool Mp3Sink::create_encoder(int channels, int sample_rate) {
    lame_global_flags* flags = lame_init();
    if (flags == nullptr) {
        return false;
    }
    lame_set_in_samplerate(flags, sample_rate);
    lame_set_num_channels(flags, channels);
    lame_set_brate(flags, bitrate_ / 1000);
    // The library would reserve a first frame for a tag that only a later pass over the
    // file fills in; left empty it is one more frame of silence.
    lame_set_bWriteVbrTag(flags, 0);
    if (lame_init_params(flags) < 0) {
        // Settings the library refuses (an unsupported rate) leave no usable encoder.
        lame_close(flags);
        return false;
    }
    encoder_ = flags;
    return true;
}

void Mp3Sink::push_coded(int count) {
    if (count <= 0) {
        return;
    }
    AudioBlock coded;
    coded.buffer = skinner::SharedBuffer(static_cast<uint32_t>(count), output_);
    push(coded);
}

void Mp3Sink::finish_encoder() {
    // The last samples rarely fill a whole frame; dropping them would cut the end short.
    int frame_bytes = staged_bits_ * channels_ / 8;
    if (frame_bytes > 0 && staged_ >= static_cast<uint32_t>(frame_bytes)) {
        encode_staged(staged_bits_, channels_, static_cast<int>(staged_ / static_cast<uint32_t>(frame_bytes)));
    }
    staged_ = 0;
    int count = lame_encode_flush(encoder_, output_, kOutputBytes);
    if (count < 0) {
        log_error("Mp3Sink lame_encode_flush=", count);
    }
    push_coded(count);
}

void Mp3Sink::flush() {
    NodeGuard guard(node_lock());
    if (encoder_ != nullptr) {
        finish_encoder();
    }
}

void Mp3Sink::encode_staged(int bits, int channels, int frame_size) {
    const uint8_t* p = staging_;
    for (int i = 0; i < frame_size; ++i) {
        for (int c = 0; c < channels; ++c) {
            int16_t value;
            if (bits == 16) {
                value = read_s16(p);
                p += 2;
            } else {
                value = static_cast<int16_t>((int{*p} - 128) * 256);
                p += 1;
            }
            (c == 0 ? left_ : right_)[i] = value;
        }
        if (channels == 1) {
            right_[i] = 0;
        }
    }
    frames_encoded_ += frame_size;
    int count = lame_encode_buffer(encoder_, left_, right_, frame_size, output_, kOutputBytes);
    if (count < 0) {
        log_error("Mp3Sink lame_encode_buffer=", count);
    }
    push_coded(count);
}

void Mp3Sink::on_data(const AudioBlock& block) {
    NodeGuard guard(node_lock());
    if (block.empty() || block.sample_rate < kMinSampleRate || (block.bits != 8 && block.bits != 16) ||
        (block.channels != 1 && block.channels != 2)) {
        return;
    }
    if (block.channels != channels_ || block.sample_rate != sample_rate_) {
        if (encoder_ != nullptr) {
            finish_encoder();
            lame_close(encoder_);
            encoder_ = nullptr;
        }
        channels_ = block.channels;
        sample_rate_ = block.sample_rate;
    }
    if (encoder_ == nullptr) {
        staged_ = 0;
        if (!create_encoder(channels_, sample_rate_)) {
            return;
        }
    }
    int frame_size = lame_get_framesize(encoder_);
    int frame_bytes = block.bits * block.channels / 8;
    if (frame_size <= 0 || frame_size > kMaxFrameSamples || frame_bytes == 0) {
        return;
    }
    const uint32_t chunk = static_cast<uint32_t>(frame_bytes * frame_size);
    // Bits may change between blocks of one encoder; never let the stage exceed a chunk.
    staged_ = std::min(staged_, chunk);
    const uint8_t* bytes = block.const_data();
    uint32_t consumed = 0;
    while (chunk - staged_ < block.length() - consumed) {
        uint32_t needed = chunk - staged_;
        std::memcpy(staging_ + staged_, bytes + consumed, needed);
        consumed += needed;
        staged_ = 0;
        encode_staged(block.bits, block.channels, frame_size);
    }
    staged_bits_ = block.bits;
    uint32_t rest = block.length() - consumed;
    std::memcpy(staging_ + staged_, bytes + consumed, rest);
    staged_ += rest;
}

}  // namespace audio
