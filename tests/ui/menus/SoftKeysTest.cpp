// The contents of the two soft keys, composed from a form's soft buttons.
#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/controls/ControlButton.h"
#include "ui/menus/ControlButtonImpl.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/menus/SoftKeys.h"

using namespace menus_test;
using skinner::ControlMenuButtonImpl;
using skinner::ControlMenuItemImpl;

namespace {

struct Soft {
    bool opens_menu;
    const char16_t* name;
    const char16_t* text;
    int order;
    const char16_t* placement;
};

struct Case {
    const char* name;
    std::vector<Soft> buttons;
    std::map<std::u16string, std::vector<MenuItem>> menus;
    const char* language;  // the language file's text, or null for none
    std::string left;
    std::string right;
};

std::vector<MenuItem> entries(std::initializer_list<const char16_t*> commands) {
    std::vector<MenuItem> out;
    for (const char16_t* c : commands) out.emplace_back(c, c);
    return out;
}

class SoftKeys : public MenusTest {
protected:
    std::pair<std::string, std::string> compose(Form* form) {
        MenuItem left(u"#FakeId#", u"");
        MenuItem right(u"#FakeId#", u"");
        skinner::compose_left_soft_key(form, left);
        skinner::compose_right_soft_key(form, right);
        return {render(left), render(right)};
    }
};

}  // namespace

TEST_F(SoftKeys, ComposeLeftAndRightKeysFromTheSoftButtons) {
    const Case cases[] = {
        {"nothing registered", {}, {}, nullptr, "=#FakeId#", "=#FakeId#"},
        {"one OK item is the key itself",
         {{false, u"Select", u"Select", 0, u"#smartphone_ok#"}}, {}, nullptr, "Select=Select", "=#FakeId#"},
        {"two OK items without a language string",
         {{false, u"A", u"A", 0, u"#smartphone_ok#"}, {false, u"B", u"B", 0, u"#smartphone_ok#"}}, {}, nullptr,
         "Action=#FakeId#[A=A,B=B]", "=#FakeId#"},
        {"two OK items with the language string",
         {{false, u"A", u"A", 0, u"#smartphone_ok#"}, {false, u"B", u"B", 0, u"#smartphone_ok#"}}, {},
         "menuSoftButtonOk=Do\nmenuSoftButtonMenu=More\n", "Do=#FakeId#[A=A,B=B]", "=#FakeId#"},
        {"ordinary entries first, then the menu button's entries under its text",
         {{true, u"Menu", u"Options", 0, u"#smartphone_menu#"}, {false, u"Extra", u"Extra", 0, u""}},
         {{u"Menu", entries({u"a", u"b", u"c"})}}, nullptr, "=#FakeId#", "Options=#FakeId#[Extra=Extra,a=a,b=b,c=c]"},
        {"two ordinary entries get the menu text",
         {{false, u"X", u"X", 0, u""}, {false, u"Y", u"Y", 0, u""}}, {}, "menuSoftButtonMenu=More\n", "=#FakeId#",
         "More=#FakeId#[X=X,Y=Y]"},
        {"an ordinary menu button is one submenu entry",
         {{true, u"Sub", u"Sub", 0, u""}, {false, u"X", u"X", 0, u""}}, {{u"Sub", entries({u"s1", u"s2"})}}, nullptr,
         "=#FakeId#", "Menu=#FakeId#[Sub=Sub[s1=s1,s2=s2],X=X]"},
        {"tab entries between separators after all others",
         {{false, u"T", u"Tab", 0, u"#smartphone_tab#"}, {false, u"X", u"X", 0, u""},
          {true, u"Menu", u"Menu", 0, u"#smartphone_menu#"}},
         {{u"Menu", entries({u"a", u"b"})}}, nullptr, "=#FakeId#", "Menu=#FakeId#[X=X,a=a,b=b|,Tab=T|]"},
        {"a lower order comes first whatever the registration order",
         {{false, u"Late", u"Late", 3, u""}, {false, u"Early", u"Early", 1, u""}}, {}, nullptr, "=#FakeId#",
         "Menu=#FakeId#[Early=Early,Late=Late]"},
        {"a menu button whose menu stays empty adds nothing",
         {{true, u"Menu", u"Menu", 0, u"#smartphone_ok#"}}, {}, nullptr, "Menu=#FakeId#", "=#FakeId#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<LanguageFile> language;
        if (c.language) {
            fixtures::write_file(root.host("case.lng"), c.language);
            ASSERT_TRUE(skin().load_strings(u"\\case.lng"));
        }
        auto form = make_form(u"FormPlain");
        form->menus = c.menus;
        std::vector<std::unique_ptr<ControlMenuItemImpl>> made;
        for (const Soft& s : c.buttons) {
            if (s.opens_menu) {
                made.push_back(std::make_unique<ControlMenuButtonImpl>(form.get(), s.name, s.text, s.order, s.placement));
            } else {
                made.push_back(std::make_unique<ControlMenuItemImpl>(form.get(), s.name, s.text, s.order, s.placement));
            }
        }
        const auto [left, right] = compose(form.get());
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(right, c.right);
        made.clear();
        form.reset();
        if (c.language) {
            fixtures::write_file(root.host("case.lng"), "");
            skin().load_strings(u"\\case.lng");
        }
    }
}

TEST_F(SoftKeys, EntriesTakeTheirTargetsAndAMenuButtonGivesItsOwnToItsEntries) {
    auto form = make_form(u"FormPlain");
    ControlMenuButtonImpl menu(form.get(), u"Menu", u"Menu", 0, u"#smartphone_menu#");
    ControlMenuItemImpl extra(form.get(), u"Extra", u"Extra", 0, u"");
    form->menus[u"Menu"] = entries({u"a", u"b"});
    MenuItem right(u"#FakeId#", u"");
    skinner::compose_right_soft_key(form.get(), right);
    ASSERT_EQ(right.children.size(), 3);
    EXPECT_EQ(right.children[0].target, &extra);
    EXPECT_EQ(right.children[1].target, &menu);
    EXPECT_EQ(right.children[2].target, &menu);
    // The key's drop-down itself sends nothing.
    EXPECT_EQ(right.target, nullptr);
    EXPECT_EQ(take_journal(), (Journal{"menu Menu"}));
}

TEST_F(SoftKeys, HiddenButtonsLeaveTheKeysAndComeBackInOrder) {
    auto form = make_form(u"FormPlain");
    ControlMenuItemImpl a(form.get(), u"A", u"A", 1, u"");
    ControlMenuItemImpl b(form.get(), u"B", u"B", 2, u"");
    ControlMenuItemImpl c(form.get(), u"C", u"C", 3, u"");
    b.set_visible(false);
    b.set_visible(false);
    EXPECT_EQ(compose(form.get()).second, "Menu=#FakeId#[A=A,C=C]");
    b.set_visible(true);
    b.set_visible(true);
    EXPECT_EQ(compose(form.get()).second, "Menu=#FakeId#[A=A,B=B,C=C]");
    EXPECT_EQ(form->get_soft_buttons().size(), 3u);
}

TEST_F(SoftKeys, RecordsCarryTheItemsStateAndTranslatedText) {
    fixtures::write_file(root.host("texts.lng"), "Save=Sichern\n");
    ASSERT_TRUE(skin().load_strings(u"\\texts.lng"));
    auto form = make_form(u"FormPlain");
    ControlMenuItemImpl save(form.get(), u"Save", u":)", 0, u"#smartphone_ok#");
    ControlMenuItemImpl loop(form.get(), u"Loop", u":)", 0, u"#smartphone_ok#");
    ControlMenuItemImpl blank(form.get(), u"Blank", u"", 0, u"#smartphone_ok#");
    loop.set_checked(true);
    loop.set_separator_after(true);
    loop.set_image_id(3);
    save.set_enabled(false);
    MenuItem record(u"", u"");
    loop.fill_menu_item(record);
    EXPECT_EQ(record.wince_bug_resource_id, 3);
    EXPECT_EQ(record.target, &loop);
    MenuItem left(u"#FakeId#", u"");
    skinner::compose_left_soft_key(form.get(), left);
    // A text given in code is the default of the language string named like the control.
    EXPECT_EQ(render(left), "Action=#FakeId#[Sichern=Save-,:)=Loop*|,=Blank]");
}

TEST_F(SoftKeys, MenuControlsComeBeforeTheSoftKeysOfSkinButtons) {
    const Device device(smartphone.kind, smartphone.os_major);
    auto form = make_form(u"FormRoles");
    std::vector<std::unique_ptr<skinner::ControlButton>> buttons;
    for (const char16_t* name : {u"btnNothing", u"btnClose", u"btnOk", u"btnCancel", u"btnYes", u"btnNoMenu"}) {
        buttons.push_back(std::make_unique<skinner::ControlButton>(form.get(), name, Control::KIND_SKIN));
    }
    ControlMenuItemImpl late(form.get(), u"Late", u"Late", 5, u"");
    const auto [left, right] = compose(form.get());
    EXPECT_EQ(left, "Action=#FakeId#[OK=btnOk,Yes=btnYes]");
    EXPECT_EQ(right, "Menu=#FakeId#[Late=Late,Nothing=btnNothing,Close=btnClose,Cancel=btnCancel]");
}
