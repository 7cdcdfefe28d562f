#include "audio/SpanConverter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "audio/DownmixFilter.h"
#include "audio/FileWriterMP3.h"
#include "audio/Mp3Sink.h"
#include "base/FileSystem.h"
#include "base/Path.h"

namespace audio {

namespace {

constexpr int kStepUnits = 5000;
// Readers that count coded blocks hold seconds of audio in 5000 units: a step is also kept to
// this much audio, so that a stop is seen soon whatever the units.
constexpr double kStepSeconds = 0.25;

int step_units(AudioReader& reader, int position) {
    const int64_t units = int64_t{reader.position_after(position, kStepSeconds)} - position;
    return static_cast<int>(std::clamp<int64_t>(units, 1, kStepUnits));
}

// (3 x den) / (4 x num): lifts the peak to 3/4 of full scale. Halved together while either
// side would not fit 32 bits (a peak over very many channels).
Fraction gain_to_three_quarters(const Fraction& peak) {
    int64_t num = int64_t{3} * peak.den;
    int64_t den = int64_t{4} * peak.num;
    while (num > INT32_MAX || num < -INT32_MAX || den > INT32_MAX || den < -INT32_MAX) {
        num /= 2;
        den /= 2;
    }
    return Fraction{static_cast<int32_t>(num), static_cast<int32_t>(den)};
}

}  // namespace

SpanConverter::SpanConverter(const std::u16string& source_path, const std::u16string& target_path)
    : SpanConverter(AudioFormat::create_for_file(source_path), target_path) {}

SpanConverter::SpanConverter(std::unique_ptr<AudioFormat> format, const std::u16string& target_path)
    : format_(std::move(format)), target_path_(target_path) {
    if (format_ != nullptr && format_->get_reader() == nullptr) {
        format_.reset();
    }
    if (format_ != nullptr) {
        source_bitrate_ = format_->get_reader()->get_bitrate();
        output_bitrate_ = choose_output_bitrate(format_.get());
    }
}

int SpanConverter::choose_output_bitrate(AudioFormat* format) {
    if (format == nullptr || format->get_reader() == nullptr) {
        return 32000;
    }
    AudioReader* reader = format->get_reader();
    if (format->get_name() == u"mp3") {
        int source = reader->get_bitrate();
        int channels = reader->get_channels();
        if ((channels >= 2 && source >= 128000) || (channels == 1 && source > 64000)) {
            return 64000;
        }
        return 32000;
    }
    return reader->get_sample_rate() >= 44100 && reader->get_bits() >= 16 ? 64000 : 32000;
}

void SpanConverter::set_span(int start, int finish) {
    start_ = start;
    finish_ = finish;
}

void SpanConverter::set_span_seconds(double start, double finish) {
    if (AudioReader* r = reader()) {
        set_span(r->seconds_to_position(start), r->seconds_to_position(finish));
    }
}

double SpanConverter::get_estimated_size() {
    if (source_bitrate_ <= 0) {
        return std::numeric_limits<double>::infinity();
    }
    if (AudioReader* r = reader()) {
        // Through times, since not every reader counts its positions in bytes.
        double seconds = r->position_to_seconds(finish_) - r->position_to_seconds(start_);
        return seconds * output_bitrate_ / 8.0;
    }
    return (static_cast<double>(finish_) - start_) * output_bitrate_ / source_bitrate_;
}

bool SpanConverter::has_enough_space() {
    double free = skinner::disk_free_space(skinner::get_directory(target_path_));
    return free > get_estimated_size();
}

bool SpanConverter::push_selection() {
    if (stop_) {
        return false;
    }
    for (;;) {
        if (format_ == nullptr || start_ >= finish_) {
            return false;
        }
        AudioReader* r = format_->get_reader();
        int position = r->get_position();
        if (r->at_end() || position >= finish_) {
            return true;
        }
        progress_ = (static_cast<double>(position) - start_) / (static_cast<double>(finish_) - start_);
        int step = static_cast<int>(std::min<int64_t>(int64_t{finish_} - position, step_units(*r, position)));
        const bool pushed = r->push_units(step);
        if (r->get_position() == position) {
            // Nothing moved: what is left of the span is less than the reader can hand out, or
            // the reader failed (convert sees that it closed). Another step would not move either.
            return true;
        }
        if (!pushed) {
            // The data ran out (the reader is then at its end) or the reader failed.
            return r->at_end();
        }
        if (stop_) {
            return false;
        }
    }
}

ConversionResult SpanConverter::convert() {
    if (format_ == nullptr) {
        return ConversionResult::no_source;
    }
    if (start_ >= finish_) {
        return ConversionResult::empty_span;
    }
    AudioReader* r = format_->get_reader();
    // Never more than the span asked, whatever the reader's positions do across damaged data.
    const double seconds = r->position_to_seconds(finish_) - r->position_to_seconds(start_);
    const int64_t span_frames = std::llround(std::max(seconds, 0.0) * r->get_sample_rate());
    r->seek(start_);
    DownmixFilter filter;
    filter.limit_frames(span_frames);
    format_->get_source()->connect(&filter);

    stage_ = 1;
    bool measured = push_selection();
    ConversionResult result;
    if (stop_) {
        result = ConversionResult::stopped;
    } else if (!measured || !r->is_open()) {
        result = ConversionResult::read_failed;
    } else {
        peak_ = filter.get_peak();
        if (Fraction{3, 4} > peak_) {
            // Silence keeps 0/0, which the filter takes as no gain.
            filter.set_gain(gain_to_three_quarters(peak_));
        }
        stage_ = 2;
        progress_ = 0.0;  // not the first pass's last value until the second pass's first step
        r->seek(start_);
        format_->reset();
        filter.limit_frames(span_frames);
        result = encode(filter);
    }
    format_->get_source()->connect(nullptr);
    stage_ = 0;
    return result;
}

ConversionResult SpanConverter::encode(DownmixFilter& filter) {
    // On the heap: their fixed buffers are large for a worker thread's stack.
    auto sink = std::make_unique<Mp3Sink>(output_bitrate_);
    filter.connect(sink.get());
    auto writer = std::make_unique<FileWriterMP3>(target_path_, false);
    sink->connect(writer.get());

    ConversionResult result = ConversionResult::done;
    if (!writer->is_ok()) {
        result = ConversionResult::write_failed;  // no need to encode for a file that cannot be made
    } else if (!push_selection()) {
        result = stop_ ? ConversionResult::stopped : ConversionResult::read_failed;
    } else if (!format_->get_reader()->is_open()) {
        result = ConversionResult::read_failed;
    } else {
        sink->flush();
        frames_encoded_ = sink->get_frames_encoded();
        if (frames_encoded_ == 0) {
            result = ConversionResult::no_audio;
        } else if (stop_) {
            result = ConversionResult::stopped;  // a stop that came during the flush still counts
        } else if (!writer->finish() || writer->get_size() == 0) {
            result = ConversionResult::write_failed;
        }
    }
    if (result != ConversionResult::done) {
        writer->abandon();
    }
    // The writer goes first (it writes what it holds and closes the file), then the sink.
    writer.reset();
    sink.reset();
    filter.connect(nullptr);
    return result;
}

}  // namespace audio
