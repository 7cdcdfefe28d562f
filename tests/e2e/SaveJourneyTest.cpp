// Vantrel's save flow through its real SDL window: About from the menu, a quiet clip marked,
// its conversion cancelled, then saved under the proposed name while the converting form
// shows, a name with a forbidden character refused, and the clip assigned under a typed name,
// which ends the program and makes the file the phone's ringtone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Ten minutes, marked across most of their length: the span keeps the converter busy for
// seconds, long enough for its form to be seen and cancelled.
constexpr double clip_seconds = 600.0;
constexpr int sample_rate = 44100;
constexpr double source_peak = 0.2;
// Seconds on an idle machine; a loaded one or a sanitizer build takes many times longer.
constexpr int conversion_timeout_ms = 180000;
// One MP3 frame at the output rate.
constexpr long frame_samples = 1152;
// The encoder's delay (576 samples) and the decoder's (529), before the first sample of a
// file without a gapless tag.
constexpr long codec_delay = 576 + 529;

// The name field's caret blinks.
const e2e::Match caret_blinks{.ignore = {}, .channel_tolerance = 32, .allowed_pixels = 80};

const char* const ringtone_key = "HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0";

void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::string registry_tool(const fixtures::DeviceRoot& root, const std::string& arguments) {
    return "env " + root.environment() + " " + fixtures::helper_program("registry_tool") + " " + arguments;
}

using e2e::wait_for_log;

// Keeps the program's log beside the journey's screens however the journey ends.
class KeptLog {
public:
    explicit KeptLog(const e2e::Journey& journey) : journey_(journey) {}
    ~KeptLog() { fixtures::write_file(journey_.output_folder() + "/vantrel-log.txt", e2e::program_log(journey_.root())); }
    KeptLog(const KeptLog&) = delete;
    KeptLog& operator=(const KeptLog&) = delete;

private:
    const e2e::Journey& journey_;
};

bool wait_for_file(const std::string& path, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
        if (fs::exists(path)) return true;
        wait(50);
    }
    return false;
}

// What the program logged as it handed a span to the converter.
struct Span {
    long start = 0;
    long finish = 0;
    std::string target;
};

std::vector<Span> logged_spans(const std::string& log) {
    std::vector<Span> spans;
    const std::string marker = "FormMain::make_ringtone span ";
    for (size_t at = log.find(marker); at != std::string::npos; at = log.find(marker, at + 1)) {
        Span span;
        std::istringstream in(log.substr(at + marker.size()));
        in >> span.start >> span.finish;
        const size_t open = log.find('{', at);
        const size_t close = log.find('}', open);
        if (open == std::string::npos || close == std::string::npos) break;
        span.target = log.substr(open + 1, close - open - 1);
        spans.push_back(span);
    }
    return spans;
}

// The samples from the first to the last one that is clearly heard (mono).
struct Heard {
    size_t first = 0;
    size_t end = 0;

    long length() const { return static_cast<long>(end - first); }
};

Heard heard_part(const fixtures::DecodedAudio& audio) {
    const int threshold = 32768 / 50;
    Heard heard;
    bool found = false;
    for (size_t i = 0; i < audio.samples.size(); ++i) {
        if (std::abs(int{audio.samples[i]}) > threshold) {
            if (!found) heard.first = i;
            found = true;
            heard.end = i + 1;
        }
    }
    return heard;
}

// Largest |sample| over full scale, a tenth of a second in from either end: the cut through
// a tone rings for a moment after the encoder.
double inner_peak(const fixtures::DecodedAudio& audio, const Heard& heard) {
    const size_t margin = sample_rate / 10;
    int largest = 0;
    for (size_t i = heard.first + margin; i + margin < heard.end; ++i) {
        largest = std::max(largest, std::abs(int{audio.samples[i]}));
    }
    return largest / 32768.0;
}

// The saved file: mono at the clip's rate, raised to 3/4 of full scale, as long as the span.
void expect_ringtone(const std::string& path, const Span& span) {
    SCOPED_TRACE(path);
    const fixtures::DecodedAudio saved = fixtures::decode_audio(path);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.channels, 1);
    EXPECT_EQ(saved.sample_rate, sample_rate);
    const Heard heard = heard_part(saved);
    const double peak = inner_peak(saved, heard);
    EXPECT_GT(peak, 0.70);
    EXPECT_LT(peak, 0.80);
    // A mono 16-bit clip: two bytes a sample.
    const long marked = (span.finish - span.start) / 2;
    EXPECT_GT(marked, sample_rate * 60L);
    // The decoded file is the encoder's and the decoder's fixed delay, then the span, padded
    // to whole frames; the encoder flushes a few samples past the decoder's delay, which at a
    // frame boundary adds one more frame.
    const long decoded = static_cast<long>(saved.frames());
    EXPECT_GE(decoded, marked + codec_delay);
    EXPECT_LT(decoded, marked + codec_delay + frame_samples + 32);
    // The tone is heard throughout, give or take the ringing of the cut at either end.
    EXPECT_NEAR(heard.length(), marked, 2 * frame_samples);
}

TEST(SaveJourney, AboutThenAQuietClipSavedRefusedAndAssigned) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    if (!fixtures::have_program("ffmpeg") || !fixtures::have_program("sox")) {
        GTEST_SKIP() << "missing: ffmpeg or sox";
    }
    e2e::Journey journey("save");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    const std::string clip = root.host("My Documents/Quiet.wav");
    fixtures::ToneSpec tone;
    tone.seconds = clip_seconds;
    tone.sample_rate = sample_rate;
    tone.frequency = 220.0;
    tone.sweep_to = 1760.0;
    tone.amplitude = source_peak;
    ASSERT_TRUE(fixtures::make_wav(clip, tone));
    ASSERT_TRUE(e2e::enable_program_log(root));

    const KeptLog kept_log(journey);

    e2e::Launch launch;
    launch.program = e2e::install_program(root);
    launch.zoom = 1;
    ASSERT_TRUE(journey.start(launch));
    ASSERT_TRUE(wait_for_log(root, "FormMain first frame painted", 60000)) << journey.program_output();

    // The menu is the right soft key's; About is the one before the last entry, Exit.
    ASSERT_TRUE(journey.key("F2"));
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("1-about"));
    // Its OK; the settings are written once it has closed, and only then do keys reach the
    // main form again.
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(wait_for_file(root.host("Program Files/Vantrel/Settings.ini"), 60000));

    // My Documents, then the clip below the way up, most of it marked.
    ASSERT_TRUE(e2e::mark_most_of_the_first_clip(journey));

    // Save, below the play switch that has the focus, proposes the first free name in the
    // ringtone folder, fully selected.
    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-name-dialog", caret_blinks));
    ASSERT_TRUE(journey.key("Return"));
    // The progress bar moves by itself; the level is measured in a moment, the writing takes
    // seconds.
    const e2e::Match converting{.ignore = {{40, 290, 400, 50}}};
    EXPECT_TRUE(journey.screen_matches("3-converting", converting));
    // Esc cancels it: the save panel is back with its focus on Save, and no file is left.
    ASSERT_TRUE(journey.key("Escape"));
    EXPECT_TRUE(journey.screen_matches("4-saved", {.ignore = {}, .timeout_ms = conversion_timeout_ms}));
    const std::string first = root.host("Windows/Rings/Quiet_001.mp3");
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(wait_for_log(root, "FormConverting cancelled {\\Windows\\Rings\\Quiet_001.mp3}\n", 1000))
        << e2e::program_log(root);

    // Saved again, under the same proposed name, to its end.
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-name-dialog", caret_blinks));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("3-converting", converting));
    EXPECT_TRUE(journey.screen_matches("4-saved", {.ignore = {}, .timeout_ms = conversion_timeout_ms}));
    EXPECT_TRUE(fs::exists(first));

    // Assign: a name with a question mark is refused and nothing is made.
    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.type("Bell?"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("5-bad-name"));
    ASSERT_TRUE(journey.key("Return"));
    // The save ended: the panel is back, and keys go to it again.
    EXPECT_TRUE(journey.screen_matches("6-refused"));

    // Again, with a name typed over the proposed one; once assigned the program ends.
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.type("Evening bell"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_EQ(journey.wait_exit(conversion_timeout_ms), 0) << journey.program_output();

    const std::string log = e2e::program_log(root);
    const std::vector<Span> spans = logged_spans(log);
    // The cancelled conversion, the saved one and the assigned one, all of the same span.
    ASSERT_EQ(spans.size(), 3u) << log;
    for (const Span& span : spans) {
        EXPECT_EQ(span.start, spans[0].start);
        EXPECT_EQ(span.finish, spans[0].finish);
    }
    const std::string assigned = root.host("Windows/Rings/Evening bell.mp3");
    expect_ringtone(first, spans[1]);
    expect_ringtone(assigned, spans[2]);
    EXPECT_FALSE(fs::exists(root.host("Windows/Rings/Quiet_002.mp3")));
    EXPECT_FALSE(fs::exists(root.host("Windows/Rings/Bell?.mp3")));

    const std::string sound =
        fixtures::command_output(registry_tool(root, std::string("get-string '") + ringtone_key + "' Sound"));
    EXPECT_EQ(sound, spans[2].target + "\n");
    EXPECT_NE(log.find("assign " + spans[2].target + "\n"), std::string::npos) << log;

    // About's steps, in their order.
    size_t at = 0;
    for (const char* step : {"FormAbout 111\n", "FormAbout 1\n", "FormAbout 2\n", "FormAbout 3\n"}) {
        at = log.find(step, at);
        ASSERT_NE(at, std::string::npos) << step << log;
        at += std::string(step).size();
    }
}

}  // namespace
