#include "audio/AudioReader.h"

#include "audio/PositionMath.h"

namespace audio {

double AudioReader::get_duration() { return position_to_seconds(get_length()); }

double AudioReader::get_current_time() { return position_to_seconds(get_position()); }

void AudioReader::set_time(double seconds) { seek(seconds_to_position(seconds)); }

int AudioReader::position_after(int position, double seconds) {
    // A nanosecond more, so that a reader that truncates does not lose a unit to rounding.
    const double time = position_to_seconds(position) + seconds + 1e-9;
    return seconds_to_position(time > 0 ? time : 0.0);
}

int FrameCountedReader::seconds_to_position(double seconds) { return truncate_to_int(get_sample_rate() * seconds); }

double FrameCountedReader::position_to_seconds(int position) {
    const int rate = get_sample_rate();
    return rate == 0 ? 0.0 : static_cast<double>(position) / rate;
}

bool FrameCountedReader::push_time_span(double seconds) { return push_units(seconds_to_position(seconds)); }

bool FrameCountedReader::push_units(int count) {
    if (!is_open()) {
        return false;
    }
    while (count > 0) {
        AudioBlock block;
        read(block, count);
        const int frames = block.frame_count();
        if (frames == 0) {
            return false;  // nothing moved: another read would not either
        }
        count -= frames;
        push(block);
    }
    return true;
}

}  // namespace audio
