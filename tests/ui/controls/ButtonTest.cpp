// The skinned button: its six looks and their fallbacks, the press paths that fire or do not,
// the hit test through its picture, and the caption's insets and alignment.
#include <gtest/gtest.h>

#include <functional>

#include "tests/ui/controls/support/ControlsSkin.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/controls/ControlPicture.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using controls_test::Canvas;
using controls_test::TestForm;

namespace {

constexpr uint32_t kRed = 0xff0000, kGreen = 0x00ff00, kBlue = 0x0000ff, kYellow = 0xffff00, kMagenta = 0xff00ff,
                   kCyan = 0x00ffff;

Point centre_of(const Control& c) { return c.get_position() + c.get_size() / 2.0; }

// The look's colour, away from the caption.
uint32_t look_colour(ControlButtonBase& button) {
    Canvas canvas;
    canvas.paint(button);
    const Point p = button.get_position() + Point(1, 1);
    return canvas.at(p.x, p.y) & 0xFFFFFF;
}

// A button whose role says it is not drawn (a soft-key button's is not).
class UndrawnButton : public ControlButtonBase {
public:
    UndrawnButton(FormBase* form, const std::u16string& name) : ControlButtonBase(form, name, 0) {
        set_behaviour(std::make_unique<ControlButtonImplPlain>(*this, false, false));
    }
};

}  // namespace

TEST(Button, EachStateDrawsItsLookOrTheLookItFallsBackTo) {
    struct Condition {
        ButtonStyles::State state;
        std::function<void(TestForm&, ControlButton&)> make;
    };
    const Condition conditions[] = {
        {ButtonStyles::Normal, [](TestForm&, ControlButton&) {}},
        {ButtonStyles::NormalFocus, [](TestForm& f, ControlButton& b) { f.show(true), f.set_focus(&b); }},
        {ButtonStyles::Pressed, [](TestForm&, ControlButton& b) { b.set_pressed(true); }},
        {ButtonStyles::Highlighted, [](TestForm& f, ControlButton& b) { f.on_mouse_move(centre_of(b)); }},
        {ButtonStyles::HighlightedFocus,
         [](TestForm& f, ControlButton& b) { f.show(true), f.set_focus(&b), f.on_mouse_move(centre_of(b)); }},
        {ButtonStyles::Disabled, [](TestForm&, ControlButton& b) { b.set_enabled(false); }},
    };
    struct Case {
        const char16_t* name;
        uint32_t colours[ButtonStyles::Count];  // in the order of the conditions
    };
    const Case cases[] = {
        {u"btnStates", {kRed, kGreen, kBlue, kYellow, kMagenta, kCyan}},
        {u"btnOnlyNormal", {kRed, kRed, kRed, kRed, kRed, kRed}},
        {u"btnFocusOnly", {kRed, kGreen, kRed, kRed, kGreen, kRed}},  // HighlightedFocus takes NormalFocus
    };
    for (const Case& c : cases) {
        for (int i = 0; i < ButtonStyles::Count; ++i) {
            TestForm form;
            ControlButton button(&form, c.name, 0);
            conditions[i].make(form, button);
            EXPECT_EQ(button.current_state(), conditions[i].state) << controls_test::narrow(c.name) << " " << i;
            EXPECT_EQ(look_colour(button), c.colours[i]) << controls_test::narrow(c.name) << " " << i;
        }
    }
}

TEST(Button, FiresOnlyWhenTheReleaseEndsThePressOverTheEnabledButton) {
    // btnStates lies at (10, 10), 40 by 20: its centre is (30, 20).
    using Step = std::function<void(TestForm&, ControlButton&)>;
    const Step pen_down = [](TestForm& f, ControlButton&) { f.on_mouse_down({12, 14}, false); };
    const Step pen_up_inside = [](TestForm& f, ControlButton&) { f.on_mouse_up({14, 15}, false); };
    const Step enter_down = [](TestForm& f, ControlButton&) { f.on_keydown(Key::Enter); };
    const Step enter_up = [](TestForm& f, ControlButton&) { f.on_keyup(Key::Enter); };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::string> events;
        bool pressed_after;
    };
    const Case cases[] = {
        {"pen down and up on the button", {pen_down, pen_up_inside},
         {"state btnStates", "state btnStates", "fire btnStates 0 14 15"}, false},
        {"double tap", {[](TestForm& f, ControlButton&) { f.on_mouse_down({12, 14}, true); },
                        [](TestForm& f, ControlButton&) { f.on_mouse_up({13, 14}, true); }},
         {"state btnStates", "state btnStates", "fire btnStates 1 13 14"}, false},
        {"pen moved off and released outside",
         {pen_down, [](TestForm& f, ControlButton&) { f.on_mouse_move({100, 100}); },
          [](TestForm& f, ControlButton&) { f.on_mouse_up({100, 100}, false); }},
         {"state btnStates", "state btnStates"}, false},
        {"pen and Enter together: the pen's release does not fire, Enter's does",
         {pen_down, enter_down, pen_up_inside, enter_up},
         {"state btnStates", "state btnStates", "fire btnStates 0 30 20"}, false},
        {"Enter held while the focus moves away",
         {enter_down, [](TestForm& f, ControlButton&) { f.set_focus(nullptr); }, enter_up},
         {"state btnStates", "state btnStates"}, false},
        {"disabled while the pen holds it",
         {pen_down, [](TestForm&, ControlButton& b) { b.set_enabled(false); }, pen_up_inside},
         {"state btnStates", "state btnStates"}, false},
        {"program press and release", {[](TestForm&, ControlButton& b) { b.set_pressed(true); },
                                       [](TestForm&, ControlButton& b) { b.set_pressed(false); }},
         {"state btnStates", "state btnStates", "fire btnStates 0 30 20"}, false},
        {"program release while the pen still holds it",
         {pen_down, [](TestForm&, ControlButton& b) { b.set_pressed(true); },
          [](TestForm&, ControlButton& b) { b.set_pressed(false); }},
         {"state btnStates"}, true},
        {"its own name as a command clicks it; other commands stop at it",
         {[](TestForm&, ControlButton& b) { b.on_command(u"btnStates"); },
          [](TestForm&, ControlButton& b) { b.on_command(u"btnOther"); }},
         {"fire btnStates 0 30 20"}, false},
        {"a disabled button is not clicked",
         {[](TestForm&, ControlButton& b) { b.set_enabled(false), b.click(), b.on_command(u"btnStates"); }}, {}, false},
        {"other keys are not the button's", {[](TestForm& f, ControlButton&) { f.on_keydown(Key::Space), f.on_keyup(Key::Space); }},
         {}, false},
    };
    for (const Case& c : cases) {
        TestForm form;
        ControlButton button(&form, u"btnStates", 0);
        form.show(true);
        form.set_focus(&button);
        form.take_events();
        for (const Step& step : c.steps) step(form, button);
        EXPECT_EQ(form.take_events(), c.events) << c.what;
        EXPECT_EQ(button.is_pressed(), c.pressed_after) << c.what;
    }
}

TEST(Button, HitTestFollowsTheOpaquePartsOfTheDrawnPicture) {
    TestForm form;
    ControlButton shape(&form, u"btnShape", 0);  // (160, 10), 32 by 16: the left half is opaque
    ControlButton plain(&form, u"btnPlain", 0);  // (10, 40), 40 by 20, no picture at all
    struct Case {
        ControlButton& button;
        Point point;
        bool hit;
    };
    const Case cases[] = {
        {shape, {160, 10}, true}, {shape, {175, 25}, true}, {shape, {176, 10}, false}, {shape, {191, 25}, false},
        {shape, {192, 10}, false}, {shape, {159, 10}, false}, {plain, {10, 40}, true}, {plain, {49, 59}, true},
        {plain, {50, 40}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.button.hit_test(c.point), c.hit) << c.point.x << "," << c.point.y;
    }
}

TEST(Button, ARoleThatIsNotDrawnLeavesTheButtonUnpaintedUnhitAndUnfocusable) {
    TestForm form;
    UndrawnButton button(&form, u"btnStates");
    Canvas canvas;
    canvas.paint(button);
    EXPECT_EQ(canvas.count(0x808080), canvas.width() * canvas.height());
    EXPECT_FALSE(button.hit_test(centre_of(button)));
    EXPECT_FALSE(button.wants_focus());
    form.on_mouse_down(centre_of(button), false);
    EXPECT_EQ(form.get_captured(), nullptr);
}

TEST(Button, CaptionIsDrawnInsideTheInsetsWithTheSkinsAlignment) {
    struct Case {
        const char16_t* name;
        Point inset_min;
        Point inset_max;
        int h_alignment;
        int v_alignment;
    };
    const Case cases[] = {
        {u"btnAligned", {4, 2}, {6, 3}, 2, 0},    // RIGHT, TOP
        {u"btnInset", {4, 2}, {4, 2}, 0, 2},      // BorderMax defaults to BorderMin; LEFT, BOTTOM
        {u"btnLowerCase", {0, 0}, {0, 0}, 1, 1},  // "right" and "bottom" are unknown: CENTER, VCENTER
    };
    for (const Case& c : cases) {
        TestForm form;
        ControlButton button(&form, c.name, 0);
        EXPECT_EQ(button.get_border_min(), c.inset_min);
        EXPECT_EQ(button.get_border_max(), c.inset_max);
        Canvas drawn;
        drawn.paint(button);

        Canvas expected;
        Painter painter(expected.dc(), {0, 0}, {expected.width(), expected.height()});
        const ItemStyle& look = button.get_styles()[ButtonStyles::Normal];
        look.picture.draw(painter, button.get_position(), button.get_size());
        look.font.draw_text(painter, look.color, u"Ab", button.get_position() + c.inset_min,
                            button.get_size() - c.inset_min - c.inset_max, c.h_alignment, c.v_alignment);
        EXPECT_EQ(drawn.differences(expected), 0) << controls_test::narrow(c.name);
        EXPECT_GT(drawn.count(0xffffff), 0) << "the caption is drawn";
    }
}

TEST(Button, ReadsItsActionByExactName) {
    TestForm form;
    ControlButton ok(&form, u"btnOk", 0);
    ControlButton lower(&form, u"btnLowerCase", 0);
    EXPECT_EQ(ok.get_action(), ButtonAction::BUTTON_OK);
    EXPECT_EQ(lower.get_action(), ButtonAction::NOTHING);
    EXPECT_EQ(ok.get_preferred_size(), Point(40, 20));
}

namespace {

// set_text with the skin's own text leaves nothing to repaint; another text repaints the control.
template <class C>
void expect_only_new_text_repaints(const char16_t* name, const std::u16string& skin_text) {
    TestForm form;
    C control(&form, name, 0);
    form.settle();
    ASSERT_EQ(form.invalid_size(), Point(0, 0));
    control.set_text(skin_text);
    EXPECT_EQ(form.invalid_size(), Point(0, 0)) << controls_test::narrow(name);
    control.set_text(u"Other");
    EXPECT_EQ(control.get_text(), u"Other");
    EXPECT_EQ(form.invalid_size(), control.get_size()) << controls_test::narrow(name);
}

}  // namespace

TEST(ButtonAndLabel, OnlyANewTextRepaints) {
    expect_only_new_text_repaints<ControlButton>(u"btnStates", u"Go");
    expect_only_new_text_repaints<ControlLabelImpl>(u"lblCentre", u"Mid");
}

TEST(AutomaticControls, SkinFormsListedButtonsFramesAndPicturesAreBuiltWithoutFocus) {
    TestForm form(u"FormAuto");
    const std::vector<Control*>& made = form.get_auto_controls();
    ASSERT_EQ(made.size(), 3u);
    EXPECT_NE(dynamic_cast<ControlButton*>(made[0]), nullptr);
    EXPECT_NE(dynamic_cast<ControlLabelImpl*>(made[1]), nullptr);
    EXPECT_NE(dynamic_cast<ControlPicture*>(made[2]), nullptr);
    for (Control* c : made) EXPECT_FALSE(c->wants_focus()) << controls_test::narrow(c->get_name());
    EXPECT_EQ(static_cast<ControlLabelImpl*>(made[1])->get_text(), u"Auto");
    // Still pressed and fired like any button.
    form.on_mouse_down({5, 5}, false);
    form.on_mouse_up({5, 5}, false);
    EXPECT_EQ(form.take_events(), (std::vector<std::string>{"state autoButton", "state autoButton", "fire autoButton 0 5 5"}));
}

TEST(ButtonLabelAndPicture, ReloadReadsTheSkinAgain) {
    TestForm form;
    ControlButton button(&form, u"btnStates", 0);
    ControlLabelImpl label(&form, u"lblCentre", 0);
    ControlPicture picture(&form, u"picWide", 0);
    button.set_text(u"Changed");
    label.set_text(u"Changed");
    picture.set_picture(Picture());
    form.reload_properties();
    EXPECT_EQ(button.get_text(), u"Go");
    EXPECT_EQ(label.get_text(), u"Mid");
    EXPECT_EQ(picture.get_picture().get_size(), Point(100, 50));
    ASSERT_NE(button.get_behaviour(), nullptr);
    EXPECT_TRUE(button.get_behaviour()->drawn);
    EXPECT_EQ(look_colour(button), kRed);
}
