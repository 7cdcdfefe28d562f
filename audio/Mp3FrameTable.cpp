#include "audio/Mp3FrameTable.h"

#include <algorithm>
#include <cmath>

#include "base/File.h"

namespace audio {

namespace {

constexpr uint32_t kWindowBytes = 64 * 1024;

// A window of the stream: at(offset, n) points at n bytes there, reading them when needed.
class StreamWindow {
public:
    explicit StreamWindow(skinner::InputStream& in) : in_(in), size_(in.size()), bytes_(kWindowBytes) {}

    uint32_t size() const { return size_; }

    const uint8_t* at(uint32_t offset, uint32_t n) {
        if (offset > size_ || n > size_ - offset) {
            return nullptr;
        }
        if (offset < start_ || offset + n > start_ + fill_) {
            start_ = offset;
            fill_ = in_.seek(offset) ? in_.read(bytes_.data(), kWindowBytes) : 0;
            if (n > fill_) {
                return nullptr;
            }
        }
        return bytes_.data() + (offset - start_);
    }

private:
    skinner::InputStream& in_;
    uint32_t size_;
    std::vector<uint8_t> bytes_;
    uint32_t start_ = 0;
    uint32_t fill_ = 0;
};

// The frame of format's stream whose header is at offset, when it lies whole in the stream.
bool frame_at(StreamWindow& window, uint32_t offset, const Mp3FrameInfo& format, Mp3FrameInfo& out) {
    const uint8_t* h = window.at(offset, 4);
    return h != nullptr && parse_mp3_frame_header(h, out) && same_mp3_stream(out, format) &&
           static_cast<uint64_t>(offset) + static_cast<uint32_t>(out.frame_length) <= window.size();
}

// A header inside damaged data is believed when another follows it, it ends the stream, or
// an ID3v1 tag follows it.
bool confirmed(StreamWindow& window, uint32_t offset, const Mp3FrameInfo& frame, const Mp3FrameInfo& format) {
    const uint32_t next = offset + static_cast<uint32_t>(frame.frame_length);
    if (window.size() - next < 4) {
        return true;
    }
    const uint8_t* tag = window.at(next, 3);
    Mp3FrameInfo following;
    return frame_at(window, next, format, following) || (tag != nullptr && tag[0] == 'T' && tag[1] == 'A' && tag[2] == 'G');
}

}  // namespace

void Mp3FrameTable::build(skinner::InputStream& in, uint32_t first, const Mp3FrameInfo& format) {
    starts_.clear();
    samples_per_frame_ = format.samples_per_frame;
    sample_rate_ = format.sample_rate;
    StreamWindow window(in);
    if (format.frame_length > 0) {
        starts_.reserve(window.size() / static_cast<uint32_t>(format.frame_length) + 1);
    }
    end_ = first;
    uint32_t at = first;
    bool lost = false;
    while (window.size() - std::min(at, window.size()) >= 4) {
        Mp3FrameInfo frame;
        if (frame_at(window, at, format, frame) && (!lost || confirmed(window, at, frame, format))) {
            starts_.push_back(at);
            at += static_cast<uint32_t>(frame.frame_length);
            end_ = at;
            lost = false;
        } else {
            lost = true;
            ++at;
        }
    }
    set_timing(0, int64_t{frame_count()} * samples_per_frame_);
}

void Mp3FrameTable::set_timing(int skip, int64_t samples) {
    skip_ = std::max(skip, 0);
    samples_ = std::clamp<int64_t>(samples, 0, int64_t{frame_count()} * samples_per_frame_);
}

uint32_t Mp3FrameTable::start_of(int frame) const {
    return frame >= frame_count() ? end_ : starts_[static_cast<size_t>(std::max(frame, 0))];
}

int Mp3FrameTable::frame_at_or_after(uint32_t position) const {
    return static_cast<int>(std::lower_bound(starts_.begin(), starts_.end(), position) - starts_.begin());
}

int Mp3FrameTable::frame_containing(uint32_t position) const {
    if (position >= end_ && !empty()) {
        return frame_count();
    }
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin()) - 1;
}

double Mp3FrameTable::duration() const { return sample_rate_ == 0 ? 0.0 : static_cast<double>(samples_) / sample_rate_; }

double Mp3FrameTable::seconds_at(uint32_t position) const {
    if (empty() || sample_rate_ == 0 || position <= starts_.front()) {
        return 0.0;
    }
    if (position >= end_) {
        return duration();
    }
    // Within a frame the bytes are taken as evenly spread over its samples.
    const int frame = frame_containing(position);
    const uint32_t start = start_of(frame);
    const double within = static_cast<double>(position - start) / (start_of(frame + 1) - start);
    const double decoded = (frame + within) * samples_per_frame_;
    return std::clamp(decoded - skip_, 0.0, static_cast<double>(samples_)) / sample_rate_;
}

uint32_t Mp3FrameTable::position_at(double seconds) const {
    if (empty() || samples_per_frame_ == 0) {
        return 0;
    }
    if (seconds >= duration()) {
        return end_;
    }
    const double decoded = std::max(seconds, 0.0) * sample_rate_ + skip_;
    const int frame = static_cast<int>(std::min(std::floor(decoded / samples_per_frame_), static_cast<double>(frame_count())));
    const uint32_t start = start_of(frame);
    const double within = decoded / samples_per_frame_ - frame;
    return start + static_cast<uint32_t>(std::lround(within * (start_of(frame + 1) - start)));
}

}  // namespace audio
