// The container embeds a skin form: its background falls back from the template form to its
// own skin control, hits pass through its transparent parts, and input, focus, visibility and
// events travel between the owner form and the embedded one.
#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/lists/support/GridSkin.h"
#include "ui/controls/ControlContainer.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using grid_test::Shade;

namespace {

// A control that takes the focus and records what reaches it.
class Probe : public Control {
public:
    Probe(FormBase* form, const std::u16string& name, int32_t kind, Key handled = Key::A)
        : Control(form, name, kind), handled_key(handled) {}

    bool on_keydown(Key key) override {
        keys.push_back(key);
        return key == handled_key;
    }
    void on_mouse_down(Point point, bool) override { downs.push_back(point); }
    void on_timer(uint32_t id) override { timers.push_back(id); }

    Key handled_key;
    std::vector<Key> keys;
    std::vector<Point> downs;
    std::vector<uint32_t> timers;
};

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.ready()); }

    // The shade the control paints at a point (form coordinates), on a black canvas.
    Shade painted_at(Control& control, Point point) {
        gdi_test::Canvas32 canvas(480, 640);
        Painter painter(canvas.dc(), {0, 0}, {480, 640});
        control.paint(painter, {0, 0}, {480, 640});
        return grid_test::shade_of(canvas.at(point.x, point.y) & 0xFFFFFF);
    }

    grid_test::GridWorld world;
};

}  // namespace

TEST_F(ContainerTest, BackgroundsFallBackFromTheTemplateFormToTheControl) {
    struct Case {
        const char16_t* name;
        Point point;  // over the opaque half of "panel"
        Shade unfocused;
        Shade focused;
    };
    const Case cases[] = {
        // No template: its own "Background" serves for the focus too.
        {u"panelPlain", {5, 5}, Shade::Red, Shade::Red},
        // Only the template has a "Background": both looks are the template's.
        {u"panelTemplate", {55, 5}, Shade::Magenta, Shade::Magenta},
        // The control's own two pictures, under a template that has neither.
        {u"panelFocus", {105, 5}, Shade::Red, Shade::White},
    };
    Form& form = world.form();
    form.show(true);
    for (const Case& c : cases) {
        ControlContainer container(&form, c.name, Control::KIND_SKIN);
        EXPECT_EQ(painted_at(container, c.point), c.unfocused) << grid_test::name_of(painted_at(container, c.point));
        container.set_focus();
        ASSERT_TRUE(container.is_focused());
        EXPECT_EQ(painted_at(container, c.point), c.focused) << grid_test::name_of(painted_at(container, c.point));
    }
}

TEST_F(ContainerTest, WithoutATemplateTheEmbeddedFormIsEmpty) {
    ControlContainer container(&world.form(), u"panelPlain", Control::KIND_SKIN);
    FormBase* embedded = container.get_embedded_form();
    ASSERT_NE(embedded, nullptr);
    // What the embedded form leaves unhandled goes to the container; it shares the owner's skin
    // and root form.
    EXPECT_EQ(embedded->get_parent(), &container);
    EXPECT_EQ(embedded->get_root(), static_cast<Form*>(&world.form()));
    EXPECT_EQ(embedded->get_properties(), world.form().get_properties());
    EXPECT_EQ(embedded->get_kind(), FormBase::KIND_SKIN);
    EXPECT_TRUE(embedded->get_form_name().empty());
    EXPECT_TRUE(embedded->get_controls().empty());
    EXPECT_EQ(embedded->get_position(), Point(0, 0));
    EXPECT_EQ(embedded->get_size(), Point(40, 40));
    // The transparent right half of the picture is left as it was.
    EXPECT_EQ(painted_at(container, {30, 5}), Shade::Black);
}

TEST_F(ContainerTest, TransparentPartsOfTheBackgroundLetThePointerThrough) {
    Form& form = world.form();
    Probe below(&form, u"", Control::KIND_CODE);
    below.set_rect({0, 0}, {200, 50});
    ControlContainer plain(&form, u"panelPlain", Control::KIND_SKIN);
    ControlContainer focus(&form, u"panelFocus", Control::KIND_SKIN);
    Probe inner(focus.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    ASSERT_EQ(inner.get_position(), Point(120, 0));

    struct Case {
        Point point;
        Control* hit;
    };
    const Case cases[] = {
        {{10, 10}, &plain},   // opaque background
        {{30, 10}, &below},   // transparent background, no embedded control
        {{45, 10}, &below},   // outside the container
        {{125, 5}, &focus},   // an embedded control over the transparent half
        {{125, 30}, &below},  // the transparent half below it
    };
    for (const Case& c : cases) {
        form.on_mouse_down(c.point, false);
        EXPECT_EQ(form.get_captured(), c.hit) << c.point.x << "," << c.point.y;
        form.on_mouse_up(c.point, false);
    }
    // The embedded control received the press that reached the container.
    EXPECT_EQ(inner.downs, std::vector<Point>{Point(125, 5)});
}

TEST_F(ContainerTest, KeysGoToTheEmbeddedFormAndUnhandledOnesComeBack) {
    Form& form = world.form();
    form.show(true);
    ControlContainer container(&form, u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN, Key::A);
    container.set_focus();
    ASSERT_TRUE(inner.is_focused());
    EXPECT_TRUE(container.on_keydown(Key::A));
    EXPECT_FALSE(container.on_keydown(Key::B));
    // Down wraps around the one focusable control: unhandled, so the owner form moves on.
    EXPECT_FALSE(container.on_keydown(Key::Down));
    EXPECT_EQ(inner.keys, (std::vector<Key>{Key::A, Key::B, Key::Down}));
    EXPECT_FALSE(form.on_keydown(Key::B));
}

TEST_F(ContainerTest, FocusInsideAnEmbeddedFormFocusesTheContainer) {
    Form& form = world.form();
    form.show(true);
    Probe outside(&form, u"", Control::KIND_CODE);
    ControlContainer container(&form, u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    outside.set_focus();
    ASSERT_EQ(form.get_focused(), &outside);
    inner.set_focus();
    EXPECT_EQ(form.get_focused(), &container);
    EXPECT_TRUE(inner.is_focused());
    outside.set_focus();
    EXPECT_FALSE(inner.is_focused()) << "the embedded form shows no focus while its container has none";
}

TEST_F(ContainerTest, HidingAndDisablingReachTheEmbeddedForm) {
    Form& form = world.form();
    form.show(true);
    ControlContainer container(&form, u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    container.set_focus();
    ASSERT_TRUE(inner.is_focused());

    container.set_visible(false);
    EXPECT_FALSE(container.get_embedded_form()->is_shown());
    EXPECT_FALSE(inner.is_visible());
    container.set_visible(true);
    EXPECT_TRUE(inner.is_visible());

    container.set_focus();
    ASSERT_TRUE(inner.is_focused());
    container.set_enabled(false);
    EXPECT_FALSE(container.get_embedded_form()->is_enabled());
    EXPECT_FALSE(inner.is_enabled());
    EXPECT_FALSE(inner.is_focused());
    EXPECT_NE(form.get_focused(), &container);
}

TEST_F(ContainerTest, EventsOfEmbeddedControlsReachTheOwnerForm) {
    auto& form = world.form();
    ControlContainer container(&form, u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    inner.on_scroll(&inner);
    inner.on_check_changed(&inner);
    ASSERT_EQ(form.events.size(), 2u);
    EXPECT_EQ(form.events[0].name, "scroll");
    EXPECT_EQ(form.events[0].sender, &inner);
    EXPECT_EQ(form.events[1].name, "check_changed");
}

TEST_F(ContainerTest, TimersReachTheEmbeddedControls) {
    ControlContainer container(&world.form(), u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    inner.set_timer(60);
    ASSERT_NE(inner.get_timer_id(), 0u);
    container.dispatch_timer(inner.get_timer_id() + 1000);
    container.dispatch_timer(inner.get_timer_id());
    EXPECT_EQ(inner.timers, std::vector<uint32_t>{inner.get_timer_id()});
}

TEST_F(ContainerTest, MovingTheContainerLaysOutItsEmbeddedControls) {
    ControlContainer container(&world.form(), u"panelFocus", Control::KIND_SKIN);
    Probe inner(container.get_embedded_form(), u"btnInner", Control::KIND_SKIN);
    container.set_rect({200, 300}, {40, 40});
    EXPECT_EQ(inner.get_position(), Point(220, 300));
    // Placed without layout, the embedded form moves but its controls stay.
    container.set_rect_without_layout({0, 0}, {40, 40});
    EXPECT_EQ(container.get_embedded_form()->get_position(), Point(0, 0));
    EXPECT_EQ(inner.get_position(), Point(220, 300));
    container.relayout();
    EXPECT_EQ(inner.get_position(), Point(20, 0));
}

TEST_F(ContainerTest, ReloadKeepsTheEmbeddedFormAndItsBackground) {
    ControlContainer container(&world.form(), u"panelTemplate", Control::KIND_SKIN);
    FormBase* embedded = container.get_embedded_form();
    container.reload_properties();
    EXPECT_EQ(container.get_embedded_form(), embedded);
    EXPECT_EQ(embedded->get_form_name(), u"tplBackground");
    EXPECT_EQ(painted_at(container, {55, 5}), Shade::Magenta);
}

TEST_F(ContainerTest, AnAutomaticPanelIsAContainerThatNeverTakesTheFocus) {
    const std::vector<Control*>& autos = world.form().get_auto_controls();
    ASSERT_EQ(autos.size(), 1u);
    EXPECT_EQ(autos[0]->get_name(), u"panelAuto");
    ASSERT_NE(autos[0]->get_embedded_form(), nullptr);
    EXPECT_EQ(autos[0]->get_embedded_form()->get_form_name(), u"tplBackground");
    EXPECT_FALSE(autos[0]->wants_focus());
    EXPECT_EQ(painted_at(*autos[0], {155, 5}), Shade::Magenta);
}
