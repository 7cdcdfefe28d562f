// The form window: size changes, the invalid area and the back buffer, pen capture with its
// single release, the OK button, settings changes, the wheel and the work area.
#include "ui/forms/FormImpl.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/Registry.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/window/InputPanel.h"
#include "tests/ui/forms/support/FormTesting.h"
#include "ui/controls/ControlButton.h"

namespace forms_test {
namespace {

namespace h = platform::headless;

constexpr uint32_t backdrop = 0x204060;  // fill.svg
constexpr uint32_t probe_red = 0xC02020;

class FormImplTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = std::make_unique<JournalForm>(nullptr, &skin(), u"Top", &journal);
        ok = std::make_unique<Probe>(form.get(), u"tOk", &journal);
        other = std::make_unique<Probe>(form.get(), u"tOther", &journal);
        wide = std::make_unique<Probe>(form.get(), u"tWide", &journal);
        pump();
        journal.clear();
    }
    void TearDown() override {
        wide.reset();
        other.reset();
        ok.reset();
        form.reset();
        FormsTest::TearDown();
    }
    skinner::FormImpl& window() { return *form->get_window(); }
    Journal pointer_entries() const {
        Journal out;
        for (const std::string& e : journal) {
            if (e.find("down") != std::string::npos || e.find("up") != std::string::npos || e.find("move") != std::string::npos)
                out.push_back(e);
        }
        return out;
    }
    uint32_t pixel(Point client) {
        const POINT p = on_screen(*form, client);
        return h::screen_pixel(p.x, p.y);
    }

    std::unique_ptr<JournalForm> form;
    std::unique_ptr<Probe> ok, other, wide;
};

TEST_F(FormImplTest, SizeMessageLaysTheFormOutUnlessMinimised) {
    SendMessageW(form->get_hwnd(), WM_SIZE, SIZE_RESTORED, (150 << 16) | 300);
    EXPECT_EQ(form->get_size(), Point(300, 150));
    EXPECT_EQ(wide->get_size(), Point(280, 20));
    EXPECT_EQ(window().get_invalid_size(), Point(300, 150));  // all of it repaints
    SendMessageW(form->get_hwnd(), WM_SIZE, SIZE_MINIMIZED, (10 << 16) | 10);
    EXPECT_EQ(form->get_size(), Point(300, 150));
}

TEST_F(FormImplTest, InvalidationsMergeIntoOneRectangleThatAloneRepaints) {
    EXPECT_EQ(window().get_invalid_size(), Point());
    ok->set_rect(ok->get_position(), ok->get_size());  // unchanged: no repaint
    EXPECT_EQ(window().get_invalid_size(), Point());
    window().invalidate({10, 10}, {20, 20});
    window().invalidate({50, 0}, {10, 10});
    EXPECT_EQ(window().get_invalid_origin(), Point(10, 0));
    EXPECT_EQ(window().get_invalid_size(), Point(50, 30));
    pump();
    Journal paints;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(paints),
                 [](const std::string& e) { return e.find("paint") != std::string::npos; });
    EXPECT_EQ(paints, (Journal{"tOk paint (10,0) (50,30)", "tOther paint (10,0) (50,30)"}));
    EXPECT_EQ(window().get_invalid_size(), Point());
}

TEST_F(FormImplTest, BackBufferHoldsThePictureUntilTheNextReset) {
    ASSERT_NE(window().get_back_buffer(), nullptr);
    EXPECT_TRUE(near_colour(pixel({300, 200}), backdrop)) << std::hex << pixel({300, 200});
    EXPECT_TRUE(near_colour(pixel({12, 12}), probe_red)) << std::hex << pixel({12, 12});
    ok->colour = 0x20C020;
    window().reset_paint();
    EXPECT_EQ(window().get_back_buffer(), nullptr);
    pump();
    EXPECT_NE(window().get_back_buffer(), nullptr);
    EXPECT_TRUE(near_colour(pixel({12, 12}), 0x20C020)) << std::hex << pixel({12, 12});
}

TEST_F(FormImplTest, FocusedControlShowsTheFocusPictureWhileTheFormIsActive) {
    form->show(true);
    ASSERT_TRUE(ok->is_focused());
    pump();
    EXPECT_TRUE(near_colour(pixel({12, 12}), 0xFFCC00)) << std::hex << pixel({12, 12});
    form->show(false);
    pump();
    EXPECT_TRUE(near_colour(pixel({12, 12}), probe_red)) << std::hex << pixel({12, 12});
}

TEST_F(FormImplTest, FlickerSwitchPaintsStraightIntoTheWindow) {
    ASSERT_TRUE(skinner::registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Flicker", 1));
    JournalForm direct(nullptr, &skin(), u"Top", &journal);
    Probe probe(&direct, u"tOk", &journal);
    pump();
    EXPECT_TRUE(direct.get_window()->is_flicker());
    EXPECT_EQ(direct.get_window()->get_back_buffer(), nullptr);
    const POINT inside = on_screen(direct, {12, 12});
    const POINT backdrop_point = on_screen(direct, {300, 200});
    EXPECT_TRUE(near_colour(h::screen_pixel(inside.x, inside.y), probe_red));
    EXPECT_TRUE(near_colour(h::screen_pixel(backdrop_point.x, backdrop_point.y), backdrop));
}

TEST_F(FormImplTest, CapturedPenReachesItsControlOutsideAndReleasesOnce) {
    const POINT down = on_screen(*form, {15, 15});
    const POINT away = on_screen(*form, {300, 300});
    h::pen_down(down.x, down.y);
    pump();
    EXPECT_EQ(GetCapture(), form->get_hwnd());
    h::pen_move(away.x, away.y);
    h::pen_up(away.x, away.y);
    pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(pointer_entries(), (Journal{"tOk down0 (15,15)", "tOk move (300,300)", "tOk up0 (300,300)"}));
}

TEST_F(FormImplTest, CaptureTakenAwayReleasesTheHeldButtonOnce) {
    JournalForm elsewhere(nullptr, &skin(), u"Place4", &journal);
    struct Case {
        const char* how;
        std::function<void()> take;
    };
    const Case cases[] = {
        {"SetCapture elsewhere", [&] { SetCapture(elsewhere.get_hwnd()); }},
        {"disabled", [&] { EnableWindow(form->get_hwnd(), FALSE); }},
        {"hidden", [&] { ShowWindow(form->get_hwnd(), SW_HIDE); }},
    };
    int x = 12;
    for (const Case& c : cases) {
        ShowWindow(form->get_hwnd(), SW_SHOW);
        EnableWindow(form->get_hwnd(), TRUE);
        SetForegroundWindow(form->get_hwnd());
        pump();
        journal.clear();
        x += 9;  // far enough from the last press not to make a double tap
        const POINT down = on_screen(*form, {x, 15});
        h::pen_down(down.x, down.y);
        pump();
        c.take();
        h::pen_up(down.x, down.y);
        pump();
        ReleaseCapture();
        // The release comes at once, where no control is: it cannot fire anything.
        EXPECT_EQ(pointer_entries(), (Journal{"tOk down0 (" + std::to_string(x) + ",15)", "tOk up0 (-1,-1)"})) << c.how;
    }
}

TEST_F(FormImplTest, HeldPenOnAGestureControlIsTheContextGestureAlone) {
    ok->set_gestures(true);
    const POINT at = on_screen(*form, {15, 15});
    h::pen_down(at.x, at.y);
    pump();  // the recogniser waits while the pen stays down
    h::pen_up(at.x, at.y);
    pump();
    EXPECT_EQ(pointer_entries(), (Journal{"tOk down2 (15,15)", "tOk up2 (15,15)"}));
    journal.clear();
    const POINT other = on_screen(*form, {30, 15});
    h::tap(other.x, other.y);  // lifted at once: an ordinary press
    pump();
    EXPECT_EQ(pointer_entries(), (Journal{"tOk down0 (30,15)", "tOk up0 (30,15)"}));
}

TEST_F(FormImplTest, DoubleTapReachesTheControlWithItsFlagOnBothHalves) {
    const POINT at = on_screen(*form, {15, 15});
    h::tap(at.x, at.y);
    h::tap(at.x, at.y);
    pump();
    EXPECT_EQ(pointer_entries(),
              (Journal{"tOk down0 (15,15)", "tOk up0 (15,15)", "tOk down0 (15,15) double", "tOk up0 (15,15) double"}));
}

TEST_F(FormImplTest, CaptionOkButtonClicksTheFirstUsableRegisteredButton) {
    skinner::ControlButton first(form.get(), u"bOne", Control::KIND_SKIN);
    skinner::ControlButton second(form.get(), u"bTwo", Control::KIND_SKIN);
    window().register_button_ok(&first);
    window().register_button_ok(&second);
    SetForegroundWindow(form->get_hwnd());
    pump();
    EXPECT_NE(platform::done_button_rect().right, 0);
    first.set_visible(false);
    journal.clear();
    SendMessageW(form->get_hwnd(), WM_COMMAND, IDOK, 0);
    first.set_visible(true);
    SendMessageW(form->get_hwnd(), WM_COMMAND, IDOK, 0);
    Journal clicks;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(clicks),
                 [](const std::string& e) { return e.find("event") != std::string::npos; });
    EXPECT_EQ(clicks, (Journal{"Top event bTwo 0", "Top event bOne 0"}));
    window().unregister_button_ok(&first);
    window().unregister_button_ok(&second);
    pump();
    EXPECT_EQ(platform::done_button_rect().right, 0);
}

TEST_F(FormImplTest, SettingChangesReachTheFormAndPlaceItAgain) {
    form->set_rect({0, 0}, {100, 100});
    SendMessageW(form->get_hwnd(), WM_SETTINGCHANGE, 47, 0);
    SendMessageW(form->get_hwnd(), skinner::WM_SETTINGCHANGE_USER, 0x3002, 0);
    EXPECT_EQ(journal, (Journal{"Top command #ScreenResolution#", "Top command #ScreenResolution#"}));
    EXPECT_EQ(form->get_size(), Point(480, 536));  // apply_position placed it again
    form->set_rect({0, 0}, {100, 100});
    SendMessageW(form->get_hwnd(), WM_SETTINGCHANGE, 0xE0, 0);
    EXPECT_EQ(form->get_size(), Point(480, 536));
    EXPECT_EQ(journal.size(), 2u);
}

TEST_F(FormImplTest, WheelGoesToTheControlUnderThePointer) {
    const POINT at = on_screen(*form, {15, 15});
    SendMessageW(form->get_hwnd(), WM_MOUSEWHEEL, WPARAM(WHEEL_DELTA) << 16, LPARAM((at.y << 16) | at.x));
    SendMessageW(form->get_hwnd(), WM_MOUSEWHEEL, WPARAM(uint16_t(-2 * WHEEL_DELTA)) << 16, LPARAM((at.y << 16) | at.x));
    EXPECT_EQ(journal, (Journal{"tOk wheel (15,15) 1", "tOk wheel (15,15) -2"}));
}

TEST_F(FormImplTest, WorkAreaIsTheScreenLessTheBarsOrTheVisibleDesktop) {
    Point origin, size;
    skinner::FormImpl::get_usable_area(origin, size, true);
    EXPECT_EQ(origin, Point(0, 52));
    EXPECT_EQ(size, Point(480, 536));
    int dpi = 0;
    EXPECT_EQ(skinner::FormImpl::get_screen_size(&dpi), Point(480, 640));
    EXPECT_EQ(dpi, 192);
    window().set_input_panel(true);
    pump();
    skinner::FormImpl::get_usable_area(origin, size, true);
    const RECT panel = platform::input_panel_rect();
    EXPECT_EQ(size, Point(480, panel.top - 52));
    skinner::FormImpl::get_usable_area(origin, size, false);
    EXPECT_EQ(size, Point(480, 536));
    window().set_input_panel(false);
    pump();
}

TEST_F(FormImplTest, BringToFrontRaisesTheFormOpenedOverADisabledOne) {
    JournalForm nest(form.get(), &skin(), u"Nest1", &journal);
    JournalForm place(nullptr, &skin(), u"Place4", &journal);
    SetForegroundWindow(place.get_hwnd());
    EnableWindow(form->get_hwnd(), FALSE);
    form->get_window()->bring_to_front();
    EXPECT_EQ(GetForegroundWindow(), nest.get_hwnd());
    // A hidden dialog is never the one raised.
    SetForegroundWindow(place.get_hwnd());
    ShowWindow(nest.get_hwnd(), SW_HIDE);
    form->get_window()->bring_to_front();
    EXPECT_EQ(GetForegroundWindow(), place.get_hwnd());
    EnableWindow(form->get_hwnd(), TRUE);
    form->get_window()->bring_to_front();
    EXPECT_EQ(GetForegroundWindow(), form->get_hwnd());
}

TEST_F(FormImplTest, CloseHidesTheWindowAndEndsItsLoop) {
    SendMessageW(form->get_hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(form->get_hwnd()));
    EXPECT_TRUE(IsWindow(form->get_hwnd()));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, form->get_hwnd(), skinner::WM_END_MODAL, skinner::WM_END_MODAL, PM_REMOVE));
}

}  // namespace
}  // namespace forms_test
