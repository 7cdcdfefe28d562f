// Top-level forms: placement, Enter and Esc, the Pocket PC key pump, nested modal loops,
// timers, the command-line hand-over and the broken-invariant checks of the menus.
#include "ui/forms/Form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/Log.h"
#include "platform/display/Headless.h"
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/ui/forms/support/FormTesting.h"
#include "ui/controls/ControlButton.h"

namespace forms_test {
namespace {

namespace h = platform::headless;

using FormTest = FormsTest;

struct WindowPlace {
    Point position, size;
};

std::string narrow(const char16_t* name) { return std::string(name, name + std::char_traits<char16_t>::length(name)); }

WindowPlace place_of(const Form& form) {
    RECT r;
    GetWindowRect(form.get_hwnd(), &r);
    return {{r.left, r.top}, {r.right - r.left, r.bottom - r.top}};
}

bool contains(const Journal& journal, const std::string& entry) {
    return std::find(journal.begin(), journal.end(), entry) != journal.end();
}

// The journal's entries that begin with the prefix and end with the suffix, in order;
// paints are left out.
Journal only(const Journal& journal, const std::string& prefix, const std::string& suffix = "") {
    Journal out;
    for (const std::string& e : journal) {
        const bool ends = e.size() >= suffix.size() && e.compare(e.size() - suffix.size(), suffix.size(), suffix) == 0;
        if (e.rfind(prefix, 0) == 0 && ends && e.find(" paint ") == std::string::npos) out.push_back(e);
    }
    return out;
}

TEST_F(FormTest, PlacesTheWindowByItsStartPosition) {
    // The work area of a 480 x 640 screen at 192 dpi: (0, 52), 480 x 536. Every form is 200 x 100.
    struct Case {
        const char16_t* form;
        bool over_parent;
        Point position, size;
    };
    const Case cases[] = {
        {u"Place0", false, {7, 9}, {200, 100}},     // the skin's "Position"
        {u"Place1", false, {140, 270}, {200, 100}}, // centred in the work area
        {u"Place2", true, {280, 488}, {200, 100}},  // centred on the parent (Place5, below)
        {u"Place3", false, {0, 52}, {480, 536}},    // the whole work area
        {u"Place4", false, {0, 52}, {200, 100}},    // its near corner
        {u"Place5", false, {280, 488}, {200, 100}}, // its far corner
        {u"Place6", false, {0, 52}, {480, 536}},    // left where it was made: on the work area
        {u"Place7", false, {0, 52}, {200, 100}},    // any other value keeps the place
        {u"Mixed", false, {280, 52}, {200, 100}},
        {u"Sticky", false, {0, 52}, {480, 536}},    // 6 on one axis keeps both
    };
    JournalForm parent(nullptr, &skin(), u"Place5", &journal);
    for (const Case& c : cases) {
        JournalForm form(c.over_parent ? &parent : nullptr, &skin(), c.form, &journal);
        const WindowPlace place = place_of(form);
        EXPECT_EQ(text(place.position), text(c.position)) << narrow(c.form);
        EXPECT_EQ(text(place.size), text(c.size)) << narrow(c.form);
        // The window's WM_SIZE reached the form.
        EXPECT_EQ(text(form.get_size()), text(c.size)) << narrow(c.form);
    }
}

// Centred in the room the input panel leaves, a form taller than that room would rise under
// the caption bar: it starts below the bar instead, and the panel covers its foot.
TEST_F(FormTest, AFormTallerThanTheRoomAboveTheInputPanelStartsBelowTheCaption) {
    ASSERT_TRUE(SHSipPreference(nullptr, SIP_UP));
    JournalForm form(nullptr, &skin(), u"PlaceTall", &journal);
    const WindowPlace place = place_of(form);
    EXPECT_TRUE(SHSipPreference(nullptr, SIP_DOWN));
    EXPECT_EQ(text(place.position), text(Point(140, 52)));
    EXPECT_EQ(text(place.size), text(Point(200, 500)));
}

TEST_F(FormTest, EnterAndEscPressTheFirstUsableDefaultAndCancelButtons) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    skinner::ControlButton disabled(&form, u"bOne", Control::KIND_SKIN);
    skinner::ControlButton usable(&form, u"bTwo", Control::KIND_SKIN);
    for (skinner::ControlButton* b : {&disabled, &usable}) b->set_want_focus(false);
    disabled.set_enabled(false);
    form.add_default_button(&disabled);
    form.add_default_button(&usable);
    journal.clear();

    EXPECT_FALSE(form.on_keydown(Key::Enter));
    EXPECT_TRUE(usable.is_pressed());
    EXPECT_FALSE(form.on_keyup(Key::Enter));  // the release fires it
    EXPECT_FALSE(form.on_keydown(Key::Esc));  // no cancel button: nothing
    EXPECT_FALSE(form.on_keyup(Key::Esc));
    EXPECT_EQ(only(journal, "Top event"), (Journal{"Top event bTwo 0"}));

    // Through the device's keys and the modal loop's pump: Esc on the cancel button.
    form.remove_default_button(&usable);
    form.add_cancel_button(&usable);
    journal.clear();
    run_modal(form, {[] { h::key_press(VK_RETURN); }, [] { h::key_press(VK_ESCAPE); }});
    EXPECT_EQ(only(journal, "Top event"), (Journal{"Top event bTwo 0"}));
}

TEST_F(FormTest, PocketPcPumpDeliversTextFirstAndKeysOnlyWhenTextIsNotTaken) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe first(&form, u"tOk", &journal);
    Probe second(&form, u"tOther", &journal);
    run_modal(form, {
                        [&] { journal.clear(); },
                        [] { h::key_press('A'); },  // 'a': not taken, so also the key
                        [&] { first.consumes_text = true; },
                        [] { h::key_press('B'); },  // 'b': taken
                        [] { h::key_press(VK_DOWN); },  // no character: the key alone
                        [] { h::type_text(u"("); },  // a lone character is no key: no focus move
                        [] { h::type_text(u"%"); },
                    });
    EXPECT_EQ(only(journal, "tOk"), (Journal{"tOk text a", "tOk keydown A", "tOk keyup A", "tOk text b", "tOk keyup B",
                                             "tOk keydown Down", "tOk blur"}));
    EXPECT_EQ(only(journal, "tOther"), (Journal{"tOther focus", "tOther keyup Down", "tOther text (", "tOther keydown None",
                                                "tOther text %", "tOther keydown None", "tOther blur"}));
}

// A window of another class (the menu bar when a key closes its popup) gets its keys alone:
// the form's private message lies in the user range, where a tool bar's messages are.
std::vector<UINT> user_messages;

LRESULT recording_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) user_messages.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(FormTest, PocketPcPumpSendsTheFormsKeyMessageOnlyToForms) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = recording_proc;
    wc.lpszClassName = u"NotAForm";
    RegisterClassW(&wc);
    HWND other = CreateWindowExW(0, u"NotAForm", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    user_messages.clear();
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe first(&form, u"tOk", &journal);
    run_modal(form, {
                        [&] { journal.clear(); },
                        [&] { PostMessageW(other, WM_KEYDOWN, VK_ESCAPE, 0); },
                        [&] { PostMessageW(other, WM_CHAR, 'x', 0); },
                        [] { h::key_press('A'); },
                    });
    DestroyWindow(other);
    EXPECT_TRUE(user_messages.empty());
    EXPECT_EQ(only(journal, "tOk"), (Journal{"tOk text a", "tOk keydown A", "tOk keyup A", "tOk blur"}));
}

TEST_F(FormTest, NestedModalLoopsEndInnermostFirstAndGiveBackWhatTheyDisabled) {
    JournalForm top(nullptr, &skin(), u"Top", &journal);
    std::unique_ptr<JournalForm> side = std::make_unique<JournalForm>(nullptr, &skin(), u"Place4", &journal);
    std::unique_ptr<JournalForm> n1, n2, n3;
    Journal checks;
    auto check = [&](bool ok, const std::string& what) {
        if (!ok) checks.push_back(what);
    };
    run_modal(top, {
        [&] {
            n1 = std::make_unique<JournalForm>(&top, &skin(), u"Nest1", &journal);
            n1->do_modal();
            journal.push_back("n1 ended");
            check(IsWindowEnabled(top.get_hwnd()), "top enabled after n1");
            check(GetForegroundWindow() == top.get_hwnd(), "top raised after n1");
        },
        [&] {
            check(!IsWindowEnabled(top.get_hwnd()), "top disabled under n1");
            check(!IsWindowEnabled(side->get_hwnd()), "side disabled under n1");
            side.reset();  // destroyed while n1 has it disabled
            n2 = std::make_unique<JournalForm>(n1.get(), &skin(), u"Nest2", &journal);
            n2->do_modal();
            journal.push_back("n2 ended");
            check(IsWindowEnabled(n1->get_hwnd()), "n1 enabled after n2");
            check(GetForegroundWindow() == n1->get_hwnd(), "n1 raised after n2");
        },
        [&] {
            n3 = std::make_unique<JournalForm>(n2.get(), &skin(), u"Nest3", &journal);
            n3->do_modal();
            journal.push_back("n3 ended");
            check(IsWindowEnabled(n2->get_hwnd()), "n2 enabled after n3");
        },
        [&] {
            check(Form::get_modal_form() == n3.get(), "n3 innermost");
            for (Form* f : {static_cast<Form*>(&top), static_cast<Form*>(n1.get()), static_cast<Form*>(n2.get())}) {
                check(!IsWindowEnabled(f->get_hwnd()), "outer forms disabled under n3");
            }
            check(IsWindowEnabled(n3->get_hwnd()), "n3 enabled");
            n1->close();  // n1's end waits until n3 and n2 have ended
            check(GetForegroundWindow() == n3->get_hwnd(), "n3 stays in front");
        },
        [&] { n3->close(); },
        [&] {
            check(Form::get_modal_form() == n2.get(), "n2 innermost again");
            PostMessageW(top.get_hwnd(), WM_CLOSE, 0, 0);  // from outside: reaches n2 only
        },
        [&] { check(Form::get_modal_form() == &top, "back in top's loop"); },
    });
    EXPECT_EQ(checks, Journal{});
    EXPECT_EQ(only(journal, "n"), (Journal{"n3 ended", "n2 ended", "n1 ended"}));
    EXPECT_EQ(only(journal, "Nest", "can_close"), (Journal{"Nest1 can_close", "Nest3 can_close", "Nest2 can_close"}));
    EXPECT_EQ(Form::get_modal_form(), nullptr);
    EXPECT_FALSE(top.is_in_modal());
}

TEST_F(FormTest, QuitEndsEveryModalLoopAndIsTakenByTheOutermost) {
    JournalForm top(nullptr, &skin(), u"Top", &journal);
    std::unique_ptr<JournalForm> nest;
    run_modal(top, {
        [&] {
            nest = std::make_unique<JournalForm>(&top, &skin(), u"Nest1", &journal);
            nest->do_modal();
            journal.push_back("nest ended");
        },
        [] { PostQuitMessage(3); },
    });
    EXPECT_TRUE(contains(journal, "nest ended"));
    EXPECT_EQ(Form::get_modal_form(), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindowEnabled(top.get_hwnd()));
}

TEST_F(FormTest, RefusedCloseKeepsTheLoopAndTheWindow) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    form.allow_close = false;
    int after = 0;
    run_modal(form, {[&] { form.close(); }, [&] {
                         ++after;
                         EXPECT_TRUE(IsWindowVisible(form.get_hwnd()));
                         form.allow_close = true;
                     }});
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(IsWindowVisible(form.get_hwnd()));
}

TEST_F(FormTest, TimersHaveProcessWideIdsAndReachTheirControl) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    JournalForm other(nullptr, &skin(), u"Place4", &journal);
    const uint32_t a = form.set_timer(10);
    const uint32_t b = other.set_timer(10);
    const uint32_t c = form.set_timer(10);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, a + 2);
    for (uint32_t id : {a, b, c, 0u}) form.kill_timer(id);

    Probe probe(&form, u"tOk", &journal);
    probe.kill_timer();  // none running: nothing happens
    probe.set_timer(0.02);
    const uint32_t replaced = probe.get_timer_id();
    probe.set_timer(0.02);
    EXPECT_NE(probe.get_timer_id(), replaced);
    const std::string tick = "tOk timer " + std::to_string(probe.get_timer_id());
    std::vector<std::function<void()>> waits(30, [] {});
    run_modal(form, waits);
    probe.kill_timer();
    EXPECT_EQ(probe.get_timer_id(), 0u);
    const Journal ticks = only(journal, "tOk timer");
    ASSERT_FALSE(ticks.empty());
    EXPECT_TRUE(std::all_of(ticks.begin(), ticks.end(), [&](const std::string& t) { return t == tick; }));
}

TEST_F(FormTest, HandedOverCommandLinesArriveNewestFirst) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    for (std::u16string line : {u"first", u"second"}) {
        COPYDATASTRUCT data;
        data.cbData = DWORD(line.size() * 2);
        data.lpData = line.data();
        SendMessageW(form.get_hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    journal.clear();
    pump();
    EXPECT_EQ(only(journal, "Top bring"), (Journal{"Top bring_to_front second", "Top bring_to_front first"}));
}

TEST_F(FormTest, LanguageChangeRetitlesAndReloadsTheOpenForms) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe probe(&form, u"tWide", &journal);
    fixtures::write_file(root.host("one.lng"), "Top_caption=Top form\n");
    fixtures::write_file(root.host("two.lng"), "skin_ProgramName=Program\n");
    form.set_rect({0, 0}, {300, 100});
    ASSERT_TRUE(skin().load_strings(u"\\one.lng"));
    char16_t caption[64] = {};
    GetWindowTextW(form.get_hwnd(), caption, 64);
    EXPECT_EQ(std::u16string(caption), u"Top form");
    EXPECT_EQ(probe.get_size(), Point(460, 20));  // laid out again for the work area's width
    ASSERT_TRUE(skin().load_strings(u"\\two.lng"));
    GetWindowTextW(form.get_hwnd(), caption, 64);
    EXPECT_EQ(std::u16string(caption), u"Program");
}

TEST_F(FormTest, FailedPictureClosesEveryModalFormAndTellsTheTopOne) {
    JournalForm top(nullptr, &skin(), u"Top", &journal);
    std::unique_ptr<JournalForm> nest;
    bool box_seen = false;
    run_modal(top, {
        [&] {
            nest = std::make_unique<JournalForm>(&top, &skin(), u"Nest1", &journal);
            nest->do_modal();
            journal.push_back("nest ended");
        },
        [&] { nest->on_picture_failed_to_load(skinner::Picture(u"\\nowhere\\gone", false, 1)); },
        [&] {
            // The top form's box is up, over it.
            box_seen = GetForegroundWindow() != top.get_hwnd() && !IsWindowEnabled(top.get_hwnd());
            h::key_press(VK_RETURN);
        },
    });
    EXPECT_TRUE(box_seen);
    EXPECT_EQ(only(journal, "Nest1 can"), Journal{"Nest1 can_close"});
    EXPECT_TRUE(contains(journal, "nest ended"));
    EXPECT_TRUE(contains(journal, "Top can_close"));
}

TEST_F(FormTest, MenuRegistrationMismatchesAreFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            JournalForm form(nullptr, &skin(), u"Top", &journal);
            Probe a(&form, u"tOk", nullptr);
            form.register_menu_main(&a);
            form.register_menu_main(&a);
        },
        ::testing::ExitedWithCode(skinner::gluck_exit_code), "");
    EXPECT_EXIT(
        {
            JournalForm form(nullptr, &skin(), u"Top", &journal);
            Probe a(&form, u"tOk", nullptr);
            Probe b(&form, u"tOther", nullptr);
            form.register_menu_main(&a);
            form.unregister_menu_main(&b);
        },
        ::testing::ExitedWithCode(skinner::gluck_exit_code), "");
}

}  // namespace
}  // namespace forms_test
