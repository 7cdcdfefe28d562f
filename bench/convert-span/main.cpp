// convert-span INPUT OUTPUT START_SECONDS FINISH_SECONDS
//   Converts the span into a level-raised mono MP3 and prints what it did.
// convert-span --compare INPUT
//   Converts a 30 s span, runs the equivalent job with ffmpeg, prints both times.
// convert-span --compare-form INPUT
//   The same, with the conversion run through the converting form and its worker (headless),
//   the best of three runs of each side, and how long a Cancel takes in each pass.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "audio/SpanConverter.h"
#include "bench/convert-span/FormRun.h"
#include "platform/kernel/DevicePath.h"

namespace {

struct Outcome {
    bool ok = false;
    std::string error;
    double seconds = 0.0;
    long long frames = 0;
    double peak = 0.0;
    int kbps = 0;
};

// The program reads and writes device paths; the command line names host files.
std::u16string device_path(const std::string& host_path) {
    std::error_code ignored;
    std::string absolute = std::filesystem::absolute(host_path, ignored).lexically_normal().string();
    std::u16string device;
    if (!platform::device_path_of(absolute, device)) {
        return u"";
    }
    return device;
}

const char* describe(audio::ConversionResult result) {
    switch (result) {
        case audio::ConversionResult::done: return "done";
        case audio::ConversionResult::stopped: return "stopped";
        case audio::ConversionResult::no_source: return "unreadable or unsupported input";
        case audio::ConversionResult::empty_span: return "empty span";
        case audio::ConversionResult::no_audio: return "no audio in the span";
        case audio::ConversionResult::read_failed: return "input failed while reading";
        case audio::ConversionResult::write_failed: return "output could not be written";
    }
    return "failed";
}

Outcome convert(const std::string& input, const std::string& output, double start, double finish) {
    Outcome outcome;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(input, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        outcome.error = input + " is not a regular file (a folder, FIFO, device or socket)";
        return outcome;
    }
    auto began = std::chrono::steady_clock::now();
    audio::SpanConverter converter(device_path(input), device_path(output));
    if (!converter.has_source()) {
        outcome.error = "unreadable or unsupported input: " + input;
        return outcome;
    }
    double duration = converter.reader()->get_duration();
    if (!(start >= 0) || !(finish > start) || start >= duration || finish > duration) {
        std::ostringstream text;
        text << "span " << start << ".." << finish << " s is outside the file (" << duration << " s)";
        outcome.error = text.str();
        return outcome;
    }
    converter.set_span_seconds(start, finish);
    audio::ConversionResult result = converter.convert();
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (result != audio::ConversionResult::done) {
        outcome.error = describe(result);
        return outcome;
    }
    outcome.ok = true;
    outcome.frames = converter.get_frames_encoded();
    outcome.peak = converter.get_peak().value();
    outcome.kbps = converter.get_output_bitrate() / 1000;
    return outcome;
}

std::string shell_quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same job with ffmpeg: volumedetect finds the peak, then volume and libmp3lame encode.
bool run_ffmpeg(const std::string& input, double seconds, int kbps, const std::string& work, double& elapsed) {
    std::string span = " -ss 0 -t " + std::to_string(seconds) + " -i " + shell_quoted(input);
    std::string log = work + "/volumedetect.txt";
    auto began = std::chrono::steady_clock::now();
    std::string detect = "ffmpeg -hide_banner -nostdin" + span + " -af volumedetect -ac 1 -f null - 2>" + shell_quoted(log);
    if (std::system(detect.c_str()) != 0) {
        return false;
    }
    std::string text = read_file(log);
    size_t at = text.find("max_volume: ");
    if (at == std::string::npos) {
        return false;
    }
    double max_db = std::atof(text.c_str() + at + 12);
    double target_db = 20.0 * std::log10(0.75);
    double gain_db = max_db < target_db ? target_db - max_db : 0.0;
    std::string encode = "ffmpeg -hide_banner -nostdin -v error -y" + span + " -af volume=" + std::to_string(gain_db) +
                         "dB -ac 1 -c:a libmp3lame -b:a " + std::to_string(kbps) + "k " +
                         shell_quoted(work + "/ffmpeg.mp3");
    if (std::system(encode.c_str()) != 0) {
        return false;
    }
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return true;
}

int compare(const std::string& input, bool through_form) {
    // The device's own temporary folder, so that both runs write where the program may.
    std::error_code ignored;
    std::string stamp = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::u16string device_work = u"\\Temp\\convert-span-" + std::u16string(stamp.begin(), stamp.end());
    std::string host_work;
    if (!platform::host_path_of(device_work, host_work) || !std::filesystem::create_directories(host_work, ignored)) {
        std::fprintf(stderr, "convert-span: no temporary folder for the comparison\n");
        return 1;
    }
    std::filesystem::path work = host_work;
    std::string ours_path = (work / "ours.mp3").string();

    double seconds = 30.0;
    {
        audio::SpanConverter probe(device_path(input), u"");
        if (!probe.has_source()) {
            std::fprintf(stderr, "convert-span: unreadable or unsupported input: %s\n", input.c_str());
            std::filesystem::remove_all(work, ignored);
            return 1;
        }
        if (probe.reader()->get_duration() < seconds) {
            std::fprintf(stderr, "convert-span: --compare needs at least 30 s of audio\n");
            std::filesystem::remove_all(work, ignored);
            return 1;
        }
    }
    // The form's figures are the best of a few runs of each side.
    const int runs = through_form ? 3 : 1;
    FormRun form;
    Outcome ours;
    if (through_form) {
        form = convert_through_form(device_path(input), device_path(ours_path), seconds, runs, host_work, device_work);
        ours.ok = form.ok;
        ours.error = form.error;
        ours.seconds = form.form_seconds;
        ours.kbps = form.kbps;
    } else {
        ours = convert(input, ours_path, 0.0, seconds);
    }
    double theirs = 0.0;
    bool ffmpeg_ok = ours.ok;
    for (int run = 0; ffmpeg_ok && run < runs; ++run) {
        double elapsed = 0.0;
        ffmpeg_ok = run_ffmpeg(input, seconds, ours.kbps, work.string(), elapsed);
        theirs = run == 0 ? elapsed : std::min(theirs, elapsed);
    }
    std::filesystem::remove_all(work, ignored);
    if (!ours.ok) {
        std::fprintf(stderr, "convert-span: %s\n", ours.error.c_str());
        return 1;
    }
    if (!ffmpeg_ok || theirs <= 0) {
        std::fprintf(stderr, "convert-span: the ffmpeg run failed\n");
        return 1;
    }
    if (through_form) {
        std::printf("form=%.3f worker=%.3f ffmpeg=%.3f ratio=%.3f worker_ratio=%.3f cancel_ms=%.1f cancel_left_file=%d kbps=%d\n",
                    form.form_seconds, form.worker_seconds, theirs, form.form_seconds / theirs, form.worker_seconds / theirs,
                    form.cancel_ms, form.cancel_left_file ? 1 : 0, ours.kbps);
        return 0;
    }
    std::printf("ours=%.3f ffmpeg=%.3f ratio=%.3f kbps=%d\n", ours.seconds, theirs, ours.seconds / theirs, ours.kbps);
    return 0;
}

bool parse_seconds(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--compare") {
        return compare(argv[2], false);
    }
    if (argc == 3 && std::string(argv[1]) == "--compare-form") {
        setenv("VANTREL_DISPLAY", "headless", 0);
        setenv("VANTREL_AUDIO", "null", 0);
        return compare(argv[2], true);
    }
    double start = 0.0;
    double finish = 0.0;
    if (argc != 5 || !parse_seconds(argv[3], start) || !parse_seconds(argv[4], finish)) {
        std::fprintf(stderr, "usage: convert-span INPUT OUTPUT START_SECONDS FINISH_SECONDS | --compare INPUT | --compare-form INPUT\n");
        return 2;
    }
    Outcome outcome = convert(argv[1], argv[2], start, finish);
    if (!outcome.ok) {
        std::fprintf(stderr, "convert-span: %s\n", outcome.error.c_str());
        return 1;
    }
    std::printf("seconds=%.3f frames=%lld peak=%.4f kbps=%d\n", outcome.seconds, outcome.frames, outcome.peak,
                outcome.kbps);
    return 0;
}
