// The role each skinned button takes by its Action on each kind of device, and what the roles do.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <typeinfo>

#include "platform/window/Window.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/controls/ControlButton.h"
#include "ui/menus/ControlButtonImpl.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuItem.h"

using namespace menus_test;
using skinner::ControlButton;
using skinner::ControlButtonImpl;

namespace {

template <class Role>
bool is(ControlButtonImpl* role) {
    return dynamic_cast<Role*>(role) != nullptr;
}

bool is_plain(ControlButtonImpl* role) { return typeid(*role) == typeid(skinner::ControlButtonImplPlain); }

struct RoleKind {
    bool (*is)(ControlButtonImpl*);
    const char* name;
};

// Derived roles before their bases.
const RoleKind role_kinds[] = {
    {is<skinner::ControlButtonOKSmartphone>, "OKSmartphone"},
    {is<skinner::ControlButtonCloseSmartphone>, "CloseSmartphone"},
    {is<skinner::ControlButtonSoftKey>, "SoftKey"},
    {is<skinner::ControlButtonCaptionSmartphone>, "CaptionSmartphone"},
    {is<skinner::ControlButtonImplCaptionPocket>, "CaptionPocket"},
    {is<skinner::ControlButtonImplOKPocket>, "OKPocket"},
    {is<skinner::ControlButtonImplClosePocket>, "ClosePocket"},
    {is_plain, "Plain"},
};

// "Class drawn/focusable", then "ok" when the form window's OK clicks it and "listed" with the
// placement when it is one of the form's soft buttons.
std::string describe(Form& form, ControlButton& button) {
    ControlButtonImpl* role = button.get_behaviour();
    if (!role) return "none";
    std::string name;
    for (const RoleKind& kind : role_kinds) {
        if (kind.is(role)) {
            name = kind.name;
            break;
        }
    }
    name += std::string(" ") + (role->drawn ? "d" : "-") + (role->focusable ? "f" : "-");
    const auto& ok = form.get_window()->get_ok_buttons();
    if (std::find(ok.begin(), ok.end(), &button) != ok.end()) name += " ok";
    for (skinner::SoftButton* soft : form.get_soft_buttons()) {
        if (soft == dynamic_cast<skinner::SoftButton*>(role)) name += " listed" + narrow(soft->placement());
    }
    return name;
}

struct Role {
    const char16_t* button;
    const char* pocket_with_soft_keys;
    const char* pocket_without_soft_keys;
    const char* smartphone;
};

const Role roles[] = {
    {u"btnNothing", "Plain df", "Plain df", "SoftKey -- listed"},
    {u"btnCaption", "CaptionPocket --", "CaptionPocket --", "CaptionSmartphone --"},
    {u"btnBorder", "Plain --", "Plain --", "Plain --"},
    {u"btnCorner", "Plain --", "Plain --", "Plain --"},
    {u"btnClose", "ClosePocket df", "ClosePocket df", "CloseSmartphone -- listed"},
    {u"btnMinimize", "Plain df", "Plain df", "Plain --"},
    {u"btnMaximize", "Plain df", "Plain df", "Plain --"},
    {u"btnSysMenu", "none", "none", "none"},
    {u"btnOk", "OKSmartphone -- ok listed#smartphone_ok#", "OKPocket -- ok", "SoftKey -- listed#smartphone_ok#"},
    {u"btnCancel", "SoftKey df listed#smartphone_menu#", "Plain df", "SoftKey -- listed#smartphone_menu#"},
    {u"btnYes", "OKSmartphone df ok listed#smartphone_ok#", "OKPocket df ok", "SoftKey -- listed#smartphone_ok#"},
    {u"btnNoMenu", "Plain df", "Plain df", "Plain df"},
    {u"btnSimpleOk", "OKPocket -- ok", "OKPocket -- ok", "Plain --"},
};

class ButtonRoles : public MenusTest {
protected:
    std::vector<std::unique_ptr<ControlButton>> make_buttons(Form* form) {
        std::vector<std::unique_ptr<ControlButton>> out;
        for (const Role& r : roles) out.push_back(std::make_unique<ControlButton>(form, r.button, Control::KIND_SKIN));
        return out;
    }
};

}  // namespace

TEST_F(ButtonRoles, EachActionTakesItsRoleOnEachDevice) {
    for (const DeviceCase* device : {&pocket_with_soft_keys, &pocket_without_soft_keys, &smartphone}) {
        SCOPED_TRACE(device->name);
        const Device on(device->kind, device->os_major);
        auto form = make_form(u"FormRoles");
        auto buttons = make_buttons(form.get());
        for (size_t i = 0; i < buttons.size(); ++i) {
            const Role& r = roles[i];
            const char* wanted = device == &smartphone           ? r.smartphone
                                 : device == &pocket_with_soft_keys ? r.pocket_with_soft_keys
                                                                    : r.pocket_without_soft_keys;
            EXPECT_EQ(describe(*form, *buttons[i]), wanted) << narrow(r.button);
        }
        // A reload builds every role again without registering anything twice.
        const size_t soft = form->get_soft_buttons().size();
        const size_t ok = form->get_window()->get_ok_buttons().size();
        form->reload_properties();
        EXPECT_EQ(form->get_soft_buttons().size(), soft);
        EXPECT_EQ(form->get_window()->get_ok_buttons().size(), ok);
        buttons.clear();
        EXPECT_TRUE(form->get_soft_buttons().empty());
        EXPECT_TRUE(form->get_window()->get_ok_buttons().empty());
    }
}

TEST_F(ButtonRoles, OnASmartphoneOnlyFocusableSkinButtonsBecomeSoftKeys) {
    const Device on(smartphone.kind, smartphone.os_major);
    auto form = make_form(u"FormRoles");
    ControlButton skin(form.get(), u"btnNothing", Control::KIND_SKIN);
    ControlButton code(form.get(), u"made", Control::KIND_CODE);
    EXPECT_EQ(describe(*form, code), "Plain d-");
    skin.set_want_focus(false);
    EXPECT_EQ(describe(*form, skin), "Plain d-");
    skin.set_want_focus(true);
    EXPECT_EQ(describe(*form, skin), "SoftKey -- listed");
}

TEST_F(ButtonRoles, CaptionsTitleTheFormWindow) {
    for (const DeviceCase* device : {&pocket_with_soft_keys, &smartphone}) {
        SCOPED_TRACE(device->name);
        const Device on(device->kind, device->os_major);
        auto form = make_form(u"FormRoles");
        ControlButton caption(form.get(), u"btnCaption", Control::KIND_SKIN);
        char16_t text[64] = {};
        GetWindowTextW(form->get_hwnd(), text, 64);
        EXPECT_EQ(std::u16string(text), u"Title");
        caption.set_text(u"Renamed");
        GetWindowTextW(form->get_hwnd(), text, 64);
        EXPECT_EQ(std::u16string(text), u"Renamed");
    }
}

TEST_F(ButtonRoles, CloseRolesCloseTheFormWhenFired) {
    for (const DeviceCase* device : {&pocket_without_soft_keys, &smartphone}) {
        SCOPED_TRACE(device->name);
        const Device on(device->kind, device->os_major);
        auto form = make_form(u"FormRoles");
        ControlButton close(form.get(), u"btnClose", Control::KIND_SKIN);
        pump();
        ASSERT_TRUE(IsWindowVisible(form->get_hwnd()));
        // On the Smartphone through its soft-key entry: the entry's command clicks the button.
        MenuItem entry(u"", u"");
        if (auto* soft = dynamic_cast<skinner::SoftButton*>(close.get_behaviour())) {
            soft->fill_menu_item(entry);
            ASSERT_EQ(entry.target, &close);
            entry.target->on_command(entry.command);
        } else {
            close.click();
        }
        pump();
        EXPECT_EQ(take_journal(), (Journal{"event btnClose 0"}));
        EXPECT_FALSE(IsWindowVisible(form->get_hwnd()));
    }
}

TEST_F(ButtonRoles, SoftKeysFollowTheButtonsVisibilityAndEnabledState) {
    const Device on(smartphone.kind, smartphone.os_major);
    auto form = make_form(u"FormRoles");
    ControlButton ok(form.get(), u"btnOk", Control::KIND_SKIN);
    ControlButton nothing(form.get(), u"btnNothing", Control::KIND_SKIN);
    ASSERT_EQ(form->get_soft_buttons().size(), 2u);
    ok.set_visible(false);
    ok.set_visible(false);
    EXPECT_EQ(form->get_soft_buttons().size(), 1u);
    ok.set_visible(true);
    ok.set_visible(true);
    ASSERT_EQ(form->get_soft_buttons().size(), 2u);
    // Skin buttons keep their z-order among themselves, after every menu control.
    EXPECT_EQ(form->get_soft_buttons()[0]->order(), 1000000);
    nothing.set_enabled(false);
    nothing.set_text(u"Later");
    MenuItem entry(u"", u"");
    dynamic_cast<skinner::SoftButton*>(nothing.get_behaviour())->fill_menu_item(entry);
    EXPECT_EQ(render(entry), "Later=btnNothing-");
    // The drawn flag is off: the pen passes through the button.
    EXPECT_FALSE(nothing.hit_test(nothing.get_position() + Point(1, 1)));
}
