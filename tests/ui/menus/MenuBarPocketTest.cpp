// The Pocket PC menu bar: its buttons composed from the form's soft buttons in soft-key and in
// tool-bar mode, the drop-downs filled as they open, and the commands delivered.
#include <gtest/gtest.h>

#include <memory>

#include "platform/display/Headless.h"
#include "platform/menu/MenuBar.h"
#include "platform/menu/MenuTable.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuManagerImplPocket.h"

using namespace menus_test;
using skinner::ControlMenuButtonImpl;
using skinner::ControlMenuItemImpl;
using skinner::ControlMenuMainImpl;
using skinner::MenuManagerImplPocket;

namespace {

// The bar's buttons: "id text" with "+image" when it has one, "v" when it drops down, "~" when
// disabled; a separator is "|".
std::string bar_buttons(HWND bar) {
    std::string out;
    const LRESULT count = SendMessageW(bar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON b;
        SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (!out.empty()) out += ", ";
        if (b.fsStyle & TBSTYLE_SEP) {
            out += "|";
            continue;
        }
        out += std::to_string(b.idCommand);
        if (b.iString != 0 && b.iString != -1) out += " " + narrow(reinterpret_cast<const char16_t*>(b.iString));
        if (b.iBitmap != I_IMAGENONE) out += " +" + std::to_string(b.iBitmap);
        if (b.fsStyle & TBSTYLE_DROPDOWN) out += " v";
        if (!(b.fsState & TBSTATE_ENABLED)) out += " ~";
    }
    return out;
}

HMENU button_menu(HWND bar, int index) {
    TBBUTTON b;
    SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    return reinterpret_cast<HMENU>(b.dwData);
}

class PocketMenuBar : public MenusTest {
protected:
    // A form with a main menu on a Pocket PC with soft keys (os 5) or without (os 4), placed in
    // the work area.
    void open(const char* os_major) {
        device = std::make_unique<Device>("pocketpc", os_major);
        form = make_form(u"FormPlain");
        main_menu = std::make_unique<ControlMenuMainImpl>(form.get(), u"MenuMain", Control::KIND_CODE);
    }
    void TearDown() override {
        items.clear();
        main_menu.reset();
        form.reset();
        device.reset();
        MenusTest::TearDown();
    }
    MenuManagerImplPocket& manager() { return *static_cast<MenuManagerImplPocket*>(form->get_window()->get_menu_manager()); }
    HWND bar() { return manager().get_bar(); }
    ControlMenuItemImpl& item(const char16_t* name, const char16_t* text, const char16_t* placement, bool opens_menu = false) {
        if (opens_menu) {
            items.push_back(std::make_unique<ControlMenuButtonImpl>(form.get(), name, text, 0, placement));
        } else {
            items.push_back(std::make_unique<ControlMenuItemImpl>(form.get(), name, text, 0, placement));
        }
        return *items.back();
    }
    // The drop-down of the bar's button as the bar opens it.
    std::string open_drop_down(int index, int id) {
        HMENU menu = button_menu(bar(), index);
        SendMessageW(form->get_hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), id);
        return menu_items(menu);
    }
    // The window composes its bar after each message it handles.
    void settle() {
        SendMessageW(form->get_hwnd(), WM_NULL, 0, 0);
        pump();
    }
    void choose(int id) {
        PostMessageW(form->get_hwnd(), WM_COMMAND, static_cast<WPARAM>(id), 0);
        pump();
    }

    std::unique_ptr<Device> device;
    std::unique_ptr<JournalForm> form;
    std::unique_ptr<ControlMenuMainImpl> main_menu;
    std::vector<std::unique_ptr<ControlMenuItemImpl>> items;
};

}  // namespace

TEST_F(PocketMenuBar, SoftKeyModeHasTwoKeysWhoseMenusAreComposedAsTheyOpen) {
    open("5");
    item(u"Select", u"&Select", u"#smartphone_ok#");
    item(u"Menu", u"Options", u"#smartphone_menu#", true);
    item(u"Extra", u"Extra", u"");
    form->menus[u"Menu"] = {MenuItem(u"a", u"A"), MenuItem(u"b", u"B")};
    pump();
    ASSERT_TRUE(manager().is_soft_key_mode());
    ASSERT_NE(bar(), nullptr);
    EXPECT_EQ(bar_buttons(bar()), "100 Select, 101 Options v");
    EXPECT_EQ(manager().get_fixed_count(), 102u);
    EXPECT_EQ(take_journal(), (Journal{"menu Menu"}));

    EXPECT_EQ(open_drop_down(1, 101), "102 Extra, 103 A, 104 B");
    // Opened again: the entries of the previous opening are gone, the identifiers start over.
    form->menus[u"Menu"] = {MenuItem(u"c", u"C")};
    EXPECT_EQ(open_drop_down(1, 101), "102 Extra, 103 C");
    EXPECT_EQ(manager().get_commands().size(), 104u);
    take_journal();
    choose(103);
    choose(102);
    choose(100);
    EXPECT_EQ(take_journal(), (Journal{"command c", "command Extra", "command Select"}));
    // Identifiers below 100 or past the table reach nobody.
    for (int id : {1, 99, 104, 5000}) choose(id);
    EXPECT_TRUE(take_journal().empty());
}

TEST_F(PocketMenuBar, AnEmptyKeyHasNoTargetAndSendsNothing) {
    open("5");
    pump();
    ASSERT_EQ(bar_buttons(bar()), "100, 101");
    choose(100);
    choose(101);
    EXPECT_TRUE(take_journal().empty());
    // A menu button whose menu stays empty leaves its key empty too: no placeholder command.
    item(u"Menu", u"", u"#smartphone_ok#", true);
    settle();
    EXPECT_EQ(bar_buttons(bar()), "100, 101");
    choose(100);
    EXPECT_EQ(take_journal(), (Journal{"menu Menu"}));
}

TEST_F(PocketMenuBar, ToolBarModeHasAButtonPerSoftButtonWithImagesAndSeparators) {
    open("4");
    ControlMenuItemImpl& open_item = item(u"Open", u"&Open", u"");
    open_item.set_image_id(1);
    open_item.set_separator_after(true);
    ControlMenuItemImpl& save = item(u"Save", u"Save", u"");
    save.set_image_id(99);
    save.set_enabled(false);
    ControlMenuItemImpl& menu = item(u"Menu", u"", u"", true);
    menu.set_image_id(0);
    menu.set_separator_after(true);
    MenuItem help(u"Help", u"Help");
    help.separator_after = true;
    MenuItem exit(u"Exit", u"E&xit");
    exit.separator_after = true;
    exit.shortcut_text = u"Ctrl+Q";
    form->menus[u"Menu"] = {help, exit};
    pump();
    ASSERT_FALSE(manager().is_soft_key_mode());
    const int first = manager().get_first_image();
    ASSERT_GE(first, 0);
    EXPECT_EQ(manager().get_image_count(), 6);
    // No separator after the last button, an image id past the strip shows none.
    EXPECT_EQ(bar_buttons(bar()), "100 Open +" + std::to_string(first + 1) + ", |, 101 Save ~, 102 +" +
                                      std::to_string(first) + " v");
    EXPECT_TRUE(take_journal().empty());

    EXPECT_EQ(open_drop_down(3, 102), "103 Help, |, 104 E&xit\tCtrl+Q");
    EXPECT_EQ(take_journal(), (Journal{"menu Menu"}));
    choose(104);
    EXPECT_EQ(take_journal(), (Journal{"command Exit"}));
}

TEST_F(PocketMenuBar, ADropDownOfAButtonThatIsGoneOpensNothing) {
    open("4");
    item(u"Open", u"Open", u"");
    ControlMenuItemImpl& menu = item(u"Menu", u"Menu", u"", true);
    form->menus[u"Menu"] = {MenuItem(u"a", u"A")};
    pump();
    ASSERT_EQ(bar_buttons(bar()), "100 Open, 101 Menu v");
    HMENU drop_down = button_menu(bar(), 1);
    // The list shrinks while the bar still shows the old buttons.
    items.front()->set_visible(false);
    menu.set_visible(false);
    SendMessageW(form->get_hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(drop_down), 101);
    EXPECT_EQ(menu_items(drop_down), "");
}

TEST_F(PocketMenuBar, RebuildingDestroysTheDropDownsOfTheOldButtons) {
    open("5");
    item(u"Menu", u"Menu", u"#smartphone_menu#", true);
    form->menus[u"Menu"] = {MenuItem(u"a", u"A"), MenuItem(u"b", u"B")};
    pump();
    HMENU old_menu = button_menu(bar(), 1);
    ASSERT_TRUE(platform::menu::is_menu(old_menu));
    form->refresh_menus();
    settle();
    EXPECT_FALSE(platform::menu::is_menu(old_menu));
    EXPECT_TRUE(platform::menu::is_menu(button_menu(bar(), 1)));
}

TEST_F(PocketMenuBar, HidingTheBarAndShowingItComposesItAgain) {
    open("5");
    ControlMenuItemImpl& select = item(u"Select", u"Select", u"#smartphone_ok#");
    pump();
    ASSERT_TRUE(IsWindowVisible(bar()));
    manager().set_visible(form.get(), false);
    EXPECT_FALSE(IsWindowVisible(bar()));
    select.set_visible(false);
    manager().set_visible(form.get(), true);
    EXPECT_TRUE(IsWindowVisible(bar()));
    EXPECT_TRUE(manager().is_invalidated());
    settle();
    EXPECT_EQ(bar_buttons(bar()), "100, 101");
}

TEST_F(PocketMenuBar, TheStripOfSixteenPixelImagesIsTakenBelow192DotsPerInch) {
    struct Case {
        const char* dpi;
        int image_size;
    };
    for (const Case& c : {Case{"131", 16}, Case{"192", 32}}) {
        SCOPED_TRACE(c.dpi);
        auto at = std::make_unique<Device>("pocketpc", "4", nullptr, c.dpi);
        {
            auto dpi_form = make_form(u"FormPlain");
            ControlMenuMainImpl menu(dpi_form.get(), u"MenuMain", Control::KIND_CODE);
            ControlMenuItemImpl save(dpi_form.get(), u"Save", u"", 0, u"");
            save.set_image_id(0);  // three white bars, two pixels from each side at 16 pixels
            pump();
            auto& pocket = *static_cast<MenuManagerImplPocket*>(dpi_form->get_window()->get_menu_manager());
            ASSERT_NE(pocket.get_bar(), nullptr);
            const RECT r = platform::menu::button_rect(pocket.get_bar(), 0);
            const int y = (r.top + r.bottom) / 2 - c.image_size / 4;  // through the middle bar of the image
            int left = r.right;
            int right = r.left;
            for (int x = r.left; x < r.right; ++x) {
                if (platform::headless::screen_pixel(x, y) == 0xffffff) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
            // The bars are rounded at their ends.
            EXPECT_NEAR(right - left + 1, c.image_size * 12 / 16, c.image_size / 8);
        }
        at.reset();
    }
}

TEST_F(PocketMenuBar, ClosingAFormGivesItsBarIdentifierBack) {
    open("5");
    pump();
    const int32_t id = manager().get_tool_bar_id();
    ASSERT_NE(id, -1);
    const size_t free_ids = skinner::soft_key_bar_ids().size();
    main_menu.reset();
    form.reset();
    EXPECT_EQ(skinner::soft_key_bar_ids().size(), free_ids + 1);
    EXPECT_EQ(skinner::soft_key_bar_ids().back(), id);
}

TEST_F(PocketMenuBar, ASixthBarOfOneModeIsAFatalError) {
    const Device on("pocketpc", "5");
    EXPECT_EXIT(
        {
            std::vector<std::unique_ptr<JournalForm>> forms;
            std::vector<std::unique_ptr<ControlMenuMainImpl>> menus;
            for (int i = 0; i < 6; ++i) {
                forms.push_back(make_form(u"FormPlain"));
                menus.push_back(std::make_unique<ControlMenuMainImpl>(forms.back().get(), u"MenuMain", Control::KIND_CODE));
                pump();
                if (i == 4) std::fprintf(stderr, "five bars\n");
            }
        },
        ::testing::ExitedWithCode(skinner::gluck_exit_code), "five bars");
}
