#include "audio/FileReaderMP3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/File.h"
#include "base/Log.h"
#include "platform/kernel/Core.h"

namespace audio {

using skinner::ScopedLock;

FileReaderMP3::FileReaderMP3(const std::u16string& path) : file_(std::make_unique<skinner::File>(path, 0)) {
    open();
}

FileReaderMP3::~FileReaderMP3() = default;

void FileReaderMP3::open() {
    if (!file_->is_open()) {
        return;
    }
    file_size_ = file_->size();
    if (file_size_ == 0) {
        return;
    }
    // Scanning needs the open flag: read_more only reports short reads of an open reader.
    open_ = true;
    skip_id3v2_tag();
    seek_unlocked(audio_start_);
    if (!find_first_frame()) {
        open_ = false;
        return;
    }
    estimate_bitrate();
    if (!open_) {
        return;
    }
    seek_unlocked(0);
}

void FileReaderMP3::skip_id3v2_tag() {
    uint8_t head[10];
    if (file_size_ < sizeof head || file_->read(head, sizeof head) != sizeof head) {
        return;
    }
    if (head[0] != 'I' || head[1] != 'D' || head[2] != '3' || head[3] == 0xFF || head[4] == 0xFF) {
        return;
    }
    uint32_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80) {
            return;  // not a synchsafe size: not a tag
        }
        size = size << 7 | head[i];
    }
    uint64_t end = uint64_t{10} + size + ((head[5] & 0x10) ? 10 : 0);
    // A stated size beyond the file is not believed; the scan then starts at 0.
    if (end < file_size_) {
        audio_start_ = static_cast<uint32_t>(end);
    }
}

bool FileReaderMP3::read_more() {
    if (static_cast<int64_t>(index_) <= static_cast<int64_t>(fill_) - kLookAhead || bytes_read_ >= file_size_) {
        return true;
    }
    uint32_t rest = fill_ - index_;
    std::memmove(buffer_, buffer_ + index_, rest);
    uint32_t asked = std::min<uint32_t>(file_size_ - bytes_read_, kBufferSize - rest);
    uint32_t got = file_->read(buffer_ + rest, asked);
    if (open_ && got < asked) {
        skinner::Log::instance() << "FileReaderMP3::read_more error=" << static_cast<int>(GetLastError()) << "\n";
        open_ = false;
    }
    bytes_read_ += got;
    fill_ = rest + got;
    index_ = 0;
    return got > 0;
}

bool FileReaderMP3::sync() {
    Mp3FrameInfo info;
    while (static_cast<int64_t>(index_) < static_cast<int64_t>(fill_) - 4) {
        if (parse_mp3_frame_header(buffer_ + index_, info)) {
            return true;
        }
        ++index_;
    }
    return false;
}

bool FileReaderMP3::same_stream(const Mp3FrameInfo& info) const {
    return info.version == first_.version && info.layer == first_.layer && info.channels == first_.channels &&
           info.sample_rate == first_.sample_rate && info.samples_per_frame == first_.samples_per_frame;
}

bool FileReaderMP3::reached_end() const { return !open_ || position() + 4 >= file_size_; }

bool FileReaderMP3::next_frame(Mp3FrameInfo& info) {
    while (open_ && !reached_end()) {
        read_more();
        if (sync()) {
            Mp3FrameInfo found;
            parse_mp3_frame_header(buffer_ + index_, found);
            if (same_stream(found)) {
                read_more();
                info = found;
                return true;
            }
            ++index_;
        } else if (bytes_read_ >= file_size_) {
            // No header in what is left of the file.
            index_ = fill_;
        }
    }
    return false;
}

bool FileReaderMP3::find_first_frame() {
    for (;;) {
        while (!sync()) {
            if (bytes_read_ >= file_size_ || !open_) {
                return false;
            }
            read_more();
        }
        read_more();
        uint32_t candidate = index_;
        parse_mp3_frame_header(buffer_ + candidate, first_);
        uint64_t next = uint64_t{candidate} + static_cast<uint32_t>(first_.frame_length);
        Mp3FrameInfo second;
        if (next + 4 < fill_ && parse_mp3_frame_header(buffer_ + next, second) && same_stream(second)) {
            return true;
        }
        // A false header: go on right after it, so a real frame within its length is not skipped.
        first_ = Mp3FrameInfo();
        index_ = candidate + 1;
    }
}

void FileReaderMP3::estimate_bitrate() {
    const int probes = static_cast<int>(std::min<uint32_t>(file_size_ / 100000, 20));
    int64_t sum = first_.bitrate;
    int64_t n = 1;
    for (int i = 1; i < probes; ++i) {
        seek_unlocked(static_cast<uint32_t>(uint64_t{file_size_} * static_cast<uint64_t>(i) / static_cast<uint64_t>(probes)));
        Mp3FrameInfo info;
        if (next_frame(info) && open_) {
            sum += info.bitrate;
            ++n;
        }
    }
    first_.bitrate = static_cast<int32_t>((sum + n / 2) / n);
}

void FileReaderMP3::seek_unlocked(uint32_t position) {
    position = std::max(std::min(position, file_size_), audio_start_);
    if (!file_->seek(position)) {
        open_ = false;
    }
    bytes_read_ = position;
    fill_ = 0;
    index_ = 0;
    ended_ = false;
}

void FileReaderMP3::read(AudioBlock& out, int) {
    ScopedLock guard(lock_);
    out = AudioBlock();
    Mp3FrameInfo info;
    if (ended_ || reached_end() || !next_frame(info) || reached_end()) {
        ended_ = true;
        return;
    }
    uint32_t available = fill_ - index_;
    uint32_t take = std::min<uint32_t>(available, kLookAhead);
    out.buffer = skinner::SharedBuffer(take, buffer_ + index_);
    index_ += std::min<uint32_t>(available, static_cast<uint32_t>(info.frame_length));
}

bool FileReaderMP3::is_open() {
    ScopedLock guard(lock_);
    return open_;
}

bool FileReaderMP3::at_end() {
    ScopedLock guard(lock_);
    return ended_ || reached_end();
}

int FileReaderMP3::seconds_to_position(double seconds) {
    double position = first_.bitrate * seconds * 125.0;
    if (!(position > 0)) {
        return 0;
    }
    return position >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(position);
}

double FileReaderMP3::position_to_seconds(int position) {
    if (first_.bitrate == 0) {
        return 0.0;
    }
    return static_cast<double>(int64_t{position} * 8 / first_.bitrate) * 0.001;
}

int FileReaderMP3::get_length() {
    ScopedLock guard(lock_);
    return static_cast<int>(std::min<uint32_t>(file_size_, std::numeric_limits<int>::max()));
}

int FileReaderMP3::get_position() {
    ScopedLock guard(lock_);
    return static_cast<int>(position());
}

void FileReaderMP3::seek(int position) {
    ScopedLock guard(lock_);
    seek_unlocked(position < 0 ? 0 : static_cast<uint32_t>(position));
}

bool FileReaderMP3::push_time_span(double seconds) {
    double start = get_current_time();
    while (get_current_time() - start < seconds) {
        AudioBlock block;
        read(block, 0);
        if (block.empty()) {
            return false;
        }
        push(block);
    }
    return true;
}

bool FileReaderMP3::push_units(int count) {
    int64_t start = get_position();
    while (get_position() - start < count) {
        AudioBlock block;
        read(block, 0);
        if (block.empty()) {
            return false;
        }
        push(block);
    }
    return true;
}

}  // namespace audio
