// The form base without a window: anchor layout, focus by tab order, hover and capture.
#include "ui/forms/FormBase.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/window/Input.h"
#include "platform/window/Keys.h"
#include "tests/ui/forms/support/FormTesting.h"
#include "ui/controls/ControlLabel.h"
#include "ui/graphics/Painter.h"

namespace forms_test {
namespace {

using FormBaseTest = FormsTest;

TEST_F(FormBaseTest, LaysControlsOutByTheirAnchors) {
    struct Case {
        const char16_t* form;
        const char16_t* control;
        Point origin, size;  // of the form
        Point position, extent;
    };
    // Reference size 200 x 100 ("Unsized": 0 x 100).
    const Case cases[] = {
        {u"Anchors", u"cMin", {5, 7}, {240, 150}, {15, 27}, {30, 10}},
        {u"Anchors", u"cBoth", {5, 7}, {240, 150}, {15, 27}, {70, 60}},
        {u"Anchors", u"cMax", {5, 7}, {240, 150}, {55, 77}, {30, 10}},
        {u"Anchors", u"cRatio", {5, 7}, {240, 150}, {65, 37}, {120, 15}},
        {u"Anchors", u"cRatio", {0, 0}, {400, 100}, {100, 20}, {200, 10}},
        {u"Anchors", u"cCenter", {5, 7}, {240, 150}, {68, 39}, {30, 10}},
        {u"Anchors", u"cCenter", {0, 0}, {200, 100}, {50, 20}, {30, 10}},
        // Texts that differ from a mode only in case, or name none, leave MIN_SIDE.
        {u"Anchors", u"cLower", {5, 7}, {240, 150}, {15, 77}, {30, 10}},
        {u"Anchors", u"cUnknown", {5, 7}, {240, 150}, {15, 37}, {30, 15}},
        {u"Unsized", u"cRatio", {0, 0}, {300, 200}, {50, 40}, {100, 20}},
        {u"Unsized", u"cCenter", {0, 0}, {300, 200}, {50, 45}, {30, 10}},
    };
    for (const Case& c : cases) {
        FormBase form(nullptr, &skin(), c.form, FormBase::KIND_SKIN, nullptr);
        Probe probe(&form, c.control, nullptr);
        form.set_rect(c.origin, c.size);
        EXPECT_EQ(text(probe.get_position()), text(c.position)) << std::string(c.control, c.control + 5);
        EXPECT_EQ(text(probe.get_size()), text(c.extent)) << std::string(c.control, c.control + 5);
    }
}

TEST_F(FormBaseTest, NewControlIsLaidOutAtOnceAndWidensTheMinimumSize) {
    FormBase form(nullptr, &skin(), u"Anchors", FormBase::KIND_SKIN, nullptr);
    EXPECT_EQ(form.get_size(), Point(200, 100));
    form.set_rect({0, 0}, {240, 100});
    Probe max(&form, u"cMax", nullptr);
    EXPECT_EQ(max.get_position(), Point(50, 20));  // 40 pixels wider: 40 pixels to the right

    // A stretching control needs its preferred size: the skin size here, more for a label whose
    // text needs it.
    Probe both(&form, u"cBoth", nullptr);
    EXPECT_EQ(form.get_minimum_size(), Point(200, 100));
    skinner::ControlLabelImpl wide(&form, u"lWide", Control::KIND_SKIN);
    const Point needed = wide.get_preferred_size();
    ASSERT_GT(needed.x, 30);
    ASSERT_GT(needed.y, 10);
    EXPECT_EQ(form.get_minimum_size(), Point(200 - 30 + needed.x, 100 - 10 + needed.y));

    // A kind 2 control keeps every default until the form lays it out.
    Probe code(&form, u"cMin", nullptr, Control::KIND_CODE);
    EXPECT_EQ(code.get_skin_size(), Point());
    EXPECT_EQ(code.get_anchor_x(), skinner::MIN_SIDE);
    EXPECT_EQ(code.get_z_order(), 0);
    EXPECT_EQ(code.get_position(), Point());
}

class FocusTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = std::make_unique<FormBase>(nullptr, &skin(), u"Focus", FormBase::KIND_SKIN, nullptr);
        for (const char16_t* name : {u"c1", u"c2", u"c3", u"c4"}) {
            probes.push_back(std::make_unique<Probe>(form.get(), name, &journal));
        }
    }
    void TearDown() override {
        probes.clear();
        form.reset();
        FormsTest::TearDown();
    }
    Probe& c(int n) { return *probes[size_t(n - 1)]; }
    std::string focused() { return form->get_focused() ? static_cast<Probe*>(form->get_focused())->label : "none"; }

    std::unique_ptr<FormBase> form;
    std::vector<std::unique_ptr<Probe>> probes;
};

TEST_F(FocusTest, TabMovesByTabOrderAndWrapsUnhandled) {
    form->show(true);
    EXPECT_EQ(focused(), "c2");  // tab order 1 comes first
    EXPECT_EQ(journal, (Journal{"c2 focus"}));
    struct Step {
        Key key;
        bool shift;
        const char* focus;
        bool handled;
    };
    const Step steps[] = {
        {Key::Tab, false, "c1", true}, {Key::Tab, false, "c3", true}, {Key::Down, false, "c4", true},
        {Key::Tab, false, "c2", false},  // wrapped from the last to the first
        {Key::Tab, true, "c4", false},   // and back
        {Key::Up, false, "c3", true},    {Key::Left, false, "c3", false},
    };
    for (const Step& s : steps) {
        platform::set_key_down(VK_SHIFT, s.shift);
        EXPECT_EQ(form->on_keydown(s.key), s.handled) << s.focus;
        EXPECT_EQ(focused(), s.focus);
    }
    platform::set_key_down(VK_SHIFT, false);
    platform::set_key_down(VK_CONTROL, true);
    EXPECT_FALSE(form->on_keydown(Key::Tab));  // Ctrl+Tab is not a focus key
    EXPECT_EQ(focused(), "c3");
}

TEST_F(FocusTest, FocusedControlGetsKeysFirst) {
    form->show(true);
    c(2).handles_keys = true;
    EXPECT_TRUE(form->on_keydown(Key::Tab));
    EXPECT_EQ(focused(), "c2");
    EXPECT_TRUE(form->on_keyup(Key::Tab));
    c(2).handles_keys = false;
    EXPECT_FALSE(form->on_text(u"x"));
    c(2).consumes_text = true;
    EXPECT_TRUE(form->on_text(u"x"));
    form->set_focus(nullptr);
    EXPECT_FALSE(form->on_keyup(Key::A));
    EXPECT_FALSE(form->on_text(u"x"));
}

TEST_F(FocusTest, HiddenOrDisabledFocusMovesOnAndShownControlTakesAnEmptyFocus) {
    form->show(true);
    form->set_focus(&c(1));
    journal.clear();
    c(1).set_visible(false);
    EXPECT_EQ(focused(), "c2");  // the first candidate: c1 is no longer one
    EXPECT_EQ(journal, (Journal{"c1 hidden", "c1 blur", "c2 focus"}));

    form->set_focus(&c(3));
    c(3).set_enabled(false);
    EXPECT_EQ(focused(), "c2");

    form->set_focus(nullptr);
    c(1).set_visible(true);
    EXPECT_EQ(focused(), "c1");

    // Nothing left to take the focus.
    for (int n = 1; n <= 4; ++n) c(n).set_want_focus(false);
    EXPECT_EQ(focused(), "none");
    EXPECT_FALSE(form->move_focus(true));
}

TEST_F(FocusTest, InactiveFormKeepsItsFocusQuietAndShowsItWhenActivated) {
    form->set_focus(&c(3));
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(form->is_focused(&c(3)));
    form->show(true);
    EXPECT_TRUE(form->is_focused(&c(3)));
    form->show(true);
    form->show(false);
    EXPECT_EQ(journal, (Journal{"c3 focus", "c3 blur"}));
    EXPECT_EQ(focused(), "c3");
}

TEST_F(FocusTest, PointerGoesToTheTopmostControlAndStaysWithTheCapture) {
    form->show(true);
    journal.clear();
    // c1 and c4 share a place and a z-order: the later one is hit first.
    form->on_mouse_move({5, 5});
    form->on_mouse_down({5, 5}, false);
    EXPECT_EQ(form->get_captured(), &c(4));
    EXPECT_EQ(focused(), "c4");
    form->on_mouse_down_2({6, 5}, false);
    form->on_mouse_move({300, 300});  // outside: still the captured control's
    form->on_mouse_up({300, 300}, false);
    EXPECT_EQ(form->get_captured(), &c(4));  // button 2 is still down
    form->on_mouse_up_2({301, 300}, true);
    EXPECT_EQ(form->get_captured(), nullptr);
    EXPECT_EQ(journal, (Journal{"c4 enter", "c4 move (5,5)", "c2 blur", "c4 focus", "c4 down0 (5,5)", "c4 down2 (6,5)",
                                "c4 move (300,300)", "c4 up0 (300,300)", "c4 up2 (301,300) double"}));

    // Over empty space nothing changes; over a disabled control the hover goes, nothing is captured.
    journal.clear();
    form->on_mouse_down({150, 80}, false);
    EXPECT_EQ(form->get_hover(), &c(4));
    c(3).set_enabled(false);
    journal.clear();
    form->on_mouse_down({85, 5}, false);
    EXPECT_EQ(form->get_hover(), nullptr);
    EXPECT_EQ(form->get_captured(), nullptr);
    EXPECT_EQ(journal, (Journal{"c4 leave"}));
    form->on_mouse_up({85, 5}, false);
    EXPECT_EQ(journal, (Journal{"c4 leave"}));
}

TEST_F(FocusTest, DisablingTheFormReleasesEveryButtonOfTheCapturedControl) {
    form->on_mouse_down({45, 5}, false);
    form->on_mouse_move({60, 8});
    journal.clear();
    form->set_enabled(false);
    EXPECT_EQ(form->get_captured(), nullptr);
    EXPECT_EQ(journal, (Journal{"c2 leave", "c2 up0 (60,8)", "c2 up1 (60,8)", "c2 up2 (60,8)", "c1 disabled", "c2 disabled",
                                "c4 disabled", "c3 disabled"}));
    form->set_enabled(false);
    EXPECT_EQ(journal.size(), 8u);
}

TEST_F(FocusTest, WheelGoesToTheCaptureElseToTheControlUnderThePointer) {
    c(3).set_enabled(false);
    journal.clear();
    form->on_wheel({85, 5}, 1);  // disabled controls still get the wheel
    form->on_wheel({150, 80}, 1);
    form->on_mouse_down({45, 5}, false);
    form->on_wheel({85, 5}, -2);
    EXPECT_EQ(journal, (Journal{"c3 wheel (85,5) 1", "c2 enter", "c2 down0 (45,5)", "c2 wheel (85,5) -2"}));
}

TEST_F(FocusTest, ControlsLeaveTheFormWithFocusCaptureAndHover) {
    form->show(true);
    form->on_mouse_down({45, 5}, false);
    ASSERT_EQ(form->get_captured(), &c(2));
    probes.erase(probes.begin() + 1);  // c2
    EXPECT_EQ(form->get_captured(), nullptr);
    EXPECT_EQ(form->get_hover(), nullptr);
    EXPECT_EQ(form->get_focused(), nullptr);
    EXPECT_EQ(form->get_controls().size(), 3u);
}

TEST_F(FocusTest, PaintVisitsVisibleControlsOverlappingTheClipInZOrder) {
    c(2).set_visible(false);
    journal.clear();
    HDC dc = CreateCompatibleDC(nullptr);
    {
        skinner::Painter painter(dc, {0, 0}, {200, 100});
        form->paint(painter, {20, 0}, {61, 10});  // c1 and c4 reach 30, c3 starts at 80
    }
    DeleteDC(dc);
    std::erase_if(journal, [](const std::string& s) { return s.find("paint") == std::string::npos; });
    EXPECT_EQ(journal, (Journal{"c1 paint (20,0) (61,10)", "c4 paint (20,0) (61,10)", "c3 paint (20,0) (61,10)"}));
}

TEST_F(FocusTest, ZOrderChangeResortsTheControls) {
    c(3).set_z_order(-1);
    EXPECT_EQ(form->get_controls().front(), &c(3));
    c(1).set_z_order(5);
    EXPECT_EQ(form->get_controls().back(), &c(1));
}

}  // namespace
}  // namespace forms_test
