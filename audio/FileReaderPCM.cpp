#include "audio/FileReaderPCM.h"

#include <algorithm>

#include "audio/PositionMath.h"

namespace audio {

namespace {

constexpr int kFramesPerPush = 5000;

// 24-bit samples as 16-bit ones: the upper two bytes of each (little-endian) sample.
skinner::SharedBuffer to_16_bits(const skinner::SharedBuffer& wide) {
    const uint32_t samples = wide.length() / 3;
    skinner::SharedBuffer narrow(samples * 2);
    const uint8_t* from = wide.const_data();
    uint8_t* to = narrow.data();
    for (uint32_t i = 0; i < samples; ++i) {
        to[2 * i] = from[3 * i + 1];
        to[2 * i + 1] = from[3 * i + 2];
    }
    return narrow;
}

}  // namespace

FileReaderPCM::FileReaderPCM(const std::u16string& path) : FileReaderWAV(path, std::make_unique<WaveFormatPCM>()) {
    if (open_) {
        // A trailing partial frame is no sample of every channel, so it is left out.
        const uint32_t align = record_->block_align;
        length_ = clamp_to_int(data_bytes_present() / align * align);
    }
}

int FileReaderPCM::get_bits() { return record_->bits == 24 ? 16 : record_->bits; }

int FileReaderPCM::get_length() {
    NodeGuard guard(lock_);
    return length_;
}

int FileReaderPCM::get_position() {
    NodeGuard guard(lock_);
    if (!open_) {
        return 0;
    }
    const uint32_t at = file_.position();
    return at > record_->data_offset ? clamp_to_int(at - record_->data_offset) : 0;
}

void FileReaderPCM::seek(int position) {
    NodeGuard guard(lock_);
    if (!open_) {
        return;
    }
    const int align = record_->block_align;
    const int p = std::clamp(position, 0, length_) / align * align;
    file_.seek(record_->data_offset + static_cast<uint32_t>(p));
}

int FileReaderPCM::seconds_to_position(double seconds) {
    const int64_t frames = truncate_to_int(record_->sample_rate * seconds);
    return clamp_to_int(frames * record_->block_align);
}

double FileReaderPCM::position_to_seconds(int position) {
    if (record_->block_align == 0 || record_->sample_rate == 0) {
        return 0.0;
    }
    return static_cast<double>(position) / record_->block_align / record_->sample_rate;
}

bool FileReaderPCM::push_time_span(double seconds) {
    return push_units(seconds_to_position(seconds));
}

bool FileReaderPCM::push_units(int count) {
    if (!is_open() || record_->block_align == 0) {
        return false;
    }
    int frames = count / record_->block_align;
    if (count > 0 && frames == 0) {
        return false;  // less than one frame asked: nothing can move
    }
    while (frames > 0) {
        AudioBlock block;
        read(block, std::min(frames, kFramesPerPush));
        if (block.empty()) {
            return false;
        }
        frames -= block.frame_count();
        push(block);
    }
    return true;
}

void FileReaderPCM::read(AudioBlock& out, int frames) {
    NodeGuard guard(lock_);
    out = AudioBlock();
    if (!open_ || frames <= 0) {
        return;
    }
    const int64_t wanted = int64_t{frames} * record_->block_align;
    const int64_t left = std::max(0, length_ - get_position());
    const uint32_t n = static_cast<uint32_t>(std::min(wanted, left));
    if (n == 0) {
        return;
    }
    skinner::SharedBuffer bytes(n);
    if (file_.read(bytes.data(), n) != n) {
        open_ = false;
        return;
    }
    out.buffer = record_->bits == 24 ? to_16_bits(bytes) : bytes;
    out.channels = record_->channels;
    out.bits = get_bits();
    out.sample_rate = record_->sample_rate;
}

AudioFormatPCM::AudioFormatPCM(std::unique_ptr<FileReaderPCM> reader, const std::u16string& path)
    : AudioFormat(std::move(reader), path, u"PCM") {}

}  // namespace audio
