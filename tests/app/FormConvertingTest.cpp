// The converting form over real files: the output's bit rate, the level, the timer that shows
// the worker's progress and stage and closes the form, Cancel in all its ways, spans and
// sources that give nothing, and the size of each push.
#include "app/FormConverting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/FormReport.h"
#include "platform/display/Headless.h"
#include "platform/window/Keys.h"
#include "tests/app/support/DialogTesting.h"
#include "tests/fixtures/AudioFixtures.h"
#include "ui/controls/ControlButton.h"

namespace dialog_test {
namespace {

using app::FormConverting;
using fixtures::device_path;

class FormConvertingTest : public DialogTest {
protected:
    // A form over a file of the root, the span in seconds.
    std::unique_ptr<FormConverting> make_form(const std::string& source, double start, double finish) {
        auto format = audio::AudioFormat::create_for_file(device_path(source));
        int from = 0, to = 0;
        if (format) {
            from = format->get_reader()->seconds_to_position(start);
            to = format->get_reader()->seconds_to_position(finish);
        }
        return std::make_unique<FormConverting>(nullptr, &skin(), device_path(source), device_path("ring.mp3"), from, to);
    }
    bool target_exists() { return fixtures::file_exists(root.host("ring.mp3")); }
};

// Well into the encoding pass (the first pass leaves its last progress until the second pushes).
bool encoding(FormConverting& form) {
    const auto& converter = form.worker().converter();
    return converter.get_stage() == 2 && converter.get_progress() > 0.05 && converter.get_progress() < 0.5;
}

TEST_F(FormConvertingTest, OutputBitRateFollowsTheSourcesQuality) {
    struct Case {
        const char* file;
        bool mp3;
        fixtures::ToneSpec tone;
        int kbps;
        int output;
    };
    const Case cases[] = {
        {"cd.wav", false, {0.5, 44100, 2, 16}, 0, 64000},
        {"half.wav", false, {0.5, 22050, 1, 16}, 0, 32000},
        {"eight.wav", false, {0.5, 44100, 1, 8}, 0, 32000},
        {"stereo128.mp3", true, {0.5, 44100, 2, 16}, 128, 64000},
        {"mono128.mp3", true, {0.5, 44100, 1, 16}, 128, 64000},
        {"mono64.mp3", true, {0.5, 44100, 1, 16}, 64, 32000},
        {"stereo96.mp3", true, {0.5, 44100, 2, 16}, 96, 32000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(c.mp3 ? fixtures::make_mp3(root.host(c.file), {c.tone, c.kbps}) : fixtures::make_wav(root.host(c.file), c.tone));
        auto form = make_form(c.file, 0, 0.5);
        EXPECT_EQ(form->get_output_bitrate(), c.output);
        EXPECT_EQ(form->get_status(), text(u"Converting1"));
    }
}

TEST_F(FormConvertingTest, RaisesAQuietSpanToThreeQuartersAndLeavesLoudAndSilentOnesAlone) {
    struct Case {
        double amplitude;
        double peak;
    };
    const Case cases[] = {{0.25, 0.75}, {0.9, 0.9}, {0.0, 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amplitude);
        ASSERT_TRUE(fixtures::make_wav(root.host("tone.wav"), {3.0, 22050, 2, 16, 440.0, 0.0, c.amplitude}));
        auto form = make_form("tone.wav", 0.5, 2.0);
        EXPECT_TRUE(form->has_enough_space());
        EXPECT_TRUE(form->run());
        EXPECT_TRUE(form->succeeded());
        EXPECT_EQ(form->get_timer_id(), 0u);
        fixtures::DecodedAudio decoded = fixtures::decode_audio(root.host("ring.mp3"));
        ASSERT_TRUE(decoded.ok);
        EXPECT_EQ(decoded.channels, 1);
        EXPECT_NEAR(decoded.peak(), c.peak, 0.05);
        // The span's 1.5 s, give or take the encoder's delay and the padded last frame.
        EXPECT_NEAR(static_cast<double>(decoded.frames()), 1.5 * decoded.sample_rate, 2 * 576 + 1105);
    }
}

TEST_F(FormConvertingTest, TimerShowsProgressAndStageAndClosesTheFormWhenTheWorkerEnds) {
    ASSERT_TRUE(fixtures::make_wav(root.host("long.wav"), {120.0, 22050, 1, 16, 440.0, 0.0, 0.5}));
    auto form = make_form("long.wav", 0, 120);
    std::u16string status;
    double shown = 0;
    Script script({[&] {
        ASSERT_TRUE(wait_for([&] { return encoding(*form); }));
        form->on_timer(form->get_timer_id());
        status = form->get_status();
        shown = form->get_shown_progress();
    }});
    EXPECT_TRUE(form->run());  // closed by its timer
    EXPECT_TRUE(script.done());
    EXPECT_EQ(status, text(u"Converting2"));
    EXPECT_GT(shown, 0.05);
    EXPECT_TRUE(form->succeeded());
    EXPECT_TRUE(target_exists());
}

// The form closes on the worker's own word rather than at its next tick; a stopped worker is
// joined by the form's thread and must not post a message that outlives the form.
TEST_F(FormConvertingTest, AWorkerThatEndsByItselfPostsItsEndAndAStoppedOneDoesNot) {
    ASSERT_TRUE(fixtures::make_wav(root.host("long.wav"), {120.0, 22050, 1, 16, 440.0, 0.0, 0.5}));
    constexpr UINT ended = WM_USER + 77;
    struct Case {
        double finish;
        bool stop;
        bool posted;
    };
    const Case cases[] = {{0.5, false, true}, {120, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finish);
        auto form = make_form("long.wav", 0, c.finish);
        form->worker().post_end_to(form->get_hwnd(), ended, 42);
        ASSERT_TRUE(form->worker().start());
        if (c.stop) form->worker().stop();
        form->worker().join();
        EXPECT_EQ(form->succeeded(), !c.stop);
        MSG msg;
        ASSERT_EQ(PeekMessageW(&msg, form->get_hwnd(), ended, ended, PM_REMOVE) != 0, c.posted);
        if (c.posted) {
            EXPECT_EQ(msg.wParam, 42u);
        }
    }
}

// A tone that takes its time, so that each pass is long enough to be cancelled in.
class SlowToneReader : public ToneReader {
public:
    using ToneReader::ToneReader;
    bool push_units(int count) override {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        return ToneReader::push_units(count);
    }
};

// Cancel in either pass, in each of its ways, stops the worker and leaves the folder as it
// was: the ringtone already under the name stays, and no new or partial file is left.
TEST_F(FormConvertingTest, CancelInEitherPassLeavesTheFolderAsItWas) {
    struct Way {
        const char* name;
        std::function<void(FormConverting&)> cancel;
    };
    const Way ways[] = {
        {"btnCancel", [](FormConverting& f) { control<skinner::ControlButton>(f, u"btnCancel")->click(); }},
        {"Esc", [](FormConverting&) { platform::headless::key_press(VK_ESCAPE); }},
        {"close", [](FormConverting& f) { f.close(); }},
    };
    const std::string partial = root.host("ring.mp3") + ".vantrel-part";
    constexpr int frames = 60 * 44100;
    for (int stage : {1, 2}) {
        for (const Way& way : ways) {
            for (bool existing : {true, false}) {
                SCOPED_TRACE(std::string(stage == 1 ? "measuring " : "encoding ") + way.name +
                             (existing ? " over a ringtone" : ""));
                std::remove(root.host("ring.mp3").c_str());
                if (existing) fixtures::write_file(root.host("ring.mp3"), "old ringtone");
                auto slow = std::make_unique<audio::AudioFormat>(std::make_unique<SlowToneReader>(frames),
                                                                 u"\\tone.ogg", u"Vorbis");
                FormConverting form(nullptr, &skin(), std::move(slow), device_path("ring.mp3"), 0, frames);
                bool partial_seen = false;
                Script script({[&] {
                    const auto& converter = form.worker().converter();
                    ASSERT_TRUE(wait_for([&] { return converter.get_stage() == stage && converter.get_progress() > 0.05; }));
                    partial_seen = fixtures::file_exists(partial);
                    way.cancel(form);
                }});
                EXPECT_FALSE(form.run());
                EXPECT_TRUE(script.done());
                EXPECT_EQ(partial_seen, stage == 2) << "the new file is written beside the old one";
                EXPECT_FALSE(form.worker().is_running());
                EXPECT_FALSE(form.succeeded());
                EXPECT_EQ(target_exists(), existing);
                EXPECT_EQ(fixtures::read_file(root.host("ring.mp3")), existing ? "old ringtone" : "");
                EXPECT_FALSE(fixtures::file_exists(partial));
            }
        }
    }
}

TEST_F(FormConvertingTest, EmptySpansAndUnreadableSourcesEndAtOnceWritingNothing) {
    ASSERT_TRUE(fixtures::make_wav(root.host("tone.wav"), {2.0, 22050, 1, 16}));
    fixtures::write_file(root.host("noise.wav"), std::string(4000, 'x'));
    struct Case {
        const char* source;
        double start, finish;
    };
    const Case cases[] = {{"tone.wav", 1.0, 1.0}, {"tone.wav", 1.5, 0.5}, {"noise.wav", 0, 1}, {"missing.wav", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " " + std::to_string(c.start));
        auto form = make_form(c.source, c.start, c.finish);
        EXPECT_TRUE(form->run());  // not cancelled: the caller finds no file
        EXPECT_FALSE(form->succeeded());
        EXPECT_FALSE(target_exists());
    }
    // Without a source the estimate comes from the first rates: the span in units, one to one.
    FormConverting unreadable(nullptr, &skin(), device_path("noise.wav"), device_path("ring.mp3"), 0, 1000);
    EXPECT_EQ(unreadable.get_source_bitrate(), 32000);
    EXPECT_EQ(unreadable.get_output_bitrate(), 32000);
    EXPECT_TRUE(unreadable.has_enough_space());
}

TEST_F(FormConvertingTest, PushesTheSpanInStepsOfAtMost5000Units) {
    ToneReader* noting = nullptr;
    FormConverting form(nullptr, &skin(), tone_format(40000, &noting), device_path("ring.mp3"), 1000, 24000);
    EXPECT_TRUE(form.run());
    EXPECT_TRUE(form.succeeded());
    // Each of the two passes: four full steps and the rest.
    const std::vector<int> pass = {5000, 5000, 5000, 5000, 3000};
    std::vector<int> both = pass;
    both.insert(both.end(), pass.begin(), pass.end());
    EXPECT_EQ(noting->pushes, both);
}

TEST_F(FormConvertingTest, NoTimerOutlivesTheFormToCloseTheNextDialog) {
    ASSERT_TRUE(fixtures::make_wav(root.host("tone.wav"), {1.0, 22050, 1, 16}));
    {
        auto form = make_form("tone.wav", 0, 1);
        EXPECT_TRUE(form->run());
    }
    bool still_open = false;
    app::FormReport report(nullptr, &skin(), u"next");
    // Long enough for several ticks of the old 0.1 s timer.
    std::vector<std::function<void()>> steps(40, [] {});
    steps.push_back([&] {
        still_open = report.is_in_modal();
        report.close();
    });
    Script script(steps);
    report.do_modal();
    EXPECT_TRUE(still_open);
}

}  // namespace
}  // namespace dialog_test
