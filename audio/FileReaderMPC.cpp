#include "audio/FileReaderMPC.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <vector>

#include "audio/PositionMath.h"

namespace audio {

namespace {

// The library's float samples have full scale 1.0 = 32768.
constexpr float kFullScale = 32768.0f;
// A frame may come with no samples (and no end); decoding goes on, but not forever.
constexpr int kMaxEmptyFrames = 64;

// libmpcdec hands each call-back its reader table; the File sits in its data field.
skinner::File& file_of(mpc_reader* reader) { return *static_cast<skinner::File*>(reader->data); }

mpc_int32_t mpc_read(mpc_reader* reader, void* ptr, mpc_int32_t size) {
    return size <= 0 ? 0 : static_cast<mpc_int32_t>(file_of(reader).read(ptr, static_cast<uint32_t>(size)));
}

mpc_bool_t mpc_seek(mpc_reader* reader, mpc_int32_t offset) {
    return offset >= 0 && file_of(reader).seek(static_cast<uint32_t>(offset));
}

mpc_int32_t mpc_tell(mpc_reader* reader) { return clamp_to_int(file_of(reader).position()); }

mpc_int32_t mpc_get_size(mpc_reader* reader) { return clamp_to_int(file_of(reader).size()); }

mpc_bool_t mpc_canseek(mpc_reader*) { return 1; }

int16_t to_pcm16(float sample) {
    const float scaled = std::floor(sample * kFullScale);
    if (!(scaled > -32768.0f)) {  // also catches NaN from a damaged frame
        return scaled > 0.0f ? 32767 : -32768;
    }
    return scaled >= 32767.0f ? int16_t{32767} : static_cast<int16_t>(scaled);
}

}  // namespace

FileReaderMPC::FileReaderMPC(const std::u16string& path) : file_(path, 0) {
    if (!file_.is_open()) {
        return;
    }
    callbacks_ = {mpc_read, mpc_seek, mpc_tell, mpc_get_size, mpc_canseek, &file_};
    demux_.reset(mpc_demux_init(&callbacks_));
    if (demux_ == nullptr) {
        return;
    }
    mpc_demux_get_info(demux_.get(), &info_);
    if (info_.channels == 0 || info_.channels > 2 || info_.sample_freq == 0 || info_.sample_freq > INT_MAX) {
        info_.channels = 0;  // marks the reader as not open
        return;
    }
    length_ = clamp_to_int(std::max<mpc_int64_t>(mpc_streaminfo_get_length_samples(&info_), 0));
}

FileReaderMPC::~FileReaderMPC() {
    NodeGuard guard(lock_);
    held_ = AudioBlock();
}

bool FileReaderMPC::is_open() {
    NodeGuard guard(lock_);
    return info_.channels != 0;
}

bool FileReaderMPC::at_end() {
    NodeGuard guard(lock_);
    return info_.channels == 0 || (held_.empty() && (ended_ || position_ >= length_));
}

int FileReaderMPC::get_channels() { return static_cast<int>(info_.channels); }

int FileReaderMPC::get_sample_rate() { return static_cast<int>(info_.sample_freq); }

int FileReaderMPC::get_bitrate() { return truncate_to_int(info_.average_bitrate); }

int FileReaderMPC::get_length() {
    NodeGuard guard(lock_);
    return length_;
}

int FileReaderMPC::get_position() {
    NodeGuard guard(lock_);
    return position_;
}

void FileReaderMPC::seek(int position) {
    NodeGuard guard(lock_);
    if (info_.channels == 0) {
        return;
    }
    // Samples held from before the seek belong to the old place.
    held_ = AudioBlock();
    position_ = std::clamp(position, 0, length_);
    ended_ = mpc_demux_seek_sample(demux_.get(), static_cast<mpc_uint64_t>(position_)) != MPC_STATUS_OK;
}

bool FileReaderMPC::decode_frame() {
    static_assert(std::endian::native == std::endian::little, "PCM blocks are little-endian");
    std::vector<MPC_SAMPLE_FORMAT> samples(MPC_DECODER_BUFFER_LENGTH);
    mpc_frame_info frame{};
    for (int tries = 0; tries < kMaxEmptyFrames; ++tries) {
        frame.buffer = samples.data();
        if (mpc_demux_decode(demux_.get(), &frame) != MPC_STATUS_OK || frame.bits == -1) {
            return false;
        }
        if (frame.samples > 0) {
            break;
        }
    }
    const uint32_t channels = info_.channels;
    const uint32_t count = std::min<uint32_t>(frame.samples, MPC_DECODER_BUFFER_LENGTH / channels);
    if (count == 0) {
        return false;
    }
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(count * channels * 2);
    auto* pcm = reinterpret_cast<int16_t*>(block.data());
    for (uint32_t i = 0; i < count * channels; ++i) {
        pcm[i] = to_pcm16(samples[i]);
    }
    block.channels = static_cast<int>(channels);
    block.bits = 16;
    block.sample_rate = static_cast<int>(info_.sample_freq);
    held_ = block;
    position_ = clamp_to_int(int64_t{position_} + count);
    return true;
}

void FileReaderMPC::read(AudioBlock& out, int frames) {
    NodeGuard guard(lock_);
    out = AudioBlock();
    if (info_.channels == 0 || frames <= 0) {
        return;
    }
    if (held_.empty()) {
        if (ended_ || !decode_frame()) {
            ended_ = true;
            return;
        }
    }
    const uint32_t frame_bytes = info_.channels * 2;
    const uint32_t take = static_cast<uint32_t>(std::min<int64_t>(int64_t{frames} * frame_bytes, held_.length()));
    out = held_;
    out.buffer = skinner::SharedBuffer(held_.buffer, 0, take);
    held_.buffer = skinner::SharedBuffer(held_.buffer, take, held_.length() - take);
    if (held_.empty()) {
        held_ = AudioBlock();
    }
}

AudioFormatMPC::AudioFormatMPC(std::unique_ptr<FileReaderMPC> reader, const std::u16string& path)
    : AudioFormat(std::move(reader), path, u"MPC") {}

}  // namespace audio
