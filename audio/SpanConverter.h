#pragma once
// Turns a span of an audio file into a level-raised mono MP3 file: an analysis pass through
// the downmix filter finds the peak, an encoding pass applies the gain that lifts it to 3/4
// of full scale and writes the file. Runs on the caller's (worker) thread; request_stop and
// get_progress may be called from another thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioFormat.h"
#include "audio/Fraction.h"

namespace audio {

enum class ConversionResult {
    done,
    stopped,        // request_stop, before or during a pass
    no_source,      // the source did not open
    empty_span,     // start >= finish
    no_audio,       // the span held nothing to encode
    read_failed,    // the source failed while being read
    write_failed,   // the target could not be written completely
};

class SpanConverter {
public:
    // Opens the source a further time; positions are in its reader's own units.
    SpanConverter(const std::u16string& source_path, const std::u16string& target_path);
    // Takes over a format already opened (null: no source).
    SpanConverter(std::unique_ptr<AudioFormat> format, const std::u16string& target_path);

    // Output bit rate for a source: 64000 for good-quality sources, else 32000.
    static int choose_output_bitrate(AudioFormat* format);

    bool has_source() const { return format_ != nullptr; }
    AudioReader* reader() const { return format_ ? format_->get_reader() : nullptr; }
    void set_span(int start, int finish);
    // Times become positions through the reader's own units.
    void set_span_seconds(double start, double finish);
    int get_start() const { return start_; }
    int get_finish() const { return finish_; }
    int get_source_bitrate() const { return source_bitrate_; }
    int get_output_bitrate() const { return output_bitrate_; }

    // Bytes the span's output should take; unbounded when the source's bit rate is unknown.
    double get_estimated_size();
    // Room for the estimated output on the target's volume.
    bool has_enough_space();
    // Both passes; on any result but done no target file is left behind.
    ConversionResult convert();

    void request_stop() { stop_ = true; }
    bool stop_requested() const { return stop_; }
    // Fraction of the current pass pushed, 0..1.
    double get_progress() const { return progress_; }
    // 1 while measuring, 2 while encoding, 0 before and after.
    int get_stage() const { return stage_; }
    Fraction get_peak() const { return peak_; }
    int64_t get_frames_encoded() const { return frames_encoded_; }

    // Pushes the span from the reader's position to its finish in steps of at most 5000
    // units and at most a quarter of a second; true when it got to the finish, the end of the
    // data, or as near the finish as the reader can move (a step that moves nothing ends the
    // loop).
    bool push_selection();

private:
    ConversionResult encode(class DownmixFilter& filter);

    std::unique_ptr<AudioFormat> format_;
    std::u16string target_path_;
    int start_ = 0;
    int finish_ = 0;
    int source_bitrate_ = 32000;
    int output_bitrate_ = 32000;
    std::atomic<bool> stop_{false};
    std::atomic<double> progress_{0.0};
    std::atomic<int> stage_{0};
    Fraction peak_;
    int64_t frames_encoded_ = 0;
};

}  // namespace audio
