// The Smartphone's two-key bar: its keys composed from the form's soft buttons, a key's entry run
// at once or its menu opened above the bar, and the Back key.
#include <gtest/gtest.h>

#include <memory>

#include "platform/display/Headless.h"
#include "platform/edit/Edit.h"
#include "platform/menu/MenuBar.h"
#include "platform/menu/MenuTracking.h"
#include "platform/window/Keys.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuManagerSmartphone.h"

using namespace menus_test;
using skinner::ControlMenuButtonImpl;
using skinner::ControlMenuItemImpl;
using skinner::ControlMenuMainImpl;
using skinner::MenuManagerSmartphone;
namespace h = platform::headless;

namespace {

std::string key_text(HWND bar, int index) {
    TBBUTTON b;
    if (!SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b))) return "?";
    std::string text = std::to_string(b.idCommand);
    if (b.iString != 0 && b.iString != -1) text += " " + narrow(reinterpret_cast<const char16_t*>(b.iString));
    return text;
}

// A form with its main menu, placed over the work area as the program's forms are.
struct PhoneForm {
    PhoneForm(MenusTest* test, std::unique_ptr<JournalForm> made) : form(std::move(made)) {
        menu = std::make_unique<ControlMenuMainImpl>(form.get(), u"MenuMain", Control::KIND_CODE);
        Point size;
        skinner::FormImpl::get_usable_area(origin, size, false);
        form->get_window()->move(origin, size);
        (void)test;
        pump();
    }
    ~PhoneForm() {
        items.clear();
        menu.reset();
    }
    MenuManagerSmartphone& manager() { return *static_cast<MenuManagerSmartphone*>(form->get_window()->get_menu_manager()); }
    void add(const char16_t* name, const char16_t* placement, bool opens_menu = false) {
        if (opens_menu) {
            items.push_back(std::make_unique<ControlMenuButtonImpl>(form.get(), name, name, 0, placement));
        } else {
            items.push_back(std::make_unique<ControlMenuItemImpl>(form.get(), name, name, 0, placement));
        }
    }
    void press(int key) {
        PostMessageW(form->get_hwnd(), WM_COMMAND, static_cast<WPARAM>(key), 0);
    }

    std::unique_ptr<JournalForm> form;
    std::unique_ptr<ControlMenuMainImpl> menu;
    std::vector<std::unique_ptr<ControlMenuItemImpl>> items;
    Point origin;
};

class SmartphoneMenuBar : public MenusTest {
protected:
    void SetUp() override {
        device = std::make_unique<Device>(smartphone.kind, smartphone.os_major);
        MenusTest::SetUp();
    }
    void TearDown() override {
        MenusTest::TearDown();
        device.reset();
    }
    std::unique_ptr<PhoneForm> open(Form* parent = nullptr) {
        return std::make_unique<PhoneForm>(this, make_form(u"FormPlain", parent));
    }

    std::unique_ptr<Device> device;
};

}  // namespace

TEST_F(SmartphoneMenuBar, KeysShowTheirComposedTexts) {
    auto phone = open();
    phone->add(u"Select", u"#smartphone_ok#");
    phone->add(u"A", u"");
    phone->add(u"B", u"");
    SendMessageW(phone->form->get_hwnd(), WM_NULL, 0, 0);
    HWND bar = phone->manager().get_bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(key_text(bar, 0), "18201 Select");
    EXPECT_EQ(key_text(bar, 1), "18200 Menu");
}

TEST_F(SmartphoneMenuBar, AKeyWithOneEntryRunsItAndOneWithSeveralOpensItsMenuAboveTheBar) {
    auto phone = open();
    phone->add(u"Select", u"#smartphone_ok#");
    phone->add(u"Menu", u"#smartphone_menu#", true);
    phone->form->menus[u"Menu"] = {MenuItem(u"a", u"Alpha"), MenuItem(u"b", u"Beta")};
    SendMessageW(phone->form->get_hwnd(), WM_NULL, 0, 0);
    take_journal();
    Point origin;
    Point size;
    skinner::FormImpl::get_usable_area(origin, size, true);
    std::vector<RECT> shown;
    run_script({
        [&] { phone->press(MenuManagerSmartphone::left_key_id); },
        [&] { phone->press(MenuManagerSmartphone::right_key_id); },
        [&] { shown = platform::menu::open_menu_items(0); },
        [&] { h::tap(centre(shown[1]).x, centre(shown[1]).y); },
        [&] { phone->press(MenuManagerSmartphone::right_key_id); },
        [&] { h::key_press(VK_ESCAPE); },
    });
    // The Back key that closed the menu comes up to the form.
    EXPECT_EQ(take_journal(), (Journal{"command Select", "menu Menu", "command b", "menu Menu", "keyup Esc"}));
    ASSERT_EQ(shown.size(), 2u);
    // Right-aligned at the work area's right edge (items inside the menu's border), rising from
    // its bottom.
    EXPECT_NEAR(shown[1].right, origin.x + size.x, 2);
    EXPECT_LE(shown[1].bottom, origin.y + size.y + 1);
    EXPECT_GE(shown[1].bottom, origin.y + size.y - 8);
}

TEST_F(SmartphoneMenuBar, TheLeftKeysMenuOpensAtTheLeftEnd) {
    auto phone = open();
    phone->add(u"One", u"#smartphone_ok#");
    phone->add(u"Two", u"#smartphone_ok#");
    std::vector<RECT> shown;
    run_script({
        [&] { phone->press(MenuManagerSmartphone::left_key_id); },
        [&] { shown = platform::menu::open_menu_items(0); },
        [&] { h::key_press(VK_DOWN); },
        [&] { h::key_press(VK_RETURN); },
    });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NEAR(shown[0].left, phone->origin.x, 2);
    EXPECT_EQ(take_journal(), (Journal{"command Two", "keyup Enter"}));
}

TEST_F(SmartphoneMenuBar, BackGoesToAnEditWindowTheFormOrThePreviousProgram) {
    struct Case {
        const char* name;
        bool nested;
        bool edit_focused;
        bool handles_keys;
        Journal keys;
        int go_backs;
    };
    const Case cases[] = {
        {"main form", false, false, false, {"keydown Esc", "keydown Backspace", "keyup Esc", "keyup Backspace"}, 1},
        {"main form that handles the keys", false, false, true,
         {"keydown Esc", "keydown Backspace", "keyup Esc", "keyup Backspace"}, 0},
        {"nested form", true, false, false, {"keydown Esc", "keydown Backspace", "keyup Esc", "keyup Backspace"}, 0},
        {"edit window focused", false, true, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto main = open();
        std::unique_ptr<PhoneForm> nested;
        if (c.nested) nested = open(main->form.get());
        PhoneForm& target = nested ? *nested : *main;
        target.form->handles_keys = c.handles_keys;
        SetForegroundWindow(target.form->get_hwnd());
        HWND edit = nullptr;
        if (c.edit_focused) {
            edit = CreateWindowExW(0, u"Edit", u"abc", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 100, 20, target.form->get_hwnd(),
                                   nullptr, nullptr, nullptr);
            ASSERT_NE(edit, nullptr);
            SendMessageW(edit, EM_SETSEL, 3, 3);
            SetFocus(edit);
        }
        pump();
        take_journal();
        const int go_backs = h::go_back_count();
        h::key_down(VK_ESCAPE);
        pump();
        EXPECT_FALSE(target.manager().wants_to_go_back() && c.go_backs == 0);
        h::key_up(VK_ESCAPE);
        pump();
        EXPECT_EQ(take_journal(), c.keys);
        EXPECT_EQ(h::go_back_count() - go_backs, c.go_backs);
        if (edit) {
            char16_t text[16] = {};
            GetWindowTextW(edit, text, 16);
            EXPECT_EQ(std::u16string(text), u"ab");
            DestroyWindow(edit);
        }
    }
}
