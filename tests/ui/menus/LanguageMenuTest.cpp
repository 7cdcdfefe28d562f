// The Language submenu, and a language chosen from it reaching every open form and its bar.
#include <gtest/gtest.h>

#include <memory>

#include "base/Registry.h"
#include "platform/menu/MenuBar.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/LanguageChoice.h"
#include "ui/menus/LanguageMenu.h"
#include "ui/menus/MenuManagerImplPocket.h"

using namespace menus_test;

namespace {

const std::u16string kTitle = u"ZEPH Vantrel";

class LanguageMenu : public MenusTest {
protected:
    std::string menu_after_build() {
        MenuItem menu(u"Menu", u"Menu");
        menu.children.push_back(MenuItem(u"Help", u"Help"));
        skinner::build_language_menu(skin(), menu);
        return render(menu);
    }
};

}  // namespace

TEST_F(LanguageMenu, ListsTheInstalledLanguagesSortedWithTheCurrentOneChecked) {
    const LanguageFile german("german.lng", "Language=Sprache\n");
    EXPECT_EQ(menu_after_build(), "Menu=Menu[Help=Help]");  // one language: no submenu
    const LanguageFile english("english.lng", "Language=Language\n");
    const LanguageFile french("French.lng", "Language=Langue\n");
    ASSERT_TRUE(skin().load_strings(u"%app_path%/english.lng"));
    EXPECT_EQ(menu_after_build(),
              "Menu=Menu[Help=Help,Language=Language[French=Language#French,english=Language#english*,german=Language#german]]");
    // The comparison is made on upper-cased titles; the entries keep their own case.
    ASSERT_TRUE(skin().load_strings(u"%app_path%/FRENCH.lng"));
    EXPECT_EQ(menu_after_build(),
              "Menu=Menu[Help=Help,Langue=Language[French=Language#French*,english=Language#english,german=Language#german]]");
}

TEST_F(LanguageMenu, AChosenLanguageIsKeptAndReachesEveryOpenFormAndItsBar) {
    const Device on(pocket_with_soft_keys.kind, pocket_with_soft_keys.os_major);
    const LanguageFile english("english.lng", "Select=Select\nCancel=Cancel\n");
    const LanguageFile german("german.lng", "Select=Auswahl\nCancel=Abbrechen\n");
    ASSERT_TRUE(skin().load_strings(u"%app_path%/english.lng"));
    auto main = make_form(u"FormPlain");
    skinner::ControlMenuMainImpl main_menu(main.get(), u"MenuMain", Control::KIND_CODE);
    skinner::ControlMenuItemImpl select(main.get(), u"Select", u":)", 0, u"#smartphone_ok#");
    auto dialog = make_form(u"FormPlain", main.get());
    skinner::ControlMenuItemImpl cancel(dialog.get(), u"Cancel", u":)", 0, u"#smartphone_ok#");
    pump();
    EXPECT_EQ(select.get_text(), u"Select");

    EXPECT_TRUE(skinner::on_language_command(skin(), kTitle, u"Language#german"));
    EXPECT_EQ(select.get_text(), u"Auswahl");
    EXPECT_EQ(cancel.get_text(), u"Abbrechen");
    std::u16string kept;
    ASSERT_TRUE(skinner::registry_read_string(u"HKEY_CURRENT_USER\\Software\\ZEPH\\" + kTitle, u"Language", kept));
    EXPECT_EQ(kept, u"german");
    // The main form's bar shows the new text once the window has handled a message.
    SendMessageW(main->get_hwnd(), WM_NULL, 0, 0);
    HWND bar = static_cast<skinner::MenuManagerImplPocket*>(main->get_window()->get_menu_manager())->get_bar();
    TBBUTTON left;
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&left)));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(left.iString)), u"Auswahl");
    // And the menu marks the new language.
    EXPECT_EQ(menu_after_build(),
              "Menu=Menu[Help=Help,Language=Language[english=Language#english,german=Language#german*]]");
}
