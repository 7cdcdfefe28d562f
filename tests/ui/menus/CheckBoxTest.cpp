// Check boxes: the state a click flips, its looks and texts, and its role on each device.
#include <gtest/gtest.h>

#include <memory>

#include "platform/display/Headless.h"
#include "platform/window/Window.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/menus/ControlButtonImpl.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/forms/FormImpl.h"

using namespace menus_test;
using skinner::ControlCheckBoxImpl;

namespace {

constexpr uint32_t unchecked_look = 0xc02020;
constexpr uint32_t checked_look = 0x20c020;

// The colour of the box's top-left corner on the screen (the screen keeps 16 bits a pixel).
uint32_t look_of(const Form& form, const ControlCheckBoxImpl& box) {
    pump();
    POINT p{box.get_position().x + 2, box.get_position().y + 2};
    ClientToScreen(form.get_hwnd(), &p);
    const uint32_t pixel = platform::headless::screen_pixel(p.x, p.y);
    for (uint32_t look : {unchecked_look, checked_look}) {
        bool near = true;
        for (int shift : {0, 8, 16}) near = near && std::abs(int((pixel >> shift) & 0xFF) - int((look >> shift) & 0xFF)) <= 8;
        if (near) return look;
    }
    return pixel;
}

class CheckBox : public MenusTest {
protected:
    void SetUp() override {
        MenusTest::SetUp();
        form = make_form(u"FormChecks");
        // Below the top bar, where the screen shows it.
        Point origin;
        Point size;
        skinner::FormImpl::get_usable_area(origin, size, false);
        form->get_window()->move(origin, form->get_size());
    }
    void TearDown() override {
        form.reset();
        MenusTest::TearDown();
    }
    std::unique_ptr<JournalForm> form;
};

}  // namespace

TEST_F(CheckBox, AClickFlipsTheStateBeforeTheFormHearsOfTheClick) {
    ControlCheckBoxImpl box(form.get(), u"chkPlay", Control::KIND_SKIN);
    EXPECT_FALSE(box.is_checked());
    EXPECT_EQ(box.get_text(), u"Play");
    EXPECT_EQ(look_of(*form, box), unchecked_look);
    box.click();
    EXPECT_TRUE(box.is_checked());
    EXPECT_EQ(box.get_text(), u"Stop");
    EXPECT_EQ(look_of(*form, box), checked_look);
    box.click();
    EXPECT_FALSE(box.is_checked());
    EXPECT_EQ(box.get_text(), u"Play");
    EXPECT_EQ(take_journal(), (Journal{"check chkPlay", "event chkPlay 0", "check chkPlay", "event chkPlay 0"}));
}

TEST_F(CheckBox, SettingTheCurrentStateDoesNothing) {
    ControlCheckBoxImpl box(form.get(), u"chkPlay", Control::KIND_SKIN);
    pump();
    ASSERT_EQ(form->get_window()->get_invalid_size(), Point());
    box.set_checked(false);
    EXPECT_EQ(form->get_window()->get_invalid_size(), Point());
    EXPECT_TRUE(take_journal().empty());
    // A change made in code tells the form of the state, but is no click.
    box.set_checked(true);
    EXPECT_EQ(form->get_window()->get_invalid_size(), box.get_size());
    EXPECT_EQ(take_journal(), (Journal{"check chkPlay"}));
}

TEST_F(CheckBox, WithoutACheckedTextTheTextNeverChanges) {
    ControlCheckBoxImpl box(form.get(), u"chkSame", Control::KIND_SKIN);
    EXPECT_EQ(box.get_checked_text(), u"Loop");
    box.click();
    EXPECT_EQ(box.get_text(), u"Loop");
    box.click();
    EXPECT_EQ(box.get_text(), u"Loop");
}

TEST_F(CheckBox, CheckedInTheSkinStartsCheckedWithTheNormalText) {
    ControlCheckBoxImpl box(form.get(), u"chkStarts", Control::KIND_SKIN);
    EXPECT_TRUE(box.is_checked());
    EXPECT_EQ(look_of(*form, box), checked_look);
    EXPECT_EQ(box.get_text(), u"On");
    box.click();
    EXPECT_EQ(box.get_text(), u"On");
    box.click();
    EXPECT_EQ(box.get_text(), u"Off");
}

TEST_F(CheckBox, TextsOfEachStateAndOfBoth) {
    ControlCheckBoxImpl box(form.get(), u"chkPlay", Control::KIND_SKIN);
    box.set_state_text(u"Halt", true);
    EXPECT_EQ(box.get_text(), u"Play");
    box.set_checked(true);
    EXPECT_EQ(box.get_text(), u"Halt");
    box.set_state_text(u"Go", false);
    EXPECT_EQ(box.get_text(), u"Halt");
    box.set_text(u"Both");
    EXPECT_EQ(box.get_normal_text(), u"Both");
    EXPECT_EQ(box.get_checked_text(), u"Both");
    box.set_checked(false);
    EXPECT_EQ(box.get_text(), u"Both");
}

TEST_F(CheckBox, AReloadKeepsTheStateAndItsText) {
    fixtures::write_file(root.host("german.lng"), "Play=Spielen\nStop=Anhalten\n");
    ControlCheckBoxImpl box(form.get(), u"chkPlay", Control::KIND_SKIN);
    box.set_checked(true);
    ASSERT_TRUE(skin().load_strings(u"\\german.lng"));
    EXPECT_TRUE(box.is_checked());
    EXPECT_EQ(box.get_text(), u"Anhalten");
    box.set_checked(false);
    EXPECT_EQ(box.get_text(), u"Spielen");
}

TEST_F(CheckBox, OnASmartphoneAFocusableBoxIsASoftKeyShowingItsState) {
    struct Case {
        const DeviceCase* device;
        const char16_t* name;
        int32_t kind;
        bool soft_key;
        bool drawn;
        bool focusable;
    };
    const Case cases[] = {
        {&smartphone, u"chkPlay", Control::KIND_SKIN, true, false, false},
        {&smartphone, u"chkNoMenu", Control::KIND_SKIN, false, true, true},
        {&smartphone, u"code", Control::KIND_CODE, false, true, false},
        {&pocket_with_soft_keys, u"chkPlay", Control::KIND_SKIN, false, true, true},
        {&pocket_without_soft_keys, u"chkPlay", Control::KIND_SKIN, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.device->name) + " " + narrow(c.name));
        const Device on(c.device->kind, c.device->os_major);
        auto checks = make_form(u"FormChecks");
        ControlCheckBoxImpl box(checks.get(), c.name, c.kind);
        skinner::ControlButtonImpl* role = box.get_behaviour();
        ASSERT_NE(role, nullptr);
        EXPECT_EQ(role->drawn, c.drawn);
        EXPECT_EQ(role->focusable, c.focusable);
        auto* soft = dynamic_cast<skinner::ControlCheckBoxSoftKey*>(role);
        EXPECT_EQ(soft != nullptr, c.soft_key);
        EXPECT_EQ(checks->get_soft_buttons().size(), c.soft_key ? 1u : 0u);
        if (!soft) continue;
        MenuItem entry(u"", u"");
        soft->fill_menu_item(entry);
        EXPECT_EQ(render(entry), "Play=chkPlay");
        // Its entry chosen: the box is clicked, and the entry shows it checked.
        entry.target->on_command(entry.command);
        soft->fill_menu_item(entry);
        EXPECT_EQ(render(entry), "Stop=chkPlay*");
        EXPECT_EQ(take_journal(), (Journal{"check chkPlay", "event chkPlay 0"}));
    }
}
