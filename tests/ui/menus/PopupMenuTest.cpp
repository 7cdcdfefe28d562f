// Popup menus made from menu records: their items, and the choice a popup at a point reports.
#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuTable.h"
#include "platform/menu/MenuTracking.h"
#include "platform/window/Keys.h"
#include "tests/ui/menus/support/MenuTesting.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/PopupMenu.h"

using namespace menus_test;
namespace h = platform::headless;

namespace {

MenuItem edit_menu(Control* target) {
    MenuItem menu(u"Context", u"");
    MenuItem cut(u"menuCut", u"Cut");
    cut.enabled = false;
    cut.shortcut_text = u"Ctrl+X";
    MenuItem wrap(u"menuWrap", u"Wrap");
    wrap.checked = true;
    wrap.separator_after = true;
    MenuItem more(u"More", u"More");
    more.children.push_back(MenuItem(u"menuUpper", u"Upper"));
    more.children.push_back(MenuItem(u"menuLower", u"Lower"));
    more.children.back().separator_after = true;  // the last of its list: no separator
    MenuItem all(u"menuSelectAll", u"Select All");
    all.separator_after = true;
    for (MenuItem* m : {&cut, &wrap, &more, &all}) menu.children.push_back(*m);
    menu.set_target(target);
    return menu;
}

using PopupMenu = MenusTest;

}  // namespace

TEST(PopupMenuFill, ItemsTakeTheRecordsFlagsShortcutsSubmenusAndSeparators) {
    HMENU menu = CreatePopupMenu();
    std::vector<std::u16string> commands(5);
    std::vector<Control*> targets(5, nullptr);
    const MenuItem record = edit_menu(nullptr);
    skinner::fill_popup_menu(menu, record.children, commands, &targets);
    EXPECT_EQ(menu_items(menu), "5 Cut\tCtrl+X ~, 6 Wrap *, |, More[7 Upper, 8 Lower], 9 Select All");
    EXPECT_EQ(commands, (std::vector<std::u16string>{u"", u"", u"", u"", u"", u"menuCut", u"menuWrap", u"menuUpper",
                                                     u"menuLower", u"menuSelectAll"}));
    EXPECT_EQ(targets.size(), commands.size());
    // Without targets only the commands grow.
    std::vector<std::u16string> only_commands;
    HMENU other = CreatePopupMenu();
    skinner::fill_popup_menu(other, record.children, only_commands, nullptr);
    EXPECT_EQ(only_commands.size(), 5u);
    DestroyMenu(menu);
    DestroyMenu(other);
}

TEST_F(PopupMenu, APopupAtAPointReportsTheChosenCommandAndTarget) {
    // Small enough at 96 dots per inch to open every way from the middle of the screen.
    const Device on("pocketpc", "5", nullptr, "96");
    auto form = make_form(u"FormPlain");
    form->get_window()->move({200, 100}, form->get_size());
    pump();
    const MenuItem menu = edit_menu(reinterpret_cast<Control*>(form.get()));
    struct Case {
        const char* name;
        int horizontal;
        int vertical;
        std::function<void(const std::vector<RECT>&)> act;
        std::u16string command;
    };
    const Case cases[] = {
        {"tapped", 0, 0, [](const std::vector<RECT>& r) { h::tap(centre(r[1]).x, centre(r[1]).y); }, u"menuWrap"},
        {"by keys", 1, 1, [](const std::vector<RECT>&) { h::key_press(VK_UP); }, u"menuSelectAll"},
        {"dismissed", 2, 2, [](const std::vector<RECT>&) { h::key_press(VK_ESCAPE); }, u""},
        // A tap on a grayed entry leaves the menu open; the script's Enter then chooses nothing.
        {"a grayed entry", 0, 2,
         [](const std::vector<RECT>& r) { h::tap(centre(r[0]).x, centre(r[0]).y); },
         u""},
    };
    const Point at(40, 220);
    POINT screen{at.x, at.y};
    ClientToScreen(form->get_hwnd(), &screen);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<RECT> shown;
        std::pair<std::u16string, Control*> chosen;
        schedule({[&] { shown = platform::menu::open_menu_items(0); }, [&] { c.act(shown); },
                  [] {
                      if (platform::menu::tracking()) h::key_press(VK_RETURN);
                  },
                  [] {
                      if (platform::menu::tracking()) h::key_press(VK_ESCAPE);
                  }});
        chosen = skinner::track_popup_menu(form.get(), menu, at, c.horizontal, c.vertical);
        finish_script();
        EXPECT_EQ(chosen.first, c.command);
        EXPECT_EQ(chosen.second, c.command.empty() ? nullptr : reinterpret_cast<Control*>(form.get()));
        ASSERT_EQ(shown.size(), 5u);  // the separator too
        // The alignment puts the menu's left, centre or right edge (and top, middle or bottom) at the point.
        const int x[] = {shown[0].left, (shown[0].left + shown[0].right) / 2, shown[0].right};
        EXPECT_NEAR(x[c.horizontal], screen.x, 2);
        const int top = shown[0].top;
        const int bottom = shown.back().bottom;
        const int y[] = {top, (top + bottom) / 2, bottom};
        EXPECT_NEAR(y[c.vertical], screen.y, c.vertical == 1 ? 12 : 4);
    }
}
