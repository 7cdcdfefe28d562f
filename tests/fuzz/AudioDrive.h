#pragma once
// Drives an opened audio file the way the program does: reads its properties, pulls everything
// through its source, seeks and pulls again, and pushes it to the end as the conversion does.
// A read or push that makes no progress, a value no file can have, or a conversion longer than
// its span is a finding (a trap).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/AudioFormat.h"
#include "audio/SpanConverter.h"

namespace fuzz_audio {

// The longest frame a reader hands out whole (an MP3 frame), and an MP3 codec's own delay.
constexpr int kFrameSamples = 1152;
constexpr int kCodecDelay = 576 + 529;

inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Pulls until an empty block; every block must hold whole frames of a playable format, and the
// pulls must end: each consumes input, so there are never more than the file has bytes.
inline void pull_to_end(audio::DataSink& tail, size_t input_size, int frames_per_pull) {
    const size_t limit = 4 * input_size + 10000;
    for (size_t pulls = 0;; ++pulls) {
        check(pulls < limit);
        audio::AudioBlock block = tail.pull(frames_per_pull);
        if (block.empty()) {
            return;
        }
        check(block.frame_count() > 0 && block.frame_count() <= frames_per_pull);
        check(block.sample_rate >= audio::kMinSampleRate && (block.bits == 8 || block.bits == 16));
    }
}

inline void drive(std::unique_ptr<audio::AudioFormat> format, size_t input_size) {
    audio::AudioReader* reader = format->get_reader();
    check(reader->is_open());
    check(reader->get_channels() >= 1 && reader->get_sample_rate() >= audio::kMinSampleRate);
    check(reader->get_bits() == 8 || reader->get_bits() == 16);
    (void)reader->get_bitrate();
    const int length = reader->get_length();
    const double duration = reader->get_duration();
    check(length >= 0 && std::isfinite(duration) && duration >= 0);
    for (double t : {0.0, duration / 3, duration, duration + 1}) {
        const int p = reader->seconds_to_position(t);
        check(p >= 0);
        const double back = reader->position_to_seconds(std::min(p, length));
        check(std::isfinite(back) && back >= 0 && back <= duration + 1e-6);
    }

    class Tail : public audio::DataSink {
    } tail;
    format->get_source()->connect(&tail);
    pull_to_end(tail, input_size, 16384);
    // The preview seeks and resets the decoder, then plays from there.
    for (int p : {length / 2, 0, length / 3 + 1, length - 1, length + 5, -3}) {
        reader->seek(p);
        format->reset();
        check(reader->get_position() >= 0 && reader->get_position() <= length);
        for (int i = 0; i < 3; ++i) {
            (void)tail.pull(1000);
        }
    }
    reader->set_time(duration / 2);
    format->reset();
    pull_to_end(tail, input_size, 777);
    format->get_source()->connect(nullptr);

    // The conversion's push loop over the whole file, with nothing behind the source.
    audio::SpanConverter converter(std::move(format), u"\\span.mp3");
    converter.set_span(0, length);
    reader->seek(0);
    (void)converter.push_selection();
    // A push that reports success must have moved the reader.
    reader->seek(0);
    for (int steps = 0; !reader->at_end(); ++steps) {
        check(static_cast<size_t>(steps) < input_size + 10000);
        const int before = reader->get_position();
        if (!reader->push_units(5000)) {
            break;
        }
        check(reader->get_position() > before);
    }

    // A conversion of the middle third never gives more than its span: a frame and the
    // codec's delay are allowed for, whatever the reader's positions do.
    const int start = length / 3;
    const int finish = start + length / 3;
    converter.set_span(start, finish);
    if (converter.convert() == audio::ConversionResult::done) {
        const double span = (reader->position_to_seconds(finish) - reader->position_to_seconds(start)) * reader->get_sample_rate();
        check(static_cast<double>(converter.get_frames_encoded()) <= span + kFrameSamples + kCodecDelay);
    }
}

// Opens the file with one reader and, when it takes the file, drives it in its format object.
template <class Reader, class Format>
bool open_and_drive(const std::u16string& path, size_t input_size) {
    auto reader = std::make_unique<Reader>(path);
    if (!reader->is_open()) {
        return false;
    }
    drive(std::make_unique<Format>(std::move(reader), path), input_size);
    return true;
}

}  // namespace fuzz_audio
