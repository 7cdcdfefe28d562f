// Vantrel on an MP3 file with a large cover picture in front of its audio: the start and the
// finish marked by key while the preview plays, both ends fine-tuned by three presses of the
// arrows, and the selection saved. The ringtone starts where the wav: device's recording says
// the start was heard as its key went down, plus the three steps, and ends where the finish was,
// less three steps.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kCompareRate = 8000;
// The recording's header, and its bytes a frame (16-bit stereo).
constexpr uintmax_t kWaveHeader = 44;
constexpr uintmax_t kFrameBytes = 4;
// lame's encoder delay and the decoder's, before the ringtone's first sample.
constexpr int kCodecDelay = 576 + 529;
// Three fine steps of a tenth of a second.
constexpr double kSteps = 0.3;

void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Frames the wav: device has played so far.
long recorded_frames(const std::string& recording) {
    std::error_code error;
    const uintmax_t size = fs::file_size(recording, error);
    return error || size < kWaveHeader ? 0 : static_cast<long>((size - kWaveHeader) / kFrameBytes);
}

bool wait_for_frames(const std::string& recording, long frames, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
        if (recorded_frames(recording) >= frames) return true;
        wait(10);
    }
    return false;
}

// A file that exists and has stopped growing.
bool wait_for_written(const std::string& path, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    uintmax_t last = 0;
    int still = 0;
    while (Clock::now() < deadline) {
        std::error_code error;
        const uintmax_t size = fs::file_size(path, error);
        still = !error && size > 0 && size == last ? still + 1 : 0;
        if (still >= 10) return true;
        last = error ? 0 : size;
        wait(100);
    }
    return false;
}

// Enter pressed as a user does, held a moment; the frames heard as it went down (read just
// after it did) and, in before, just before.
long mark(e2e::Journey& journey, long& before) {
    before = recorded_frames(journey.recording());
    if (!journey.key_down("Return")) return -1;
    const long heard = recorded_frames(journey.recording());
    wait(150);
    return journey.key_up("Return") ? heard : -1;
}

// The source time at which the recording's last half second before frames ends.
double heard_until(const std::vector<float>& source, const std::vector<float>& recording, long frames) {
    const long end = static_cast<long>(static_cast<double>(frames) * kCompareRate / kRate);
    const long first = end - kCompareRate / 2;
    if (first < 0 || end > static_cast<long>(recording.size())) return -1;
    const std::vector<float> needle(recording.begin() + first, recording.begin() + end);
    const long at = fixtures::find_audio(source, needle, 0, static_cast<long>(source.size()));
    return at < 0 ? -1 : static_cast<double>(at + kCompareRate / 2) / kCompareRate;
}

// The source time of the second of saved audio that begins offset seconds into it.
double source_time_of(const std::vector<float>& source, const std::vector<float>& saved, double offset) {
    const long first = std::lround(offset * kCompareRate);
    if (first < 0 || first + kCompareRate > static_cast<long>(saved.size())) return -1;
    const std::vector<float> needle(saved.begin() + first, saved.begin() + first + kCompareRate);
    const long at = fixtures::find_audio(source, needle, 0, static_cast<long>(source.size()));
    return at < 0 ? -1 : static_cast<double>(at) / kCompareRate;
}

TEST(CoverMarkJourney, MarksByEarFineTunedAndSavedFromAnMp3BehindACover) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) GTEST_SKIP() << "missing: " << missing;
    for (const char* tool : {"sox", "lame", "ffmpeg"}) {
        if (!fixtures::have_program(tool)) GTEST_SKIP() << "missing: " << tool;
    }
    e2e::Journey journey("cover_mark");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    // A sweep with noise over it, so that where a moment of it lies is plain; behind 300 kB of
    // a picture.
    const std::string wav = root.host("Temp/source.wav");
    const std::string stream = root.host("Temp/stream.mp3");
    const std::string clip = root.host("My Documents/Cover.mp3");
    ASSERT_EQ(fixtures::run_command("sox -R -n -r 44100 -c 2 -b 16 " + fixtures::shell_quoted(wav) +
                                    " synth 30 sine 200-3000 synth 30 pinknoise mix vol 0.5"),
              0);
    ASSERT_EQ(fixtures::run_command("lame --quiet -V 4 " + fixtures::shell_quoted(wav) + " " + fixtures::shell_quoted(stream)), 0);
    std::vector<uint8_t> file = fixtures::id3v2_cover_tag(300000);
    const std::vector<uint8_t> audio = fixtures::read_bytes(stream);
    file.insert(file.end(), audio.begin(), audio.end());
    fixtures::write_bytes(clip, file);

    e2e::Launch launch;
    launch.program = e2e::install_program(root);
    launch.zoom = 1;
    ASSERT_TRUE(journey.start(launch));
    // My Documents, then the clip below the way up; its preview starts a second later.
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(wait_for_frames(journey.recording(), 3 * kRate, 60000)) << journey.program_output();
    long start_before = 0;
    const long start_heard = mark(journey, start_before);
    ASSERT_GT(start_heard, 0);
    ASSERT_TRUE(wait_for_frames(journey.recording(), start_heard + 6 * kRate, 60000));
    long finish_before = 0;
    const long finish_heard = mark(journey, finish_before);
    ASSERT_GT(finish_heard, 0);
    // The save panel; Fine-tune is the fourth of its controls, below the play switch, Save and
    // Assign.
    ASSERT_TRUE(journey.screen_matches("1-save-panel"));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    const e2e::Match loops{.ignore = {{0, 52, 480, 80}}};
    ASSERT_TRUE(journey.screen_matches("2-exact-start", loops));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(journey.key("Right"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.screen_matches("3-exact-finish", loops));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(journey.key("Left"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.screen_matches("4-fine-tuned"));
    // Save, then the proposed name.
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.key("Return"));
    const std::string ringtone = root.host("Windows/Rings/Cover_001.mp3");
    ASSERT_TRUE(wait_for_written(ringtone, 180000)) << journey.program_output();

    const std::vector<float> source = fixtures::decode_mono(clip, kCompareRate);
    const std::vector<float> heard = fixtures::decode_mono(journey.recording(), kCompareRate);
    const std::vector<float> saved = fixtures::decode_mono(ringtone, kCompareRate);
    ASSERT_FALSE(source.empty());
    ASSERT_FALSE(saved.empty());
    const double start = heard_until(source, heard, start_heard);
    const double finish = heard_until(source, heard, finish_heard);
    const double key_start = static_cast<double>(start_heard - start_before) / kRate;
    const double key_finish = static_cast<double>(finish_heard - finish_before) / kRate;
    // The ringtone's first and last seconds in the source, past the codec's delay.
    const fixtures::ProbedAudio probed = fixtures::probe_audio(ringtone);
    ASSERT_TRUE(probed.ok);
    const double delay = static_cast<double>(kCodecDelay) / probed.sample_rate;
    const double saved_seconds = static_cast<double>(saved.size()) / kCompareRate - delay;
    const double saved_start = source_time_of(source, saved, delay + 0.1) - 0.1;
    const double saved_end = source_time_of(source, saved, delay + saved_seconds - 1.2) + 1.2;
    std::printf("start heard at %.3f s (key down took %.0f ms), saved from %.3f s (%+.1f ms); finish heard at %.3f s "
                "(%.0f ms), saved to %.3f s (%+.1f ms)\n",
                start, key_start * 1000, saved_start, (saved_start - start - kSteps) * 1000, finish, key_finish * 1000,
                saved_end, (saved_end - finish + kSteps) * 1000);
    EXPECT_NEAR(saved_start, start + kSteps, 0.040);
    // The encoder pads the last frame: the end is found through the start and the span.
    EXPECT_NEAR(saved_end, finish - kSteps, 0.040 + 1152.0 / kRate);
}

}  // namespace
