// The main form's panels, commands, keys and preview, on the program's own skin, with files
// and a player of the tests' making.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <functional>
#include <string>
#include <vector>

#include "app/FormSave.h"
#include "base/Registry.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Power.h"
#include "tests/app/support/DialogTesting.h"
#include "tests/app/support/MainFormTesting.h"
#include "ui/menus/MenuItem.h"

namespace app_test {
namespace {

using skinner::Key;

using FormMainTest = MainFormTest;

// Files whose units are no fixed count a second from the file's beginning: sample frames, and
// the bytes of an MP3 behind a 300 kB cover (its units a second are no length of time either).
const FakeFile kFrames{};
const FakeFile kBehindACover{.units_per_second = 16000, .bitrate = 128000, .offset = 300000};

// Each case on a new form, over a file of sample frames and over one behind a cover.
template <class Case, class Run>
void on_both_files(MainFormTest& test, const std::vector<Case>& cases, Run run) {
    for (const FakeFile& kind : {kFrames, kBehindACover}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (kind.offset ? ", behind a cover" : ""));
            test.file = kind;
            test.make_form();
            run(c);
        }
    }
}


// Each row: how the form got to a panel, what happened there, and the panel that follows.
struct FlowCase {
    const char* from;
    const char* event;
    std::function<void(MainFormTest&)> reach;
    std::function<void(MainFormTest&, TestFormMain&)> act;
    const char* to;
};

TEST_F(FormMainTest, PanelFlowFollowsTheTable) {
    auto at_file = [](MainFormTest&) {};
    auto at_start = [](MainFormTest& t) { t.reach_start_panel(); };
    auto at_finish = [](MainFormTest& t) { t.reach_finish_panel(); };
    auto at_save = [](MainFormTest& t) { t.reach_save_panel(); };
    auto at_exact_start = [](MainFormTest& t) { t.reach_exact_start_panel(); };
    auto at_exact_finish = [](MainFormTest& t) { t.reach_exact_finish_panel(); };
    auto command = [](const char16_t* name) { return [name](MainFormTest&, TestFormMain& f) { f.on_command(name); }; };
    auto esc = [](MainFormTest&, TestFormMain& f) { f.on_keydown(Key::Esc); };
    auto heard = [](double seconds) {
        return [seconds](MainFormTest& t, TestFormMain&) { t.play_reaches(seconds); };
    };
    const std::vector<FlowCase> cases = {
        {"file", "Select on a clip that opens",
         [](MainFormTest& t) { t.select_clip(u"a.wav"); }, command(u"Select"), "start"},
        {"file", "Select on a clip no reader takes",
         [](MainFormTest& t) { t.select_clip(u"c.bad.wav"); }, command(u"Select"), "file"},
        {"file", "Esc", at_file, esc, "file"},
        {"start", "mode button, long selection", at_start,
         [=](MainFormTest& t, TestFormMain& f) { heard(2.0)(t, f); f.start_panel().button.click(); }, "finish"},
        {"start", "mode button, too short a selection", at_start,
         [=](MainFormTest& t, TestFormMain& f) { heard(9.7)(t, f); f.start_panel().button.click(); }, "file"},
        {"start", "Cancel", at_start, command(u"Cancel"), "file"},
        {"start", "Esc", at_start, esc, "file"},
        {"start", "the soft key Start", at_start,
         [=](MainFormTest& t, TestFormMain& f) { heard(2.0)(t, f); f.on_command(u"Start"); }, "finish"},
        {"start", "the preview ends by itself", at_start,
         [](MainFormTest& t, TestFormMain& f) {
             t.player().finished = true;
             f.on_timer(f.get_position_timer());
         },
         "file"},
        {"finish", "mode button, long selection", at_finish,
         [=](MainFormTest& t, TestFormMain& f) { heard(5.0)(t, f); f.finish_panel().button.click(); }, "save"},
        {"finish", "mode button, too short a selection", at_finish,
         [=](MainFormTest& t, TestFormMain& f) { heard(1.2)(t, f); f.finish_panel().button.click(); }, "file"},
        {"finish", "Cancel", at_finish, command(u"Cancel"), "file"},
        {"finish", "Esc", at_finish, esc, "file"},
        {"finish", "the soft key Finish", at_finish,
         [=](MainFormTest& t, TestFormMain& f) { heard(5.0)(t, f); f.on_command(u"Finish"); }, "save"},
        {"finish", "the preview ends by itself", at_finish,
         [](MainFormTest& t, TestFormMain& f) {
             t.player().finished = true;
             f.on_timer(f.get_position_timer());
         },
         "save"},
        {"save", "btnExact", at_save, [](MainFormTest&, TestFormMain& f) { f.save_panel().exact.click(); }, "exact-start"},
        {"save", "Cancel", at_save, command(u"Cancel"), "file"},
        {"save", "Esc", at_save, esc, "file"},
        {"save", "btnAssign with the name dialog cancelled", at_save,
         [](MainFormTest&, TestFormMain& f) {
             dialog_test::Script cancel({[] {
                 if (auto* save = dynamic_cast<app::FormSave*>(skinner::Form::get_modal_form())) save->close();
             }});
             f.save_panel().assign.click();
         },
         "save"},
        {"exact-start", "Confirm", at_exact_start, command(u"Confirm"), "exact-finish"},
        {"exact-start", "btnConfirm", at_exact_start,
         [](MainFormTest&, TestFormMain& f) { f.exact_start_panel().confirm_panel.confirm.click(); }, "exact-finish"},
        {"exact-start", "Cancel", at_exact_start, command(u"Cancel"), "save"},
        {"exact-start", "Esc", at_exact_start, esc, "save"},
        {"exact-finish", "Confirm", at_exact_finish, command(u"Confirm"), "save"},
        {"exact-finish", "Cancel", at_exact_finish, command(u"Cancel"), "save"},
        {"exact-finish", "Esc", at_exact_finish, esc, "save"},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(std::string(c.from) + ": " + c.event);
        make_form();
        c.reach(*this);
        ASSERT_EQ(panel(), c.from);
        c.act(*this, form());
        EXPECT_EQ(panel(), c.to);
    }
}

TEST_F(FormMainTest, ClipThatDoesNotOpenSaysSoInABoxOwnedByTheForm) {
    select_clip(u"c.bad.wav");
    form().on_command(u"Select");
    ASSERT_EQ(shown_boxes().size(), 1u);
    EXPECT_EQ(shown_boxes()[0].owner, form().get_hwnd());
    EXPECT_EQ(shown_boxes()[0].text, u"This file cannot be played.");
    EXPECT_EQ(shown_boxes()[0].caption, u"Vantrel");
    EXPECT_EQ(shown_boxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(form().get_format(), nullptr);
}

TEST_F(FormMainTest, SelectWaitsASecondThenPlaysTheWholeClipFromItsBeginning) {
    select_clip(u"a.wav");
    form().on_command(u"Select");
    EXPECT_EQ(form().get_start(), -1);
    EXPECT_EQ(form().get_finish(), file.length());
    // The file was opened for its length only; nothing plays until the timer fires.
    EXPECT_EQ(form().get_format(), nullptr);
    EXPECT_NE(form().get_play_timer(), 0u);
    form().on_timer(form().get_play_timer());
    ASSERT_NE(form().get_format(), nullptr);
    EXPECT_EQ(reader().get_position(), 0);
    EXPECT_EQ(form().get_play_timer(), 0u);
    EXPECT_FALSE(player().is_finished());
    EXPECT_TRUE(form().save_panel().play.is_checked());
    EXPECT_EQ(form().fade().get_time(), 0.0);
}

TEST_F(FormMainTest, StartMarkedBeforeThePreviewStartedStartsItAtTheBeginning) {
    select_clip(u"a.wav");
    form().on_command(u"Select");
    form().start_panel().button.click();
    EXPECT_EQ(form().get_start(), 0);
    EXPECT_NE(form().get_format(), nullptr);
    EXPECT_EQ(panel(), "finish");
}

TEST_F(FormMainTest, AMarkIsWhatWasHeardAsItsButtonWentDown) {
    reach_start_panel();
    play_reaches(2.0);
    form().start_panel().button.set_pressed(true);
    // A press lasts a moment: the preview plays on until the button comes up again.
    play_reaches(2.15);
    form().start_panel().button.set_pressed(false);
    ASSERT_EQ(panel(), "finish");
    EXPECT_EQ(form().get_start(), units(2.0));
    play_reaches(5.0);
    form().finish_panel().button.set_pressed(true);
    play_reaches(5.2);
    form().finish_panel().button.set_pressed(false);
    ASSERT_EQ(panel(), "save");
    EXPECT_EQ(form().get_finish(), units(5.0));
    // The pen slides off the button: no mark; the soft key's command later has no press of
    // its own and marks what is heard then.
    make_form();
    reach_start_panel();
    play_reaches(2.0);
    skinner::ControlButton& button = form().start_panel().button;
    button.on_mouse_down(button.get_position() + button.get_size() / 2.0, false);
    button.on_mouse_up(skinner::Point{-1000, -1000}, false);
    EXPECT_EQ(panel(), "start");
    play_reaches(3.0);
    form().on_command(u"Start");
    EXPECT_EQ(form().get_start(), units(3.0));
}

TEST_F(FormMainTest, RightBeforeThePreviewStartedStartsItAtATwentiethOfTheClip) {
    for (const FakeFile& kind : {kFrames, kBehindACover}) {
        SCOPED_TRACE(kind.offset ? "behind a cover" : "frames");
        file = kind;
        make_form();
        select_clip(u"a.wav");
        form().on_command(u"Select");
        EXPECT_TRUE(form().on_keydown(Key::Right));
        ASSERT_NE(form().get_format(), nullptr);
        // A twentieth of its time.
        EXPECT_EQ(reader().get_position(), units(0.5));
        EXPECT_EQ(form().get_play_timer(), 0u);
    }
}

TEST_F(FormMainTest, LeftAndRightMoveTheMarkingPreviewByATwentiethOfTheClip) {
    struct Case {
        const char* what;
        bool finish_panel;
        double at;
        Key key;
        double expected;  // seconds; -1: the preview starts over from the beginning
    };
    // A twentieth of the clip's 10 s, in time, wherever its bytes lie.
    const std::vector<Case> cases = {
        {"Right on the start panel", false, 2.0, Key::Right, 2.5},
        {"Right near the end stops at the length", false, 9.9, Key::Right, 10.0},
        {"Left on the start panel", false, 5.0, Key::Left, 4.5},
        {"Left before a twentieth, with no start, starts over", false, 0.2, Key::Left, -1},
        {"Right on the finish panel", true, 3.0, Key::Right, 3.5},
        {"Left on the finish panel stops at the start", true, 1.2, Key::Left, 1.0},
    };
    on_both_files(*this, cases, [this](const Case& c) {
        if (c.finish_panel) {
            reach_finish_panel(1.0);
        } else {
            reach_start_panel();
        }
        play_reaches(c.at);
        EXPECT_TRUE(form().on_keydown(c.key));
        if (c.expected < 0) {
            EXPECT_EQ(form().get_format(), nullptr);
            EXPECT_NE(form().get_play_timer(), 0u);
        } else {
            EXPECT_NEAR(file.time_at(reader().get_position()), c.expected, 1e-4);
        }
    });
}

TEST_F(FormMainTest, FineTuningStepsATenthAndKeepsHalfASecondBetweenTheMarkers) {
    struct Case {
        const char* what;
        bool finish_panel;
        bool right;
        double start, finish;
        int presses;
        double expected_start, expected_finish;
    };
    const std::vector<Case> cases = {
        {"start left", false, false, 2.0, 6.0, 3, 1.7, 6.0},
        {"start left stops at 0", false, false, 0.15, 6.0, 3, 0.0, 6.0},
        {"start right", false, true, 2.0, 6.0, 2, 2.2, 6.0},
        {"start right never past finish - 0.5 s", false, true, 5.2, 6.0, 9, 5.5, 6.0},
        {"finish right", true, true, 2.0, 6.0, 2, 2.0, 6.2},
        {"finish right stops at the length", true, true, 2.0, 9.85, 5, 2.0, 10.0},
        {"finish left", true, false, 2.0, 6.0, 3, 2.0, 5.7},
        {"finish left never before start + 0.5 s", true, false, 2.0, 2.8, 9, 2.0, 2.5},
    };
    on_both_files(*this, cases, [this](const Case& c) {
        if (c.finish_panel) {
            reach_exact_finish_panel(c.start, c.finish);
        } else {
            reach_exact_start_panel(c.start, c.finish);
        }
        app::PanelExact& panel = c.finish_panel ? form().exact_finish_panel() : form().exact_start_panel();
        for (int i = 0; i < c.presses; ++i) (c.right ? panel.right : panel.left).click();
        // Positions are the reader's units, whatever its bit rate says.
        EXPECT_NEAR(file.time_at(form().get_start()), c.expected_start, 2e-4);
        EXPECT_NEAR(file.time_at(form().get_finish()), c.expected_finish, 2e-4);
    });
}

TEST_F(FormMainTest, SpansAreCountedInTheReadersOwnUnits) {
    struct Case {
        const char* what;
        FakeFile file;
    };
    // Coded blocks, sample frames and bytes: none of them is the bit rate over 8.
    const std::vector<Case> cases = {
        {"blocks of 320 samples at 8 kHz", {.units_per_second = 25, .bitrate = 13000}},
        {"frames", {.units_per_second = 44100, .bitrate = 128000}},
        {"bytes", {.units_per_second = 176400, .bitrate = 1411200}},
        {"bytes behind a cover", kBehindACover},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file = c.file;
        make_form();
        reach_finish_panel(2.0);
        // Finishing 0.4 s after the start is too short, 0.6 s is enough.
        play_reaches(2.4);
        form().finish_panel().button.click();
        EXPECT_EQ(panel(), "file");
        make_form();
        reach_save_panel(2.0, 2.6);
        form().save_panel().exact.click();
        form().exact_start_panel().right.click();
        EXPECT_EQ(form().get_start(), std::max(units(2.0) + 1, units(2.1)));
        // The exact-finish loop begins 4 s before the finish, or at the start.
        make_form();
        reach_save_panel(2.0, 7.0);
        form().save_panel().exact.click();
        form().on_command(u"Confirm");
        EXPECT_EQ(reader().get_position(), units(3.0));
    }
}

TEST_F(FormMainTest, ASelectionTooShortIsRefusedWithAMessage) {
    for (const bool at_finish : {false, true}) {
        SCOPED_TRACE(at_finish ? "finish" : "start");
        file = kBehindACover;
        make_form();
        watch_message_boxes();
        if (at_finish) {
            reach_finish_panel(3.0);
            play_reaches(3.3);
            form().finish_panel().button.click();
        } else {
            reach_start_panel();
            play_reaches(9.7);
            form().start_panel().button.click();
        }
        EXPECT_EQ(panel(), "file");
        EXPECT_EQ(form().get_format(), nullptr);
        ASSERT_EQ(shown_boxes().size(), 1u);
        EXPECT_EQ(shown_boxes()[0].owner, form().get_hwnd());
        EXPECT_EQ(shown_boxes()[0].text, u"The selection is too short.");
        EXPECT_EQ(shown_boxes()[0].caption, u"Vantrel");
        EXPECT_EQ(shown_boxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
    }
    // Five seconds behind the cover are long enough.
    make_form();
    watch_message_boxes();
    reach_save_panel(2.0, 7.0);
    EXPECT_TRUE(shown_boxes().empty());
}

TEST_F(FormMainTest, PlayPositionLagsTheReaderByExactlyTheQueuedAudio) {
    struct Case {
        const char* what;
        FakeFile file;
        int queued;
    };
    const std::vector<Case> cases = {
        // 16-bit stereo bytes: bit rate times queued frames does not fit in 32 bits.
        {"bytes, six buffers and a block queued", {.units_per_second = 176400, .bitrate = 1411200}, 6 * 8820 + 16384},
        {"frames", {.units_per_second = 44100, .bitrate = 128000}, 44100},
        {"nothing queued", {.units_per_second = 44100, .bitrate = 128000}, 0},
        {"bytes behind a cover", kBehindACover, 22050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file = c.file;
        make_form();
        reach_start_panel();
        reader().set_position(units(8.0));
        player().unplayed = c.queued;
        const double heard = 8.0 - double(c.queued) / file.sample_rate;
        EXPECT_EQ(form().get_play_position(), file.offset + std::lround(heard * file.units_per_second));
    }
}

TEST_F(FormMainTest, EachPanelLoopsOrStopsThePreviewByItsRule) {
    struct Case {
        const char* what;
        std::function<void(FormMainTest&)> reach;
        std::function<void(FormMainTest&)> happen;
        std::function<void(FormMainTest&)> check;
    };
    const double start = 1.0, finish = 7.0;
    const std::vector<Case> cases = {
        {"save panel: the player finished", [&](FormMainTest& t) { t.reach_save_panel(start, finish); t.form().save_panel().play.click(); },
         [](FormMainTest& t) { t.player().finished = true; },
         [](FormMainTest& t) {
             EXPECT_EQ(t.form().get_format(), nullptr);
             EXPECT_FALSE(t.form().save_panel().play.is_checked());
         }},
        {"save panel: past the finish the chain is cut and the player plays out",
         [&](FormMainTest& t) { t.reach_save_panel(start, finish); t.form().save_panel().play.click(); },
         [&](FormMainTest& t) { t.reader().set_position(t.units(finish) + 1); },
         [](FormMainTest& t) {
             ASSERT_NE(t.form().get_format(), nullptr);
             EXPECT_EQ(t.form().get_format()->get_source()->downstream(), nullptr);
             EXPECT_TRUE(t.form().save_panel().play.is_checked());
         }},
        {"exact start: the player finished, it plays again from the start",
         [&](FormMainTest& t) { t.reach_exact_start_panel(start, finish); },
         [](FormMainTest& t) { t.player().finished = true; },
         [&](FormMainTest& t) {
             EXPECT_EQ(t.reader().get_position(), t.units(start));
             EXPECT_FALSE(t.player().finished);
         }},
        {"exact start: past 4 s of fading, back to the start",
         [&](FormMainTest& t) { t.reach_exact_start_panel(start, finish); },
         [](FormMainTest& t) { t.player().pull_seconds(4.1, t.file.sample_rate); },
         [&](FormMainTest& t) {
             EXPECT_EQ(t.reader().get_position(), t.units(start));
             EXPECT_EQ(t.form().fade().get_time(), 0.0);
         }},
        {"exact start: within 4 s it plays on",
         [&](FormMainTest& t) { t.reach_exact_start_panel(start, finish); },
         [](FormMainTest& t) { t.player().pull_seconds(3.0, t.file.sample_rate); },
         [&](FormMainTest& t) { EXPECT_EQ(t.reader().get_position(), t.units(start + 3.0)); }},
        {"exact finish: the player finished, it plays again 4 s before the finish",
         [&](FormMainTest& t) { t.reach_exact_finish_panel(start, finish); },
         [](FormMainTest& t) { t.player().finished = true; },
         [&](FormMainTest& t) { EXPECT_EQ(t.reader().get_position(), t.units(finish - 4.0)); }},
        {"exact finish: past the finish, back to 4 s before it",
         [&](FormMainTest& t) { t.reach_exact_finish_panel(start, finish); },
         [&](FormMainTest& t) { t.reader().set_position(t.units(finish) + 1); },
         [&](FormMainTest& t) { EXPECT_EQ(t.reader().get_position(), t.units(finish - 4.0)); }},
        {"exact finish: a selection shorter than 4 s loops from the start",
         [&](FormMainTest& t) { t.reach_exact_finish_panel(start, start + 2.0); },
         [&](FormMainTest& t) { t.reader().set_position(t.units(start + 2.0) + 1); },
         [&](FormMainTest& t) { EXPECT_EQ(t.reader().get_position(), t.units(start)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make_form();
        c.reach(*this);
        c.happen(*this);
        fire_position_timer();
        c.check(*this);
    }
}

TEST_F(FormMainTest, PositionTimerKeepsTheDeviceAwakeAndMovesTheMarkersOnlyWhileAFileIsOpen) {
    const uint64_t resets = platform::idle_timer_resets();
    fire_position_timer();
    form().on_timer(form().get_call_timer());
    EXPECT_EQ(platform::idle_timer_resets(), resets);
    // The markers are shares of the clip's time, also where a cover takes bytes before it.
    for (const FakeFile& kind : {kFrames, kBehindACover}) {
        SCOPED_TRACE(kind.offset ? "behind a cover" : "frames");
        file = kind;
        make_form();
        const uint64_t before = platform::idle_timer_resets();
        reach_start_panel();
        play_reaches(2.5);
        fire_position_timer();
        EXPECT_EQ(platform::idle_timer_resets(), before + 1);
        EXPECT_NEAR(form().position_bar().get_start_marker(), 0.25, 1e-6);
        EXPECT_NEAR(form().position_bar().get_second_marker(), 0.25, 1e-6);
        form().start_panel().button.click();
        play_reaches(5.0);
        fire_position_timer();
        EXPECT_NEAR(form().position_bar().get_start_marker(), 0.25, 1e-6);
        EXPECT_NEAR(form().position_bar().get_second_marker(), 0.5, 1e-6);
    }
}

TEST_F(FormMainTest, AnActiveCallStepsBackFromMarkingAndOnlyStopsTheSavePanelsPreview) {
    ASSERT_TRUE(skinner::registry_write_dword(u"HKEY_LOCAL_MACHINE\\System\\State\\Phone", u"Active Call Count", 1));
    struct Case {
        const char* what;
        std::function<void(FormMainTest&)> reach;
        const char* panel;
        bool playing;
    };
    const std::vector<Case> cases = {
        {"start panel", [](FormMainTest& t) { t.reach_start_panel(); }, "file", false},
        {"finish panel", [](FormMainTest& t) { t.reach_finish_panel(); }, "file", false},
        {"exact start panel", [](FormMainTest& t) { t.reach_exact_start_panel(); }, "save", false},
        {"save panel playing", [](FormMainTest& t) { t.reach_save_panel(); t.form().save_panel().play.click(); }, "save", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make_form();
        c.reach(*this);
        form().on_timer(form().get_call_timer());
        EXPECT_EQ(panel(), c.panel);
        EXPECT_EQ(form().get_format() != nullptr, c.playing);
    }
    // With no call, nothing happens.
    ASSERT_TRUE(skinner::registry_write_dword(u"HKEY_LOCAL_MACHINE\\System\\State\\Phone", u"Active Call Count", 0));
    make_form();
    reach_start_panel();
    form().on_timer(form().get_call_timer());
    EXPECT_EQ(panel(), "start");
}

TEST_F(FormMainTest, FineTuningDuringASavePanelPreviewCutsThePlayerOffTheOldFileBeforeDeletingIt) {
    reach_save_panel();
    form().save_panel().play.click();
    ASSERT_NE(form().get_format(), nullptr);
    form().save_panel().exact.click();
    form().on_command(u"Confirm");
    form().on_command(u"Cancel");
    EXPECT_EQ(journal.deleted_while_linked, 0);
}

TEST_F(FormMainTest, PlayerThatFailsToStartLeavesNothingPlaying) {
    reach_save_panel();
    player().play_works = false;
    form().save_panel().play.click();
    EXPECT_EQ(form().get_format(), nullptr);
    EXPECT_FALSE(form().save_panel().play.is_checked());
}

TEST_F(FormMainTest, PositionBarTapsSeekButNeverBeforeTheStart) {
    for (const FakeFile& kind : {kFrames, kBehindACover}) {
        SCOPED_TRACE(kind.offset ? "behind a cover" : "frames");
        file = kind;
        make_form();
        reach_finish_panel(3.0);
        form().on_value_changed(&form().position_bar(), 0.5);
        EXPECT_EQ(reader().get_position(), units(5.0));
        form().on_value_changed(&form().position_bar(), 0.1);
        EXPECT_EQ(reader().get_position(), units(3.0));
    }
}

// The pen on the middle of a control of the program's skin, as the user taps it.
void tap(const skinner::Control& control) {
    POINT p{control.get_position().x + control.get_size().x / 2, control.get_position().y + control.get_size().y / 2};
    ClientToScreen(control.get_form_root()->get_hwnd(), &p);
    platform::headless::tap(p.x, p.y);
    pump();
}

TEST_F(FormMainTest, ThePenReachesTheArrowsBesideTheConfirmPanelAndTheSavePanelsButtons) {
    ShowWindow(form().get_hwnd(), SW_SHOW);
    pump();
    reach_save_panel(2.0, 6.0);
    tap(form().save_panel().play);
    EXPECT_TRUE(form().save_panel().play.is_checked());
    tap(form().save_panel().exact);
    ASSERT_EQ(panel(), "exact-start");
    tap(form().exact_start_panel().right);
    EXPECT_EQ(form().get_start(), units(2.0) + units(0.1));
    tap(form().exact_start_panel().left);
    tap(form().exact_start_panel().left);
    EXPECT_EQ(form().get_start(), units(2.0) - units(0.1));
    tap(form().exact_start_panel().confirm_panel.confirm);
    ASSERT_EQ(panel(), "exact-finish");
    tap(form().exact_finish_panel().right);
    EXPECT_EQ(form().get_finish(), units(6.0) + units(0.1));
    tap(form().exact_finish_panel().confirm_panel.confirm);
    EXPECT_EQ(panel(), "save");
}

TEST_F(FormMainTest, TurningTheScreenRefitsTheSkinAndTheFormAndKeepsThePreview) {
    ShowWindow(form().get_hwnd(), SW_SHOW);
    reach_exact_start_panel(2.0, 6.0);
    const skinner::Point portrait = form().get_size();
    ASSERT_LT(portrait.x, portrait.y);
    platform::headless::turn_screen();
    pump();
    const skinner::Point landscape = form().get_size();
    platform::headless::turn_screen();
    pump();
    EXPECT_GT(landscape.x, landscape.y);
    EXPECT_EQ(form().get_size(), portrait);
    EXPECT_EQ(panel(), "exact-start");
    EXPECT_NE(form().get_format(), nullptr);
    // The controls were laid out anew and still take the pen.
    tap(form().exact_start_panel().right);
    EXPECT_EQ(form().get_start(), units(2.0) + units(0.1));
}

// Down walks the save panel's controls in the order the eye reads them, whichever way the
// screen is turned: a layout that stacks them differently must not send the focus back up. The
// layouts read alike: the check box, Save, Assign, then the fine-tune button and Exit.
TEST_F(FormMainTest, DownOnTheSavePanelFollowsTheControlsAsTheyAreLaidOut) {
    ShowWindow(form().get_hwnd(), SW_SHOW);
    reach_save_panel();
    app::PanelSave& save = form().save_panel();
    const std::vector<skinner::Control*> controls = {&save.play, &save.save, &save.assign, &save.exact, &save.exit};
    auto focused = [&] { return save.play.get_form()->get_focused(); };
    auto down = [&] { form().on_keydown(Key::Down); };
    for (const char* screen : {"portrait", "landscape"}) {
        SCOPED_TRACE(screen);
        std::vector<skinner::Control*> laid_out = controls;
        std::stable_sort(laid_out.begin(), laid_out.end(), [](skinner::Control* a, skinner::Control* b) {
            const skinner::Point p = a->get_position(), q = b->get_position();
            return p.y != q.y ? p.y < q.y : p.x < q.x;
        });
        EXPECT_EQ(laid_out, controls);
        // From the last control, Down comes round to the first.
        for (int i = 0; i < 10 && focused() != laid_out.back(); ++i) down();
        ASSERT_EQ(focused(), laid_out.back());
        for (skinner::Control* expected : laid_out) {
            down();
            EXPECT_EQ(focused(), expected) << std::string(expected->get_name().begin(), expected->get_name().end());
        }
        platform::headless::turn_screen();
        pump();
    }
    platform::headless::turn_screen();
    pump();
}

// Enter held down on a clip opens it once: the key's repeats and its release must not go on to
// press what the new panel offers, nor a selected folder to open the next level and beyond.
TEST_F(FormMainTest, AHeldEnterActsOnceOnThePanelItWasPressedOn) {
    struct Case {
        const char* what;
        std::function<void(MainFormTest&)> reach;
        const char* panel;
        std::function<void(MainFormTest&, ::testing::AssertionResult&)> check;
    };
    const std::vector<Case> cases = {
        {"a clip in the list", [](MainFormTest& t) { t.select_clip(u"a.wav"); }, "start", {}},
        {"a folder in the list",
         [](MainFormTest& t) {
             t.form().open_folder(u"\\Clips");
             t.form().file_list().select_path(u"\\Clips\\Sub");
         },
         "file",
         [](MainFormTest& t, ::testing::AssertionResult& result) {
             if (t.form().file_list().get_folder() != u"\\Clips\\Sub") result = ::testing::AssertionFailure();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make_form();
        ShowWindow(form().get_hwnd(), SW_SHOW);
        c.reach(*this);
        std::vector<std::function<void()>> steps = {[] { platform::headless::key_down(VK_RETURN); }};
        for (int i = 0; i < 7; ++i) steps.push_back([] { platform::headless::key_repeat(VK_RETURN); });
        steps.push_back([] { platform::headless::key_up(VK_RETURN); });
        steps.push_back([this] { form().close(); });
        dialog_test::Script script(steps);
        form().do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_EQ(panel(), c.panel);
        ::testing::AssertionResult where = ::testing::AssertionSuccess();
        if (c.check) c.check(*this, where);
        EXPECT_TRUE(where) << "the folder is " << std::string(form().file_list().get_folder().begin(),
                                                             form().file_list().get_folder().end());
    }
}

TEST_F(FormMainTest, MenuHasTheLanguagesThenHelpAboutAndExit) {
    skinner::MenuItem menu(u"Menu", u"Menu");
    form().create_menu(menu);
    ASSERT_GE(menu.children.size(), 3);
    const int n = menu.children.size();
    EXPECT_EQ(menu.children[n - 3].command, u"Help");
    EXPECT_EQ(menu.children[n - 2].command, u"About");
    EXPECT_EQ(menu.children[n - 1].command, u"Exit");
    EXPECT_EQ(menu.children[n - 1].text, u"Exit");
    skinner::MenuItem other(u"Other", u"Other");
    form().create_menu(other);
    EXPECT_TRUE(other.empty());
}

}  // namespace
}  // namespace app_test
