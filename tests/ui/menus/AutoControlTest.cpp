// Automatic controls: what a skin form lists by type, built by the form itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/forms/AutoControl.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlPicture.h"

using namespace menus_test;

namespace {

// The skin file with one automatic-control type renamed (the compiler takes only known ones).
void rename_type(const std::string& skin, const std::u16string& from, const std::u16string& to) {
    ASSERT_EQ(from.size(), to.size());
    std::string bytes = fixtures::read_file(skin);
    const std::string wide_from(reinterpret_cast<const char*>(from.data()), from.size() * 2);
    const std::string wide_to(reinterpret_cast<const char*>(to.data()), to.size() * 2);
    const size_t at = bytes.find(wide_from);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, wide_from.size(), wide_to);
    fixtures::write_file(skin, bytes);
}

using AutomaticControls = MenusTest;

}  // namespace

TEST_F(AutomaticControls, AnUnknownAutomaticTypeIsSkippedAndTheOthersAreBuilt) {
    auto form = make_form(u"FormPlain");
    EXPECT_EQ(skinner::create_auto_control(u"Auto.Edit", form.get(), u"autoFrame", 0), nullptr);
    EXPECT_EQ(skinner::create_auto_control(u"auto.frame", form.get(), u"autoFrame", 0), nullptr);
    form.reset();

    rename_type(root.host("skins/menus.skin"), u"Auto.Frame", u"Auto.Table");
    skin().load_skin(u"\\skins\\menus.skin", Point(240, 320), Point(240, 268));
    for (const DeviceCase* device : {&pocket_with_soft_keys, &smartphone}) {
        SCOPED_TRACE(device->name);
        const Device on(device->kind, device->os_major);
        auto automatic = make_form(u"FormAuto");
        const std::vector<Control*>& made = automatic->get_auto_controls();
        ASSERT_EQ(made.size(), 2u);
        EXPECT_NE(dynamic_cast<skinner::ControlButton*>(made[0]), nullptr);
        EXPECT_NE(dynamic_cast<skinner::ControlPicture*>(made[1]), nullptr);
        // Never focused, and so never a soft key on a Smartphone: drawn as the skin says.
        for (Control* c : made) EXPECT_FALSE(c->wants_focus()) << narrow(c->get_name());
        EXPECT_TRUE(automatic->get_soft_buttons().empty());
        auto* button = static_cast<skinner::ControlButton*>(made[0]);
        EXPECT_TRUE(button->get_behaviour()->drawn);
        // A reload builds them again, still without focus.
        automatic->reload_properties();
        ASSERT_EQ(automatic->get_auto_controls().size(), 2u);
        EXPECT_TRUE(std::none_of(automatic->get_auto_controls().begin(), automatic->get_auto_controls().end(),
                                 [](Control* c) { return c->wants_focus(); }));
    }
}
