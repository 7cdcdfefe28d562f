#include "audio/FileReaderWAV.h"

#include <algorithm>
#include <cmath>

#include "audio/PositionMath.h"

namespace audio {

FileReaderWAV::FileReaderWAV(const std::u16string& path, std::unique_ptr<WaveFormat> record)
    : file_(path, 0), record_(std::move(record)) {
    open_ = open_wave(*record_, file_);
}

bool FileReaderWAV::is_open() {
    NodeGuard guard(lock_);
    return open_;
}

bool FileReaderWAV::at_end() {
    NodeGuard guard(lock_);
    return !open_ || get_position() >= get_length();
}

int FileReaderWAV::get_channels() { return record_->channels; }

int FileReaderWAV::get_sample_rate() { return record_->sample_rate; }

int FileReaderWAV::get_bitrate() { return clamp_to_int(int64_t{record_->bytes_per_second} * 8); }

uint32_t FileReaderWAV::data_bytes_present() {
    const uint32_t size = file_.size();
    const uint32_t rest = size > record_->data_offset ? size - record_->data_offset : 0;
    const uint32_t stated = record_->data_size;
    return stated == 0 ? rest : std::min(stated, rest);
}

FileReaderWAVBlocks::FileReaderWAVBlocks(const std::u16string& path, std::unique_ptr<WaveFormat> record,
                                         int blocks_per_push)
    : FileReaderWAV(path, std::move(record)), samples_per_block_(record_->block_samples()),
      blocks_per_push_(blocks_per_push) {
    if (open_ && samples_per_block_ > 0 && record_->block_align > 0) {
        // The fact count may promise more blocks than the file holds; the final partial
        // block is dropped either way.
        const int64_t stated = record_->fact_samples / static_cast<uint32_t>(samples_per_block_);
        const int64_t present = data_bytes_present() / record_->block_align;
        length_ = clamp_to_int(std::min(stated, present));
    }
}

int FileReaderWAVBlocks::get_length() {
    NodeGuard guard(lock_);
    return length_;
}

int FileReaderWAVBlocks::get_position() {
    NodeGuard guard(lock_);
    return block_;
}

bool FileReaderWAVBlocks::at_end() {
    NodeGuard guard(lock_);
    return !open_ || ended_ || block_ >= length_;
}

void FileReaderWAVBlocks::seek(int block) {
    NodeGuard guard(lock_);
    block = std::clamp(block, 0, length_);
    ended_ = false;
    if (block != block_) {
        block_ = block;
        file_.seek(record_->data_offset + static_cast<uint32_t>(block_) * record_->block_align);
    }
}

int FileReaderWAVBlocks::seconds_to_position(double seconds) {
    if (samples_per_block_ == 0) {
        return 0;
    }
    return truncate_to_int(record_->sample_rate * seconds / samples_per_block_);
}

double FileReaderWAVBlocks::position_to_seconds(int block) {
    if (record_->sample_rate == 0) {
        return 0.0;
    }
    return static_cast<double>(samples_per_block_) * block / record_->sample_rate;
}

int FileReaderWAVBlocks::position_after(int block, double seconds) {
    if (samples_per_block_ == 0) {
        return block;
    }
    const double blocks = std::round(record_->sample_rate * seconds / samples_per_block_);
    return std::max(truncate_to_int(block + blocks), 0);
}

bool FileReaderWAVBlocks::push_time_span(double seconds) {
    if (samples_per_block_ == 0) {
        return false;
    }
    return push_units(seconds_to_position(seconds));
}

bool FileReaderWAVBlocks::push_units(int count) {
    if (!is_open()) {
        return false;
    }
    while (count > 0) {
        AudioBlock block;
        read(block, std::min(count, blocks_per_push_));
        if (block.empty()) {
            return false;
        }
        count -= static_cast<int>(block.length() / record_->block_align);
        push(block);
    }
    return true;
}

void FileReaderWAVBlocks::read(AudioBlock& out, int blocks) {
    NodeGuard guard(lock_);
    out = AudioBlock();
    const int align = record_->block_align;
    const int n = std::clamp(std::min(blocks, length_ - block_), 0, length_);
    if (!open_ || ended_ || n == 0) {
        return;
    }
    skinner::SharedBuffer bytes(static_cast<uint32_t>(n) * align);
    const uint32_t got = file_.read(bytes.data(), bytes.length());
    const int whole = static_cast<int>(got / align);
    if (got != static_cast<uint32_t>(whole) * align) {
        // A partial block is read again next time.
        file_.seek(record_->data_offset + static_cast<uint32_t>(block_ + whole) * align);
    }
    if (whole == 0) {
        ended_ = true;
        return;
    }
    block_ += whole;
    out.buffer = skinner::SharedBuffer(bytes, 0, static_cast<uint32_t>(whole) * align);
    describe(out);
}

}  // namespace audio
