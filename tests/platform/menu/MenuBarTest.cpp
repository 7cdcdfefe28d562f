#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Core.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuBar.h"
#include "platform/menu/MenuLook.h"
#include "platform/menu/MenuTracking.h"
#include "platform/resource/Resources.h"
#include "platform/window/Keys.h"
#include "platform/window/Modules.h"
#include "platform/window/SystemInfo.h"
#include "support/MenuFixture.h"

namespace {

namespace h = platform::headless;
using fixtures::Device;
using fixtures::MenuTest;

constexpr int empty_bar = 9101;

uint32_t xrgb(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// The devices the bar behaves differently on.
struct Kind {
    const char* device;
    const char* os_major;
    bool soft_keys;
};
const Kind kinds[] = {
    {"pocketpc", "5", true},
    {"pocketpc", "4", false},
    {"smartphone", "5", true},
};

class MenuBar : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        platform::register_tool_bar_resource(platform::program_instance(), empty_bar, {});
    }

    HWND make_bar(HWND owner, int id = empty_bar, HINSTANCE module = platform::program_instance()) {
        SHMENUBARINFO info;
        info.cbSize = device_menu_bar_info_size;
        info.hwndParent = owner;
        info.nToolBarId = static_cast<UINT>(id);
        info.hInstRes = module;
        EXPECT_TRUE(SHCreateMenuBar(&info));
        pump();
        return info.hwndMB;
    }

    static void insert(HWND bar, int command, BYTE style, const char16_t* text, BYTE state = TBSTATE_ENABLED,
                       uintptr_t data = 0, int image = I_IMAGENONE) {
        TBBUTTON b;
        b.iBitmap = image;
        b.idCommand = command;
        b.fsState = state;
        b.fsStyle = style;
        b.dwData = data;
        b.iString = text ? reinterpret_cast<intptr_t>(text) : 0;
        ASSERT_TRUE(SendMessageW(bar, TB_INSERTBUTTONW, 999, reinterpret_cast<LPARAM>(&b)));
    }

    // Two buttons, 100 and 101, as the soft-key bar of a form has them.
    HWND two_button_bar(HWND owner) {
        HWND bar = make_bar(owner);
        insert(bar, 100, TBSTYLE_AUTOSIZE, u"Left");
        insert(bar, 101, TBSTYLE_AUTOSIZE, u"Right");
        pump();
        return bar;
    }

    static void tap_button(HWND bar, int index) {
        POINT p = fixtures::centre(platform::menu::button_rect(bar, index));
        h::tap(p.x, p.y);
    }

    static std::vector<WPARAM> commands() {
        std::vector<WPARAM> out;
        for (const fixtures::Seen& s : seen(WM_COMMAND)) {
            out.push_back(s.wParam);
        }
        return out;
    }

    static int keys_seen(UINT message, UINT key) {
        auto all = seen(message);
        return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const fixtures::Seen& s) { return s.wParam == key; }));
    }
};

TEST_F(MenuBar, SitsBelowTheWorkAreaOnEveryScreen) {
    struct Case {
        const char* device;
        const char* screen;
    };
    const Case cases[] = {
        {"pocketpc", "480x640"}, {"pocketpc", "240x320"}, {"pocketpc", "320x240"}, {"pocketpc", "240x240"},
        {"smartphone", "176x220"}, {"smartphone", "240x320"}, {"smartphone", "320x240"}, {"smartphone", "240x240"},
    };
    for (const Case& c : cases) {
        Device device(c.device, "5", c.screen);
        const platform::DeviceProfile& p = platform::device_profile();
        HWND owner = make_owner();
        HMODULE shell = LoadLibraryExW(u"tapres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HWND bar = make_bar(owner, platform::two_key_bar_resource, shell);
        FreeLibrary(shell);
        // Along the bottom edge of the screen, also once the screen has turned.
        auto check_bar = [&](const char* when) {
            const platform::DeviceProfile& p = platform::device_profile();
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            RECT r;
            ASSERT_TRUE(GetWindowRect(bar, &r)) << c.screen << " " << when;
            EXPECT_EQ(r.left, 0) << c.device << " " << c.screen << " " << when;
            EXPECT_EQ(r.top, work.bottom) << c.device << " " << c.screen << " " << when;
            EXPECT_EQ(r.right, p.screen_width) << c.device << " " << c.screen << " " << when;
            EXPECT_EQ(r.bottom, p.screen_height) << c.device << " " << c.screen << " " << when;
            EXPECT_EQ(h::screen_pixel(p.screen_width / 4, r.top + (r.bottom - r.top) / 2),
                      xrgb(platform::menu::look::bar)) << c.device << " " << c.screen << " " << when;
        };
        check_bar("as made");
        RECT placed;
        GetWindowRect(owner, &placed);  // made with the default size
        EXPECT_LE(placed.bottom, p.screen_height - platform::bar_height()) << c.device << " " << c.screen;
        h::turn_screen();
        pump();
        check_bar("turned");
        h::turn_screen();
        pump();
        check_bar("turned back");
        // The shell's two-key bar: the left key 18201, then the right key 18200.
        EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
        TBBUTTON b;
        ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b)));
        EXPECT_EQ(b.idCommand, 18201);
        ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&b)));
        EXPECT_EQ(b.idCommand, 18200);
        DestroyWindow(owner);  // takes its bar along
        EXPECT_FALSE(IsWindow(bar));
    }
}

TEST_F(MenuBar, RefusesRequestsItCannotCarryOut) {
    HWND owner = make_owner();
    struct Case {
        SHMENUBARINFO info;
        const char* what;
    };
    auto with = [&](auto change) {
        SHMENUBARINFO info;
        info.cbSize = device_menu_bar_info_size;
        info.hwndParent = owner;
        info.nToolBarId = empty_bar;
        info.hInstRes = platform::program_instance();
        change(info);
        return info;
    };
    const Case cases[] = {
        {with([](SHMENUBARINFO& i) { i.cbSize = 20; }), "a wrong record size"},
        {with([](SHMENUBARINFO& i) { i.dwFlags = 2; }), "flags"},
        {with([](SHMENUBARINFO& i) { i.nBmpId = 115; i.cBmpImages = 3; }), "a bitmap in the record"},
        {with([](SHMENUBARINFO& i) { i.nToolBarId = 4242; }), "a tool bar the module lacks"},
        {with([](SHMENUBARINFO& i) { i.hInstRes = nullptr; }), "no module"},
        {with([](SHMENUBARINFO& i) { i.hwndParent = nullptr; }), "no owner"},
    };
    for (const Case& c : cases) {
        SHMENUBARINFO info = c.info;
        EXPECT_FALSE(SHCreateMenuBar(&info)) << c.what;
        EXPECT_EQ(info.hwndMB, nullptr) << c.what;
    }
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    SHMENUBARINFO full = with([](SHMENUBARINFO& i) { i.cbSize = sizeof(SHMENUBARINFO); });
    EXPECT_TRUE(SHCreateMenuBar(&full));
}

TEST_F(MenuBar, NeverTakesActivationFromItsOwner) {
    HWND owner = make_owner();
    ASSERT_EQ(GetActiveWindow(), owner);
    forget();
    HWND bar = two_button_bar(owner);
    ShowWindow(bar, SW_SHOW);
    tap_button(bar, 0);
    pump();
    EXPECT_EQ(GetActiveWindow(), owner);
    for (const fixtures::Seen& s : seen(WM_ACTIVATE)) {
        EXPECT_NE(s.wParam, static_cast<WPARAM>(WA_INACTIVE));
    }
    ShowWindow(bar, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(MenuBar, KeepsItsButtonsAsTheToolBarMessagesSay) {
    HWND owner = make_owner();
    HWND bar = make_bar(owner);
    insert(bar, 100, TBSTYLE_AUTOSIZE, u"One");
    insert(bar, 0, TBSTYLE_SEP, nullptr);
    insert(bar, 102, 0x98, u"Three", TBSTATE_ENABLED, 0x1234);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 3);
    TBBUTTON b;
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(b.idCommand, 102);
    EXPECT_EQ(b.dwData, 0x1234u);  // where a drop-down keeps its menu, for its owner to destroy
    EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(b.iString)), u"Three");

    TBBUTTONINFO info;
    info.cbSize = device_button_info_size;
    info.dwMask = TBIF_TEXT | TBIF_STATE | TBIF_COMMAND;
    info.idCommand = 110;
    info.fsState = TBSTATE_INDETERMINATE;
    std::u16string text = u"Renamed and more";
    info.pszText = text.data();
    info.cchText = 7;
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFO, 100, reinterpret_cast<LPARAM>(&info)));
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(b.idCommand, 110);
    EXPECT_EQ(b.fsState, TBSTATE_INDETERMINATE);
    EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(b.iString)), u"Renamed");
    EXPECT_FALSE(SendMessageW(bar, TB_SETBUTTONINFO, 100, reinterpret_cast<LPARAM>(&info)));  // now 110

    struct Refused {
        DWORD mask;
        BYTE style;
        const char* what;
    };
    const Refused refused[] = {
        {0x40, 0, "a size"},
        {0x80000000u | TBIF_TEXT, 0, "an index in place of an identifier"},
        {TBIF_STYLE, TBSTYLE_DROPDOWN, "a split drop-down"},
        {TBIF_STYLE, 0x02, "a check button"},
    };
    for (const Refused& r : refused) {
        TBBUTTONINFO bad;
        bad.cbSize = sizeof bad;
        bad.dwMask = r.mask;
        bad.fsStyle = r.style;
        EXPECT_FALSE(SendMessageW(bar, TB_SETBUTTONINFO, 110, reinterpret_cast<LPARAM>(&bad))) << r.what;
    }
    TBBUTTON pooled;
    pooled.idCommand = 120;
    pooled.iString = 3;  // a string-pool index
    EXPECT_FALSE(SendMessageW(bar, TB_INSERTBUTTONW, 0, reinterpret_cast<LPARAM>(&pooled)));
    EXPECT_FALSE(SendMessageW(bar, TB_DELETEBUTTON, 3, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_DELETEBUTTON, 0, 0));
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(b.idCommand, 102);
    EXPECT_FALSE(SendMessageW(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&b)));
}

TEST_F(MenuBar, TapsAndSoftKeysPressTheButtonsOnEachDevice) {
    for (const Kind& k : kinds) {
        Device device(k.device, k.os_major);
        HWND owner = make_owner();
        HWND bar = two_button_bar(owner);
        forget();
        tap_button(bar, 1);
        tap_button(bar, 0);
        pump();
        EXPECT_EQ(commands(), (std::vector<WPARAM>{101, 100})) << k.device << " " << k.os_major;
        for (const fixtures::Seen& s : seen(WM_COMMAND)) {
            EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(bar));
        }
        forget();
        h::key_press(VK_TSOFT2);
        h::key_down(VK_TSOFT1);
        h::key_repeat(VK_TSOFT1);  // held: still one press
        h::key_up(VK_TSOFT1);
        pump();
        if (k.soft_keys) {
            EXPECT_EQ(commands(), (std::vector<WPARAM>{101, 100})) << k.device;
            EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_TSOFT1) + keys_seen(WM_KEYDOWN, VK_TSOFT2), 0) << k.device;
        } else {
            EXPECT_TRUE(commands().empty()) << k.device << " " << k.os_major;  // no soft keys: F1 is a key
            EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_TSOFT1), 2) << k.device << " " << k.os_major;
        }
        DestroyWindow(owner);
        pump();
    }
}

TEST_F(MenuBar, SoftKeysWithoutABarOrWithMoreButtonsAreKeys) {
    HWND owner = make_owner();
    h::key_press(VK_TSOFT1);
    pump();
    EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_TSOFT1), 1);
    HWND bar = two_button_bar(owner);
    insert(bar, 102, 0, u"Third");
    forget();
    h::key_press(VK_TSOFT1);
    pump();
    EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_TSOFT1), 1);  // three buttons are a tool bar, not soft keys
    EXPECT_TRUE(commands().empty());
}

TEST_F(MenuBar, ButtonsThatCannotBePressedAndADisabledOwnerDoNothing) {
    HWND owner = make_owner();
    HWND bar = make_bar(owner);
    insert(bar, 100, 0, u"Off", 0);
    insert(bar, 101, 0, u"Unknown", TBSTATE_ENABLED | TBSTATE_INDETERMINATE);
    pump();
    forget();
    tap_button(bar, 0);
    tap_button(bar, 1);
    h::key_press(VK_TSOFT1);
    h::key_press(VK_TSOFT2);
    pump();
    EXPECT_TRUE(commands().empty());

    SendMessageW(bar, TB_DELETEBUTTON, 0, 0);
    SendMessageW(bar, TB_DELETEBUTTON, 0, 0);
    insert(bar, 100, 0, u"On");
    EnableWindow(owner, FALSE);  // a nested form runs its own loop
    tap_button(bar, 0);
    pump();
    EXPECT_TRUE(commands().empty());
    EnableWindow(owner, TRUE);
    // A press taken off its button before it lifts does nothing either.
    RECT on = platform::menu::button_rect(bar, 0);
    POINT in = fixtures::centre(on);
    h::pen_down(in.x, in.y);
    h::pen_move(in.x, on.top - 20);
    h::pen_up(in.x, on.top - 20);
    pump();
    EXPECT_TRUE(commands().empty());
    tap_button(bar, 0);
    pump();
    EXPECT_EQ(commands(), (std::vector<WPARAM>{100}));
}

TEST_F(MenuBar, ADropDownAsksItsOwnerToFillItThenPostsTheChoice) {
    for (const Kind& k : kinds) {
        if (std::string(k.device) == "smartphone") {
            continue;  // the two-key bar opens its menus through its owner
        }
        Device device(k.device, k.os_major);
        HWND owner = make_owner();
        HMENU menu = CreatePopupMenu();
        HWND bar = make_bar(owner);
        insert(bar, 100, TBSTYLE_AUTOSIZE, u"Select");
        insert(bar, 101, 0x98, u"Menu", TBSTATE_ENABLED, reinterpret_cast<uintptr_t>(menu));
        pump();
        MenuTest::fill_on_init = [](HMENU m) {
            while (DeleteMenu(m, 0, MF_BYPOSITION)) {
            }
            AppendMenuW(m, 0, 200, u"First");
            AppendMenuW(m, 0, 201, u"Second");
        };
        forget();
        tap_button(bar, 1);
        h::key_press(VK_DOWN);  // a tap opens it with nothing lit
        h::key_press(VK_DOWN);
        h::key_press(VK_RETURN);
        pump();
        auto init = seen(WM_INITMENUPOPUP);
        ASSERT_EQ(init.size(), 1u) << k.os_major;
        EXPECT_EQ(init[0].hwnd, owner);
        EXPECT_EQ(init[0].wParam, reinterpret_cast<WPARAM>(menu));
        EXPECT_EQ(init[0].lParam & 0xFFFF, 101);
        EXPECT_EQ(commands(), (std::vector<WPARAM>{201})) << k.os_major;
        if (k.soft_keys) {
            // The right soft key's menu opens at the right end of the bar, its first item lit.
            RECT items_at{};
            forget();
            script({[&] {
                h::key_press(VK_RETURN);
                std::vector<RECT> items = platform::menu::open_menu_items(0);
                items_at = items.empty() ? RECT{} : RECT{items.front().left, items.front().top, items.back().right,
                                                         items.back().bottom};
            }});
            h::key_press(VK_TSOFT2);
            pump();
            EXPECT_EQ(commands(), (std::vector<WPARAM>{200}));
            RECT bar_rect;
            GetWindowRect(bar, &bar_rect);
            EXPECT_GE(items_at.right, platform::device_profile().screen_width - 2);
            EXPECT_LE(items_at.bottom, bar_rect.top);
            EXPECT_GE(items_at.bottom, bar_rect.top - 2);
        }
        DestroyWindow(owner);
        DestroyMenu(menu);
        pump();
    }
}

TEST_F(MenuBar, ABackKeyTakenOverReachesTheOwnerAsHotKeys) {
    Device device("smartphone", "5");
    struct Case {
        LPARAM flags;  // MAKELPARAM(mask, values); 0: not taken over
        int hot_keys;
        int keys;
    };
    const Case cases[] = {
        {0x00030003, 2, 0},  // notify, no default: the bar's use on a Smartphone
        {0x00020002, 2, 1},
        {0x00010001, 0, 0},
        {0, 0, 1},
    };
    for (const Case& c : cases) {
        HWND owner = make_owner();
        HWND bar = two_button_bar(owner);
        if (c.flags) {
            EXPECT_TRUE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_ESCAPE, c.flags));
        }
        forget();
        h::key_press(VK_ESCAPE);
        pump();
        auto hot = seen(WM_HOTKEY);
        ASSERT_EQ(static_cast<int>(hot.size()), c.hot_keys) << std::hex << c.flags;
        if (c.hot_keys) {
            EXPECT_EQ(hot[0].hwnd, owner);
            EXPECT_EQ(hot[0].lParam, LPARAM(VK_ESCAPE) << 16);
            EXPECT_EQ(hot[1].lParam, (LPARAM(VK_ESCAPE) << 16) | MOD_KEYUP);
        }
        EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_ESCAPE), c.keys) << std::hex << c.flags;
        DestroyWindow(owner);
        pump();
    }
    HWND owner = make_owner();
    HWND bar = two_button_bar(owner);
    EXPECT_FALSE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TSOFT1, 0x00030003));
    EXPECT_FALSE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_ESCAPE, 0x00040004));
    // While a menu is open, Back closes it and the owner hears nothing.
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_ESCAPE, 0x00030003);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, 0, 1, u"Only");
    forget();
    script({[] { h::key_press(VK_ESCAPE); }});
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 0, 100, owner, nullptr), 0);
    pump();
    EXPECT_TRUE(seen(WM_HOTKEY).empty());
    DestroyMenu(menu);
}

TEST_F(MenuBar, TheBackKeysShellCallsHandItOnOrStepBack) {
    HWND owner = make_owner();
    SetFocus(owner);
    SHSendBackToFocusWindow(WM_HOTKEY, VK_ESCAPE, LPARAM(VK_ESCAPE) << 16);
    SHSendBackToFocusWindow(WM_HOTKEY, VK_ESCAPE, (LPARAM(VK_ESCAPE) << 16) | MOD_KEYUP);
    SHSendBackToFocusWindow(WM_KEYDOWN, VK_ESCAPE, 0);  // only hot keys are handed on
    pump();
    EXPECT_EQ(keys_seen(WM_KEYDOWN, VK_BACK), 1);
    EXPECT_EQ(keys_seen(WM_KEYUP, VK_BACK), 1);
    EXPECT_EQ(keys_seen(WM_CHAR, u'\b'), 1);
    int before = h::go_back_count();
    SHNavigateBack();
    EXPECT_EQ(h::go_back_count(), before + 1);
    EXPECT_TRUE(IsWindowVisible(owner));
}

// A PNG strip of images side by side, each one colour.
std::vector<uint8_t> strip(const std::vector<uint32_t>& colours, int size) {
    int width = size * static_cast<int>(colours.size());
    std::vector<uint8_t> rgba;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t c = colours[static_cast<size_t>(x / size)];
            rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
        }
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int bytes) {
            auto* out = static_cast<std::vector<uint8_t>*>(context);
            out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
        },
        &png, width, size, 4, rgba.data(), width * 4);
    return png;
}

TEST_F(MenuBar, AddsImageStripsAndShowsTheirImages) {
    Device device("pocketpc", "4");
    HINSTANCE module = platform::program_instance();
    platform::register_bitmap_resource(module, 9200, strip({0xFF0000, 0x00FF00, 0x0000FF}, 8));
    HWND owner = make_owner();
    HWND bar = make_bar(owner);
    EXPECT_EQ(CommandBar_AddBitmap(bar, module, 9200, 3, 8, 8), 0);
    EXPECT_EQ(CommandBar_AddBitmap(bar, module, 9200, 2, 8, 8), 3);
    EXPECT_EQ(CommandBar_AddBitmap(bar, module, 9200, 4, 8, 8), -1);  // wider than the bitmap
    EXPECT_EQ(CommandBar_AddBitmap(bar, module, 9200, 1, 4, 8), -1);  // another image size
    EXPECT_EQ(CommandBar_AddBitmap(bar, module, 9999, 1, 8, 8), -1);
    EXPECT_EQ(CommandBar_AddBitmap(owner, module, 9200, 1, 8, 8), -1);
    insert(bar, 100, 0, nullptr, TBSTATE_ENABLED, 0, 1);
    insert(bar, 101, 0, nullptr, TBSTATE_ENABLED, 0, 7);  // beyond the strip: no image
    pump();
    POINT green = fixtures::centre(platform::menu::button_rect(bar, 0));
    EXPECT_EQ(h::screen_pixel(green.x, green.y), 0x00FF00u);
    POINT none = fixtures::centre(platform::menu::button_rect(bar, 1));
    EXPECT_EQ(h::screen_pixel(none.x, none.y), xrgb(platform::menu::look::bar));
}

TEST_F(MenuBar, ShowsPressedAndCheckedButtons) {
    using platform::menu::look::bar_checked;
    using platform::menu::look::bar_pressed;
    HWND owner = make_owner();
    HWND bar = make_bar(owner);
    insert(bar, 100, TBSTYLE_AUTOSIZE, u"Plain");
    insert(bar, 101, TBSTYLE_AUTOSIZE, u"Checked", TBSTATE_ENABLED | TBSTATE_CHECKED);
    pump();
    auto face = [&](int index) {
        RECT r = platform::menu::button_rect(bar, index);
        return h::screen_pixel(r.left + (r.bottom - r.top) / 4, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(face(0), xrgb(platform::menu::look::bar));
    EXPECT_EQ(face(1), xrgb(bar_checked));
    POINT p = fixtures::centre(platform::menu::button_rect(bar, 0));
    h::pen_down(p.x, p.y);
    pump();
    EXPECT_EQ(face(0), xrgb(bar_pressed));
    h::pen_up(p.x, p.y);
    pump();
    EXPECT_EQ(face(0), xrgb(platform::menu::look::bar));
}

}  // namespace
