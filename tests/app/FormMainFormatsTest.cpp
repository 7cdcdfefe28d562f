// The main form on real files of every format it opens: a mark taken while audio is queued in
// the device, the fine steps, the least selection and the exact span are times wherever a file
// keeps them (behind a cover, across frames of changing bit rates, in coded blocks), and the
// saved span starts and ends where it was marked, as ffmpeg hears the source.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/SpanConverter.h"
#include "tests/app/support/MainFormTesting.h"
#include "tests/fixtures/AudioFixtures.h"

namespace app_test {
namespace {

using FormMainFormatsTest = MainFormTest;

// The rate the saved and the source audio are compared at.
constexpr int kCompareRate = 8000;
// lame's encoder delay and the decoder's, before the first sample of a file without a tag.
constexpr int kCodecDelay = 576 + 529;

struct Format {
    const char* name;  // in \Clips
    int rate, channels;
    const char* make;         // from src.wav to the file, in the Clips folder; empty: src.wav itself
    int frame_samples;        // samples of one coded frame or block (1: positions are samples)
    bool block_positions;     // positions are whole coded blocks
    size_t cover = 0;         // bytes of a cover picture in a leading ID3v2 tag
};

const std::vector<Format> kFormats = {
    {"pcm8.wav", 11025, 1, "sox src.wav -b 8 -e unsigned-integer pcm8.wav", 1, false},
    {"pcm16.wav", 44100, 2, "", 1, false},
    {"pcm24.wav", 48000, 2, "sox src.wav -b 24 -t wavpcm pcm24.wav", 1, false},
    {"adpcm.wav", 22050, 2, "sox src.wav -e ms-adpcm adpcm.wav", 1012, true},
    {"gsm.wav", 8000, 1, "sox src.wav -e gsm-full-rate gsm.wav", 320, true},
    {"cbr.mp3", 44100, 2, "lame --quiet --cbr -b 128 src.wav cbr.mp3", 1152, false},
    {"vbr.mp3", 44100, 2, "lame --quiet -V 4 src.wav vbr.mp3", 1152, false},
    {"vbr_headerless.mp3", 44100, 2, "lame --quiet -V 4 -t src.wav vbr_headerless.mp3", 1152, false},
    {"vbr_cover.mp3", 44100, 2, "lame --quiet -V 4 src.wav vbr_cover.mp3", 1152, false, 300000},
    {"vbr_mono48.mp3", 48000, 1, "lame --quiet -V 4 src.wav vbr_mono48.mp3", 1152, false},
    {"mpeg2.mp3", 22050, 1, "lame --quiet -V 4 src.wav mpeg2.mp3", 576, false},
    {"mpeg25.mp3", 11025, 1, "lame --quiet -V 4 src.wav mpeg25.mp3", 576, false},
    {"v.ogg", 44100, 2, "oggenc -Q -o v.ogg src.wav", 1, false},
    {"m.mpc", 44100, 2, "mpcenc --silent --overwrite src.wav m.mpc", 1152, false},
};

bool make_clip(const fixtures::DeviceRoot& root, const Format& f) {
    const std::string folder = root.host("Clips");
    const std::string src = f.make[0] == '\0' ? f.name : "src.wav";
    // A sweep with noise over it: where a second of it lies in the file is plain.
    const std::string synth = "sox -R -n -r " + std::to_string(f.rate) + " -c " + std::to_string(f.channels) + " -b 16 " +
                              src + " synth 10 sine 200-3000 synth 10 pinknoise mix vol 0.5";
    if (fixtures::run_command("cd " + fixtures::shell_quoted(folder) + " && " + synth + " 2>/dev/null") != 0) return false;
    if (f.make[0] != '\0' && fixtures::run_command("cd " + fixtures::shell_quoted(folder) + " && " + f.make + " 2>/dev/null") != 0) {
        return false;
    }
    if (f.cover > 0) {
        std::vector<uint8_t> file = fixtures::id3v2_cover_tag(f.cover);
        const std::vector<uint8_t> stream = fixtures::read_bytes(folder + "/" + f.name);
        file.insert(file.end(), stream.begin(), stream.end());
        fixtures::write_bytes(folder + "/" + f.name, file);
    }
    return true;
}

// The time in the source of the second of saved audio that begins offset seconds into the
// saved span (after the codec's delay), searched within half a second of expected.
double source_time_of(const std::vector<float>& source, const std::vector<float>& saved, double delay, double offset,
                      double expected) {
    const long first = std::lround((delay + offset) * kCompareRate);
    if (first < 0 || first + kCompareRate > static_cast<long>(saved.size())) return -1;
    const std::vector<float> needle(saved.begin() + first, saved.begin() + first + kCompareRate);
    const long guess = std::lround(expected * kCompareRate);
    const long at = fixtures::find_audio(source, needle, guess - kCompareRate / 2, guess + kCompareRate / 2);
    return at < 0 ? -1 : static_cast<double>(at) / kCompareRate;
}

TEST_F(FormMainFormatsTest, MarksStepsAndSpansAreTimesInEveryFormat) {
    for (const char* tool : {"sox", "lame", "ffmpeg", "oggenc", "mpcenc"}) {
        if (!fixtures::have_program(tool)) GTEST_SKIP() << "needs " << tool;
    }
    // One format's failure leaves the others measured.
    auto measure = [this](const Format& f) {
        ASSERT_TRUE(make_clip(root, f));
        make_form();
        form().real_files = true;
        select_clip(std::u16string(f.name, f.name + std::char_traits<char>::length(f.name)));
        form().on_command(u"Select");
        ASSERT_EQ(panel(), "start");
        form().on_timer(form().get_play_timer());
        ASSERT_NE(form().get_format(), nullptr);
        // The preview opens the file anew each time it starts: times are read off a reader of
        // the test's own.
        const std::u16string path = fixtures::device_path("Clips/" + std::string(f.name));
        const std::unique_ptr<audio::AudioFormat> own = audio::AudioFormat::create_for_file(path);
        ASSERT_NE(own, nullptr);
        audio::AudioReader& reader = *own->get_reader();
        ASSERT_EQ(reader.get_sample_rate(), f.rate);
        const double frame = static_cast<double>(f.frame_samples) / f.rate;
        const double rounding = f.block_positions ? frame / 2 : 0.0;
        auto time_of = [&](int position) { return reader.position_to_seconds(position); };
        // The user hears t while a quarter of a second more is queued in the device.
        auto heard = [&](double t) {
            audio::AudioReader& playing = *form().get_format()->get_reader();
            playing.seek(playing.seconds_to_position(t + 0.25));
            player().unplayed = f.rate / 4;
        };

        heard(2.0);
        form().start_panel().button.click();
        ASSERT_EQ(panel(), "finish");
        heard(7.0);
        form().finish_panel().button.click();
        ASSERT_EQ(panel(), "save");
        const double marked_start = time_of(form().get_start());
        const double marked_finish = time_of(form().get_finish());
        EXPECT_NEAR(marked_start, 2.0, frame + 1e-4);
        EXPECT_NEAR(marked_finish, 7.0, frame + 1e-4);

        // Three fine steps on, the exact span's loop 4 s before the finish, three steps back.
        form().save_panel().exact.click();
        form().exact_start_panel().right.click();
        const double step = time_of(form().get_start()) - marked_start;
        form().exact_start_panel().right.click();
        form().exact_start_panel().right.click();
        form().on_command(u"Confirm");
        ASSERT_EQ(panel(), "exact-finish");
        const double exact = marked_finish - time_of(form().get_format()->get_reader()->get_position());
        for (int i = 0; i < 3; ++i) form().exact_finish_panel().left.click();
        const int start = form().get_start();
        const int finish = form().get_finish();
        int stepped = start;
        for (int i = 0; i < 5; ++i) stepped = reader.position_after(stepped, 0.5);
        const double five = time_of(stepped) - time_of(start);
        EXPECT_NEAR(step, 0.1, frame + 1e-4);
        // Whole samples or blocks cannot keep half a second each where it is none of them: a
        // step of 12.5 blocks moves 13 of them, of 5512.5 samples 5512.
        EXPECT_NEAR(five, 2.5, frame + 5 * rounding + 2.5 / f.rate + 1e-4);
        EXPECT_NEAR(exact, 4.0, frame + 1e-4);

        // The saved span as ffmpeg hears it against the source.
        const std::string saved = root.host("saved.mp3");
        audio::SpanConverter converter(path, fixtures::device_path("saved.mp3"));
        converter.set_span(start, finish);
        ASSERT_EQ(converter.convert(), audio::ConversionResult::done);
        const double length = static_cast<double>(converter.get_frames_encoded()) / f.rate;
        const fixtures::ProbedAudio probed = fixtures::probe_audio(saved);
        ASSERT_TRUE(probed.ok);
        const double delay = static_cast<double>(kCodecDelay) / probed.sample_rate;
        const std::vector<float> source = fixtures::decode_mono(root.host("Clips/" + std::string(f.name)), kCompareRate);
        const std::vector<float> heard_saved = fixtures::decode_mono(saved, kCompareRate);
        const double saved_start = source_time_of(source, heard_saved, delay, 0.1, 2.4) - 0.1;
        const double saved_end = source_time_of(source, heard_saved, delay, length - 1.1, 6.7 - 1.1) + 1.1;
        // Positions in whole blocks take each of the three steps to the nearest block.
        EXPECT_NEAR(saved_start, 2.3, 0.030 + 3 * rounding);
        EXPECT_NEAR(saved_end, 6.7, 0.030 + 3 * rounding);
        EXPECT_NEAR(length, 4.4, frame + 1e-3 + 6 * rounding);
        std::printf("%-20s step %.4f s, five half seconds %.4f s, exact span %.4f s; saved from %+.1f ms to %+.1f ms, "
                    "%+.1f ms long\n",
                    f.name, step, five, exact, (saved_start - 2.3) * 1000, (saved_end - 6.7) * 1000, (length - 4.4) * 1000);
    };
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.name);
        measure(f);
    }
}

}  // namespace
}  // namespace app_test
