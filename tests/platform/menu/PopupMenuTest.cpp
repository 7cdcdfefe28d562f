#include <gtest/gtest.h>

#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Core.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuLook.h"
#include "platform/menu/MenuTable.h"
#include "platform/menu/MenuTracking.h"
#include "platform/window/Keys.h"
#include "platform/window/SystemInfo.h"
#include "support/MenuFixture.h"

namespace {

namespace h = platform::headless;
using fixtures::MenuTest;
using platform::menu::items_of;
using platform::menu::open_menu_items;

uint32_t xrgb(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Alpha (1), a separator, Beta (2, greyed), Gamma (3, checked, with a shortcut), and Sub with
// Delta (4) and Epsilon (5). The enabled items are Alpha, Gamma and Sub.
HMENU sample() {
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 4, u"Delta");
    AppendMenuW(sub, MF_STRING, 5, u"Epsilon");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"Alpha");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_GRAYED, 2, u"Beta");
    AppendMenuW(menu, MF_CHECKED, 3, u"Gamma\tCtrl+G");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"&Sub");
    return menu;
}

// Item positions in the sample's top level.
constexpr int alpha = 0;
constexpr int beta = 2;
constexpr int gamma_item = 3;
constexpr int sub_item = 4;

TEST(PopupMenu, KeepsItsItemsAndRefusesWhatItCannotShow) {
    HMENU menu = sample();
    auto items = items_of(menu);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 5u);
    EXPECT_EQ((*items)[0].text, u"Alpha");
    EXPECT_EQ((*items)[0].id, 1u);
    EXPECT_TRUE((*items)[1].separator());
    EXPECT_FALSE((*items)[2].enabled());
    EXPECT_TRUE((*items)[3].checked());
    EXPECT_EQ((*items)[3].text, u"Gamma\tCtrl+G");
    HMENU sub = (*items)[4].submenu;
    ASSERT_TRUE(platform::menu::is_menu(sub));

    struct Case {
        UINT flags;
        const char* what;
    };
    const Case refused[] = {
        {0x0004, "bitmap items"},
        {0x0100, "owner-drawn items"},
        {0x0020, "bar breaks"},
        {0x0040, "column breaks"},
        {MF_POPUP | MF_SEPARATOR, "a separator that is a submenu"},
    };
    HMENU other = CreatePopupMenu();
    for (const Case& c : refused) {
        EXPECT_FALSE(AppendMenuW(menu, c.flags, reinterpret_cast<uintptr_t>(other), u"x")) << c.what;
    }
    EXPECT_FALSE(AppendMenuW(nullptr, 0, 1, u"x"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    // A submenu has one parent, and no menu holds itself.
    EXPECT_FALSE(AppendMenuW(other, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"again"));
    EXPECT_FALSE(AppendMenuW(other, MF_POPUP, reinterpret_cast<uintptr_t>(other), u"itself"));
    EXPECT_FALSE(AppendMenuW(sub, MF_POPUP, reinterpret_cast<uintptr_t>(menu), u"its parent"));
    EXPECT_EQ(items_of(menu)->size(), 5u);
    DestroyMenu(other);
    DestroyMenu(menu);
}

TEST(PopupMenu, DeletingEveryEntryByPositionDestroysTheSubmenus) {
    HMENU menu = sample();
    HMENU sub = (*items_of(menu))[sub_item].submenu;
    int deleted = 0;
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
        ++deleted;
    }
    EXPECT_EQ(deleted, 5);
    EXPECT_TRUE(items_of(menu)->empty());
    EXPECT_FALSE(platform::menu::is_menu(sub));
    DestroyMenu(menu);
}

TEST(PopupMenu, DeletesByCommandInSubmenusToo) {
    HMENU menu = sample();
    HMENU sub = (*items_of(menu))[sub_item].submenu;
    EXPECT_TRUE(DeleteMenu(menu, 5, MF_BYCOMMAND));
    ASSERT_EQ(items_of(sub)->size(), 1u);
    EXPECT_EQ((*items_of(sub))[0].id, 4u);
    EXPECT_FALSE(DeleteMenu(menu, 99, MF_BYCOMMAND));
    EXPECT_FALSE(DeleteMenu(menu, 9, MF_BYPOSITION));
    EXPECT_FALSE(DeleteMenu(menu, 0, 0x1000));
    EXPECT_EQ(items_of(menu)->size(), 5u);
    DestroyMenu(menu);
}

TEST(PopupMenu, DestroyingASubmenuTakesItOutOfItsParent) {
    HMENU menu = sample();
    HMENU sub = (*items_of(menu))[sub_item].submenu;
    EXPECT_TRUE(DestroyMenu(sub));
    EXPECT_EQ(items_of(menu)->size(), 4u);
    EXPECT_FALSE(DestroyMenu(sub));
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(platform::menu::is_menu(menu));
}

TEST(PopupMenu, PlacesTheMenuByItsAlignmentOnTheScreen) {
    fixtures::Device device("pocketpc", "5", "480x640", "192");  // bars of 52 pixels
    struct Case {
        SIZE size;
        POINT anchor;
        UINT align;
        RECT placed;
    };
    const Case cases[] = {
        {{100, 50}, {200, 300}, TPM_LEFTALIGN | TPM_TOPALIGN, {200, 300, 300, 350}},
        {{100, 50}, {200, 300}, TPM_CENTERALIGN | TPM_VCENTERALIGN, {150, 275, 250, 325}},
        {{100, 50}, {200, 300}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {100, 250, 200, 300}},
        {{100, 50}, {0, 589}, TPM_LEFTALIGN | TPM_BOTTOMALIGN, {0, 539, 100, 589}},      // rising from the bar
        {{100, 50}, {480, 589}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {380, 539, 480, 589}},
        {{100, 50}, {450, 300}, TPM_LEFTALIGN, {380, 300, 480, 350}},                   // kept on the screen
        {{100, 50}, {20, 300}, TPM_RIGHTALIGN, {0, 300, 100, 350}},
        {{100, 50}, {10, 10}, TPM_TOPALIGN, {10, 52, 110, 102}},                        // below the top bar
        {{100, 50}, {10, 630}, TPM_TOPALIGN, {10, 590, 110, 640}},
        {{100, 700}, {10, 100}, TPM_TOPALIGN, {10, 52, 110, 640}},                      // cut to the screen
    };
    for (const Case& c : cases) {
        RECT r = platform::menu::place_menu(c.size, c.anchor, c.align);
        EXPECT_EQ(r.left, c.placed.left) << c.anchor.x << "," << c.anchor.y << " align " << c.align;
        EXPECT_EQ(r.top, c.placed.top) << c.anchor.x << "," << c.anchor.y << " align " << c.align;
        EXPECT_EQ(r.right, c.placed.right) << c.anchor.x << "," << c.anchor.y << " align " << c.align;
        EXPECT_EQ(r.bottom, c.placed.bottom) << c.anchor.x << "," << c.anchor.y << " align " << c.align;
    }
}

class TrackedMenu : public MenuTest {};

TEST_F(TrackedMenu, KeysMoveOverEnabledItemsChooseAndClose) {
    struct Case {
        std::vector<UINT> keys;
        int chosen;
    };
    const Case cases[] = {
        {{VK_RETURN}, 1},                                   // the first item starts lit
        {{VK_DOWN, VK_RETURN}, 3},                          // past the separator and the greyed one
        {{VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}, 4},      // Enter opens the submenu
        {{VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, 5},         // Up wraps to the last
        {{VK_UP, VK_RIGHT, VK_LEFT, VK_UP, VK_RETURN}, 3},  // Left leaves the submenu
        {{VK_UP, VK_RIGHT, VK_ESCAPE, VK_DOWN, VK_RETURN}, 1},
        {{VK_ESCAPE}, 0},
        {{VK_BACK}, 0},
        {{VK_TSOFT1}, 0},
        {{VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}, 0},
    };
    HWND owner = make_owner();
    HMENU menu = sample();
    int n = 0;
    for (const Case& c : cases) {
        for (UINT key : c.keys) {
            h::key_press(key);
        }
        int chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr);
        EXPECT_EQ(chosen, c.chosen) << "case " << n;
        EXPECT_FALSE(platform::menu::tracking());
        ++n;
    }
    pump();
    EXPECT_TRUE(seen(WM_KEYDOWN).empty());  // the open menu took every key
    EXPECT_TRUE(seen(WM_CHAR).empty());
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, WithoutReturnCmdTheChoiceIsPostedToTheWindow) {
    HWND owner = make_owner();
    HMENU menu = sample();
    h::key_press(VK_DOWN);
    h::key_press(VK_RETURN);
    EXPECT_EQ(TrackPopupMenuEx(menu, 0, 40, 100, owner, nullptr), TRUE);
    h::key_press(VK_ESCAPE);
    EXPECT_EQ(TrackPopupMenuEx(menu, 0, 40, 100, owner, nullptr), TRUE);
    pump();
    auto commands = seen(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, owner);
    EXPECT_EQ(commands[0].wParam, 3u);
    EXPECT_EQ(commands[0].lParam, 0);
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, ThePenChoosesAndATapBesideDismisses) {
    HWND owner = make_owner();
    HMENU menu = sample();
    auto tap_item = [](int depth, int index) {
        return [=] {
            POINT p = fixtures::centre(open_menu_items(depth).at(static_cast<size_t>(index)));
            h::tap(p.x, p.y);
        };
    };
    struct Case {
        std::vector<std::function<void()>> steps;
        int chosen;
        const char* what;
    };
    std::vector<Case> cases;
    cases.push_back({{tap_item(0, gamma_item)}, 3, "a tap on an item"});
    cases.push_back({{tap_item(0, beta), [] { h::key_press(VK_ESCAPE); }}, 0, "a greyed item does nothing"});
    cases.push_back({{tap_item(0, 1), [] { h::key_press(VK_ESCAPE); }}, 0, "nor does the separator"});
    cases.push_back({{tap_item(0, sub_item), tap_item(1, 1)}, 5, "a tap opens the submenu"});
    cases.push_back({{[] {
                          POINT a = fixtures::centre(open_menu_items(0).at(alpha));
                          POINT g = fixtures::centre(open_menu_items(0).at(gamma_item));
                          h::pen_down(a.x, a.y);
                          h::pen_move(g.x, g.y);
                          h::pen_up(g.x, g.y);
                      }},
                     3, "a press dragged onto another item"});
    cases.push_back({{[] { h::tap(400, 500); }}, 0, "a tap beside the menu"});
    for (Case& c : cases) {
        script(std::move(c.steps));
        EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr), c.chosen) << c.what;
    }
    pump();
    EXPECT_TRUE(seen(WM_LBUTTONDOWN).empty());  // the menu's taps never reach the window below
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, TheReleaseOfThePressThatOpenedItChoosesNothing) {
    // A tap and hold opens a context menu under the pen; lifting it there must not choose.
    HWND owner = make_owner();
    HMENU menu = sample();
    h::pen_down(120, 200);
    pump();  // the window took the press, as a gesture recogniser does
    script({[] { h::pen_up(120, 200); }, [] { h::key_press(VK_ESCAPE); }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_CENTERALIGN | TPM_VCENTERALIGN, 120, 200, owner, nullptr),
              0);
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, APopupAtTheWorkAreaBottomRisesFromTheBar) {
    HWND owner = make_owner();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT p{0, work.bottom - work.top + 1};
    ClientToScreen(owner, &p);
    EXPECT_EQ(p.y, work.bottom + 1);
    HMENU menu = sample();
    std::vector<RECT> items;
    script({[&] {
        items = open_menu_items(0);
        h::key_press(VK_ESCAPE);
    }});
    TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN, p.x, p.y, owner, nullptr);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_LE(items.front().left, 2);
    EXPECT_GE(items.back().bottom, work.bottom - 1);
    EXPECT_LE(items.back().bottom, work.bottom + 1);
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, DrawsTheLitItemCheckMarksAndGreyedText) {
    using namespace platform::menu;
    HWND owner = make_owner();
    HMENU menu = sample();
    std::vector<uint32_t> screen;
    auto count = [&](RECT r, uint32_t colour) {
        int width = platform::device_profile().screen_width;
        int n = 0;
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                n += screen[static_cast<size_t>(y) * width + x] == colour ? 1 : 0;
            }
        }
        return n;
    };
    auto check_column = [](RECT item) { return RECT{item.left, item.top, item.left + (item.bottom - item.top), item.bottom}; };
    auto text_area = [](RECT item) { return RECT{item.left + (item.bottom - item.top), item.top, item.right, item.bottom}; };
    // The menu has painted by the time the first step runs: painting comes before timers.
    script({[&] {
        h::key_press(VK_ESCAPE);  // queued first, so a failed assertion cannot leave the menu open
        std::vector<RECT> items = open_menu_items(0);
        ASSERT_EQ(items.size(), 5u);
        screen = h::screen_pixels();
        RECT lit = items[alpha];
        EXPECT_EQ(count(RECT{lit.left + 2, lit.top + 2, lit.left + 3, lit.top + 3}, xrgb(look::menu_highlight)), 1);
        EXPECT_GT(count(text_area(lit), xrgb(look::menu_highlight_text)), 0);
        EXPECT_GT(count(check_column(items[gamma_item]), xrgb(look::menu_check)), 0);
        EXPECT_EQ(count(check_column(items[sub_item]), xrgb(look::menu_check)), 0);
        EXPECT_GT(count(text_area(items[gamma_item]), xrgb(look::menu_text)), 0);
        EXPECT_EQ(count(text_area(items[beta]), xrgb(look::menu_text)), 0);
        EXPECT_GT(count(text_area(items[beta]), xrgb(look::menu_disabled_text)), 0);
    }});
    TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr);
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, EndsForAQuitAndForTheModalLoopsEndAndHandsThemOn) {
    HWND owner = make_owner();
    HMENU menu = sample();
    script({[] { PostQuitMessage(7); }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);

    script({[&] { PostMessageW(owner, WM_USER + 33, 5, 6); }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr), 0);
    ASSERT_TRUE(PeekMessageW(&msg, owner, WM_USER + 33, WM_USER + 33, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);

    script({[&] { DestroyWindow(owner); }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 100, owner, nullptr), 0);
    EXPECT_FALSE(platform::menu::tracking());
    DestroyMenu(menu);
}

TEST_F(TrackedMenu, RefusesWhatItCannotTrack) {
    HWND owner = make_owner();
    HMENU menu = sample();
    const UINT refused_flags[] = {0x0002, 0x0040, 0x0080, TPM_CENTERALIGN | TPM_RIGHTALIGN,
                                  TPM_VCENTERALIGN | TPM_BOTTOMALIGN};
    for (UINT flags : refused_flags) {
        EXPECT_FALSE(TrackPopupMenuEx(menu, flags | TPM_RETURNCMD, 10, 100, owner, nullptr)) << flags;
    }
    struct Opaque {
        int bytes[5];
    } params{};
    EXPECT_FALSE(TrackPopupMenuEx(menu, 0, 10, 100, owner, reinterpret_cast<TPMPARAMS*>(&params)));
    EXPECT_FALSE(TrackPopupMenuEx(menu, 0, 10, 100, nullptr, nullptr));
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    EXPECT_FALSE(TrackPopupMenuEx(gone, 0, 10, 100, owner, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    HMENU empty = CreatePopupMenu();
    EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 10, 100, owner, nullptr), 0);  // nothing to show
    BOOL nested = TRUE;
    script({[&] {
        nested = TrackPopupMenuEx(empty, 0, 10, 100, owner, nullptr);
        h::key_press(VK_ESCAPE);
    }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 100, owner, nullptr), 0);
    EXPECT_FALSE(nested);  // one menu at a time
    DestroyMenu(empty);
    DestroyMenu(menu);
}

}  // namespace
