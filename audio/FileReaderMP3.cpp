#include "audio/FileReaderMP3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "audio/Mp3InfoHeader.h"
#include "base/File.h"
#include "base/Log.h"
#include "platform/kernel/Core.h"

namespace audio {

using skinner::ScopedLock;

namespace {

// The synthesis filter's own delay, which a LAME tag's encoder delay leaves out.
constexpr int kDecoderDelay = 529;
// Layer III frames may take up to 511 bytes of their data from the frames before them; a
// frame's header and side information (with a CRC) take at most this much of its own bytes.
constexpr uint32_t kReservoirBytes = 511;
constexpr uint32_t kFrameOverhead = 4 + 2 + 32;
constexpr uint32_t kMaxPrimingBytes = 16384;

}  // namespace

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
    first_frame_ = position();
    build_frame_table();
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
    // A stated size beyond the file is not believed; the scan then starts at 0. Nor is one that
    // does not end where a frame begins (it may end inside the first frames, the encoder's
    // header among them): the scan then starts right after the tag's header.
    if (end < file_size_) {
        audio_start_ = stream_starts_at(static_cast<uint32_t>(end)) ? static_cast<uint32_t>(end) : sizeof head;
    }
}

bool FileReaderMP3::stream_starts_at(uint32_t offset) {
    uint8_t bytes[4];
    Mp3FrameInfo frame;
    if (!file_->seek(offset) || file_->read(bytes, sizeof bytes) != sizeof bytes || !parse_mp3_frame_header(bytes, frame)) {
        return false;
    }
    const uint64_t next = uint64_t{offset} + static_cast<uint32_t>(frame.frame_length);
    if (next + sizeof bytes > file_size_) {
        return next <= file_size_;  // a last frame that ends with the file
    }
    Mp3FrameInfo following;
    return file_->seek(static_cast<uint32_t>(next)) && file_->read(bytes, sizeof bytes) == sizeof bytes &&
           ((parse_mp3_frame_header(bytes, following) && same_mp3_stream(following, frame)) ||
            (bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G'));
}

void FileReaderMP3::build_frame_table() {
    Mp3InfoHeader header;
    const uint32_t available = std::min<uint32_t>(fill_ - index_, static_cast<uint32_t>(first_.frame_length));
    const bool described = parse_mp3_info_header({buffer_ + index_, available}, first_, header);
    uint32_t audio = first_frame_;
    if (described) {
        info_frame_ = first_frame_;
        audio += static_cast<uint32_t>(first_.frame_length);
    }
    // Without an encoder's header the frames are found all the same: the table times any
    // file exactly, where a bit rate would only estimate a variable one.
    table_.build(*file_, audio, first_);
    if (table_.empty()) {
        return;  // no whole frame of audio: the first frame's bit rate times what there is
    }
    const int64_t decoded = int64_t{table_.frame_count()} * first_.samples_per_frame;
    if (described && header.encoder_delay >= 0) {
        // The padding counts from the end of the stated frames: only a whole file has it.
        const bool whole = header.frames == static_cast<uint32_t>(table_.frame_count());
        const int tail = whole ? std::max(header.padding - kDecoderDelay, 0) : 0;
        const int skip = header.encoder_delay + kDecoderDelay;
        table_.set_timing(skip, decoded - skip - tail);
    }
    // Over the frames' own time, so that a constant-bit-rate file keeps its exact rate.
    const double seconds = static_cast<double>(decoded) / first_.sample_rate;
    if (seconds > 0) {
        const double kbps = table_.audio_bytes() * 8.0 / seconds / 1000.0;
        first_.bitrate = static_cast<int32_t>(std::clamp(std::lround(kbps), 1L, 100000L));
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

bool FileReaderMP3::same_stream(const Mp3FrameInfo& info) const { return same_mp3_stream(info, first_); }

bool FileReaderMP3::reached_end() const { return !open_ || position() + 4 >= file_size_; }

bool FileReaderMP3::confirmed_at_index(const Mp3FrameInfo& info) const {
    const uint64_t next = uint64_t{index_} + static_cast<uint32_t>(info.frame_length);
    if (next + 4 > fill_) {
        return true;  // the end of the data, or beyond what is buffered: nothing to check against
    }
    Mp3FrameInfo following;
    const uint8_t* p = buffer_ + next;
    return (parse_mp3_frame_header(p, following) && same_stream(following)) || (p[0] == 'T' && p[1] == 'A' && p[2] == 'G');
}

bool FileReaderMP3::next_frame(Mp3FrameInfo& info) {
    while (open_ && !reached_end()) {
        read_more();
        if (sync()) {
            Mp3FrameInfo found;
            parse_mp3_frame_header(buffer_ + index_, found);
            if (same_stream(found) && (!confirm_sync_ || confirmed_at_index(found))) {
                confirm_sync_ = false;
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

void FileReaderMP3::seek_unlocked(uint32_t position) {
    position = std::max(std::min(position, file_size_), audio_start_);
    if (!file_->seek(position)) {
        open_ = false;
    }
    bytes_read_ = position;
    fill_ = 0;
    index_ = 0;
    ended_ = false;
    seek_target_ = 0;
    confirm_sync_ = false;
}

uint32_t FileReaderMP3::priming_start(uint32_t target) const {
    if (!table_.empty()) {
        const int frame = table_.frame_containing(target);
        if (frame <= 0) {
            return frame < 0 ? target : table_.start_of(0);
        }
        // Frame - 1 decodes fully (so its overlap is there for the target's frame) once the
        // ones before it have filled its reservoir.
        int j = frame - 1;
        uint32_t reservoir = 0;
        while (j > 0 && reservoir < kReservoirBytes) {
            --j;
            const uint32_t bytes = table_.start_of(j + 1) - table_.start_of(j);
            reservoir += bytes - std::min(bytes, kFrameOverhead);
        }
        return table_.start_of(j);
    }
    if (target <= first_frame_) {
        return target;
    }
    // Frames of one bit rate: enough of them for the reservoir, one for the overlap and one
    // for the partial frame the seek lands in.
    const uint32_t length = static_cast<uint32_t>(first_.frame_length) + 1;
    const uint32_t payload = std::max<uint32_t>(length - std::min(length, kFrameOverhead), 8);
    const uint32_t bytes = std::min((kReservoirBytes / payload + 3) * length, kMaxPrimingBytes);
    return target - std::min(target - first_frame_, bytes);
}

void FileReaderMP3::read(AudioBlock& out, int) {
    ScopedLock guard(lock_);
    out = AudioBlock();
    Mp3FrameInfo info;
    for (;;) {
        if (ended_ || reached_end() || !next_frame(info) || reached_end()) {
            ended_ = true;
            seek_target_ = 0;
            return;
        }
        if (position() != info_frame_) {
            break;
        }
        // The encoder's header is no audio.
        index_ += std::min<uint32_t>(fill_ - index_, static_cast<uint32_t>(info.frame_length));
    }
    uint32_t available = fill_ - index_;
    uint32_t take = std::min<uint32_t>(available, kLookAhead);
    out.buffer = skinner::SharedBuffer(take, buffer_ + index_);
    const uint32_t start = position();
    const uint32_t end = start + static_cast<uint32_t>(info.frame_length);
    if (start < seek_target_) {
        // Bytes stand for the frame's samples evenly, as in the times of the frame table.
        out.drop_frames = end <= seek_target_
                              ? info.samples_per_frame
                              : static_cast<int>(std::lround(static_cast<double>(seek_target_ - start) *
                                                             info.samples_per_frame / info.frame_length));
    }
    if (end > seek_target_) {
        seek_target_ = 0;
    }
    index_ += std::min<uint32_t>(available, static_cast<uint32_t>(info.frame_length));
}

bool FileReaderMP3::is_open() {
    ScopedLock guard(lock_);
    return open_;
}

bool FileReaderMP3::at_end() {
    ScopedLock guard(lock_);
    return ended_ || !open_ || uint64_t{reported_position()} + 4 >= file_size_;
}

int FileReaderMP3::seconds_to_position(double seconds) {
    if (!table_.empty()) {
        return static_cast<int>(std::min<uint32_t>(table_.position_at(seconds), std::numeric_limits<int>::max()));
    }
    double position = first_.bitrate * seconds * 125.0;
    if (!(position > 0)) {
        return 0;
    }
    return position >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(position);
}

double FileReaderMP3::position_to_seconds(int position) {
    if (!table_.empty()) {
        return table_.seconds_at(position < 0 ? 0 : static_cast<uint32_t>(position));
    }
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
    return static_cast<int>(reported_position());
}

void FileReaderMP3::seek(int position) {
    ScopedLock guard(lock_);
    const uint32_t target = std::min(position < 0 ? 0 : static_cast<uint32_t>(position), file_size_);
    const uint32_t start = uint64_t{target} + 4 >= file_size_ ? target : priming_start(target);
    seek_unlocked(start);
    if (start < target) {
        seek_target_ = target;
        // Without a table the start is somewhere inside a frame, where data can look like a header.
        confirm_sync_ = table_.empty();
    }
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
