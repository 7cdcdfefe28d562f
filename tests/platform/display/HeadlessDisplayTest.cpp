#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/kernel/Core.h"
#include "platform/display/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Window.h"
#include "tests/fixtures/Device.h"
#include "tests/fixtures/Picture.h"
#include "tests/fixtures/TempDir.h"

namespace {

namespace h = platform::headless;

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool ctrl_held = false;  // GetKeyState while the message was handled
};
std::vector<Seen> seen;

// Paints its client area in the colour kept in its user data.
LRESULT CALLBACK_solid(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({window, message, wParam, lParam, GetKeyState(VK_CONTROL) < 0});
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongW(window, GWL_USERDATA)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class HeadlessDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = [] {
            WNDCLASSW wc;
            wc.lpfnWndProc = CALLBACK_solid;
            wc.lpszClassName = u"Solid";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        EXPECT_STREQ(platform::ensure_display().name(), "headless");
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    void TearDown() override {
        for (HWND w : made) {
            DestroyWindow(w);
        }
        pump();
        seen.clear();
    }

    HWND solid(RECT r, COLORREF colour, LPCWSTR title = u"Solid", HWND owner = nullptr) {
        HWND w = CreateWindowExW(0, u"Solid", title, WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 owner, nullptr, nullptr, nullptr);
        SetWindowLongW(w, GWL_USERDATA, static_cast<LONG_PTR>(colour));
        ShowWindow(w, SW_SHOW);
        made.push_back(w);
        return w;
    }

    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    static std::vector<UINT> messages_to(HWND w, UINT low, UINT high) {
        std::vector<UINT> out;
        for (const Seen& s : seen) {
            if (s.hwnd == w && s.message >= low && s.message <= high) {
                out.push_back(s.message);
            }
        }
        return out;
    }

    RECT work;
    std::vector<HWND> made;
};

TEST_F(HeadlessDisplay, ScreenShowsWindowsInZOrderBelowTheTopBar) {
    const auto& profile = platform::device_profile();
    HWND back = solid({0, work.top, 200, work.top + 200}, RGB(255, 0, 0));
    HWND front = solid({100, work.top + 100, 300, work.top + 300}, RGB(0, 0, 255));
    pump();
    EXPECT_EQ(h::screen_pixel(50, work.top + 50), 0x00FF0000u);
    EXPECT_EQ(h::screen_pixel(150, work.top + 150), 0x000000FFu);  // the front one covers
    EXPECT_EQ(h::screen_pixel(250, work.top + 250), 0x000000FFu);
    uint32_t bar = h::screen_pixel(profile.screen_width - 1, 0);
    EXPECT_NE(bar, 0x000000FFu);
    EXPECT_EQ(bar, h::screen_pixel(profile.screen_width - 1, work.top - 1));
    SetForegroundWindow(back);
    pump();
    EXPECT_EQ(h::screen_pixel(150, work.top + 150), 0x00FF0000u);
    ShowWindow(back, SW_HIDE);
    EXPECT_EQ(h::screen_pixel(50, work.top + 50), h::screen_pixel(profile.screen_width - 1, profile.screen_height - 1));
    (void)front;
}

// A new window is not a black hole on the screen for the moment before it first paints.
TEST_F(HeadlessDisplay, NewWindowShowsWhatLiesBeneathUntilItFirstDraws) {
    solid({0, work.top, 200, work.top + 200}, RGB(255, 0, 0));
    pump();
    HWND front = solid({100, work.top + 100, 300, work.top + 300}, RGB(0, 0, 255));
    EXPECT_EQ(h::screen_pixel(150, work.top + 150), 0x00FF0000u);
    pump();
    EXPECT_EQ(h::screen_pixel(150, work.top + 150), 0x000000FFu);
    // Once drawn, its pixels stay on the screen, also across a size change before the next paint.
    SetWindowPos(front, nullptr, 0, 0, 220, 220, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(h::screen_pixel(150, work.top + 150), 0x000000FFu);
}

TEST_F(HeadlessDisplay, ScreenshotIsAPngOfTheScreen) {
    const auto& profile = platform::device_profile();
    solid({0, work.top, 40, work.top + 30}, RGB(0, 200, 0));
    pump();
    fixtures::TempDir dir;
    ASSERT_TRUE(h::save_screen_png(dir.file("screen.png")));
    const fixtures::Image shot = fixtures::read_png(dir.file("screen.png"));
    ASSERT_FALSE(shot.empty());
    EXPECT_EQ(shot.width, profile.screen_width);
    EXPECT_EQ(shot.height, profile.screen_height);
    EXPECT_EQ(shot.pixel(10, work.top + 10), 0x00C800u);
}

TEST_F(HeadlessDisplay, TapsReachTheWindowUnderThePenButNotThroughTheTopBar) {
    HWND w = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    seen.clear();
    h::tap(20, work.top + 30);
    h::tap(20, work.top - 5);  // the top bar
    pump();
    EXPECT_EQ(messages_to(w, WM_MOUSEFIRST, WM_MOUSELAST), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    const Seen* down = nullptr;
    for (const Seen& s : seen) {
        if (s.message == WM_LBUTTONDOWN) {
            down = &s;
        }
    }
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->lParam & 0xFFFF, 20);
    EXPECT_EQ((down->lParam >> 16) & 0xFFFF, 30);
}

TEST_F(HeadlessDisplay, TopBarOkButtonSendsIdokToTheForegroundWindow) {
    HWND w = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    EXPECT_EQ(platform::done_button_rect().right, 0);  // not asked for
    SHDoneButton(w, SHDB_SHOW);
    RECT ok = platform::done_button_rect();
    ASSERT_GT(ok.right, ok.left);
    seen.clear();
    h::tap((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    pump();
    bool got = false;
    for (const Seen& s : seen) {
        got = got || (s.hwnd == w && s.message == WM_COMMAND && s.wParam == static_cast<WPARAM>(IDOK));
    }
    EXPECT_TRUE(got);
    SHDoneButton(w, SHDB_HIDE);
    EXPECT_EQ(platform::done_button_rect().right, 0);
}

TEST_F(HeadlessDisplay, KeysGoToTheFocusWindow) {
    HWND a = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    HWND b = solid({100, work.top, 200, work.top + 100}, RGB(1, 2, 3));
    SetFocus(a);
    pump();
    seen.clear();
    h::key_down(VK_TSOFT1);
    h::key_repeat(VK_TSOFT1);
    h::key_up(VK_TSOFT1);
    pump();
    EXPECT_EQ(messages_to(a, WM_KEYFIRST, WM_KEYLAST), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP}));
    EXPECT_TRUE(messages_to(b, WM_KEYFIRST, WM_KEYLAST).empty());
}

TEST_F(HeadlessDisplay, TypedTextArrivesAsCharactersOnce) {
    HWND a = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    seen.clear();
    h::type_text(u"ab_1.Z");
    pump();
    std::u16string chars;
    for (const Seen& s : seen) {
        if (s.hwnd == a && s.message == WM_CHAR) {
            chars.push_back(static_cast<char16_t>(s.wParam));
        }
    }
    EXPECT_EQ(chars, u"ab_1.Z");
}

TEST_F(HeadlessDisplay, HoldingThePenStillIsTheContextGesture) {
    HWND w = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    struct Case {
        const char* name;
        int move_x;  // where the pen goes before the recogniser looks (0: it stays)
        bool lift;
        DWORD expected;
    };
    const Case cases[] = {
        {"held still", 0, false, GN_CONTEXTMENU},
        {"lifted at once", 0, true, 0},
        {"moved away", 40, false, 0},
        {"a small wobble still counts", 12, false, GN_CONTEXTMENU},
    };
    for (const Case& c : cases) {
        h::pen_down(10, work.top + 10);
        if (c.move_x) {
            h::pen_move(c.move_x, work.top + 10);
        }
        if (c.lift) {
            h::pen_up(10, work.top + 10);
        }
        SHRGINFO info;
        info.cbSize = sizeof info;
        info.hwndClient = w;
        info.ptDown = POINT{10, 10};
        info.dwFlags = SHRG_RETURNCMD;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(SHRecognizeGesture(&info), c.expected) << c.name;
        if (c.expected == GN_CONTEXTMENU) {
            EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450)) << c.name;
        }
        h::pen_up(10, work.top + 10);
        pump();
    }
}

TEST_F(HeadlessDisplay, InputPanelShrinksTheVisibleDesktopAndTellsTheWindows) {
    HWND w = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    seen.clear();
    SIPINFO info;
    info.cbSize = sizeof info;
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
    EXPECT_EQ(info.fdwFlags & SIPF_ON, 0u);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, work.bottom);
    SHSipPreference(w, SIP_UP);
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
    EXPECT_NE(info.fdwFlags & SIPF_ON, 0u);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, info.rcSipRect.top);
    EXPECT_LT(info.rcSipRect.top, work.bottom);
    pump();
    bool told = false;
    for (const Seen& s : seen) {
        told = told || (s.hwnd == w && s.message == WM_SETTINGCHANGE && s.wParam == SPI_SETSIPINFO);
    }
    EXPECT_TRUE(told);
    EXPECT_NE(h::screen_pixel(5, info.rcSipRect.top + 5), h::screen_pixel(5, work.top + 5));
    SHSipPreference(w, SIP_DOWN);
    info.cbSize = 48;  // a record of another size is refused, not overrun
    EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
}

// Message boxes run their own loop; the test acts from a timer procedure inside it.
HWND box_owner = nullptr;
bool owner_enabled_inside = true;
HWND box_seen = nullptr;
int box_step = 0;
UINT box_action = 0;

void CALLBACK_box_timer(HWND, UINT, uintptr_t id, DWORD) {
    if (box_step++ != 1) {
        return;  // one idle pass first, so that the box stands
    }
    KillTimer(nullptr, id);
    owner_enabled_inside = IsWindowEnabled(box_owner) != 0;
    box_seen = FindWindowW(u"Dialog", u"Caption");
    if (box_action == WM_KEYDOWN) {
        h::key_press(VK_RETURN);
    } else if (box_action == WM_QUIT) {
        PostQuitMessage(5);
    } else {
        PostMessageW(box_owner, box_action, 0, 0);
    }
}

int run_box(UINT action) {
    box_step = 0;
    box_action = action;
    box_seen = nullptr;
    SetTimer(nullptr, 0, 10, CALLBACK_box_timer);
    return MessageBoxW(box_owner, u"Some text that is long enough to be wrapped over more than a single line", u"Caption", MB_OK);
}

TEST_F(HeadlessDisplay, MessageBoxIsModalOverItsOwnerAndEnterAnswersIt) {
    box_owner = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    EXPECT_EQ(run_box(WM_KEYDOWN), IDOK);
    EXPECT_FALSE(owner_enabled_inside);
    ASSERT_NE(box_seen, nullptr);
    EXPECT_FALSE(IsWindow(box_seen));
    EXPECT_TRUE(IsWindowEnabled(box_owner));
    EXPECT_EQ(GetForegroundWindow(), box_owner);
}

TEST_F(HeadlessDisplay, MessageBoxHandsOnTheMessagesThatEndALoop) {
    box_owner = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    EXPECT_EQ(run_box(WM_USER + 33), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 33, WM_USER + 33, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, box_owner);
    EXPECT_TRUE(IsWindowEnabled(box_owner));

    EXPECT_EQ(run_box(WM_QUIT), 0);
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(HeadlessDisplay, MessageBoxDrawsItsTextWithTheGdi) {
    box_owner = solid({0, work.top, 200, work.top + 200}, RGB(1, 2, 3));
    pump();
    static bool dark_text_found = false;
    box_step = 0;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, uintptr_t id, DWORD) {
        if (box_step++ != 1) {
            return;
        }
        KillTimer(nullptr, id);
        HWND box = FindWindowW(u"Dialog", u"Caption");
        RECT r;
        GetWindowRect(box, &r);
        // The face is white; black text pixels lie between the title strip and the button.
        std::vector<uint32_t> screen = h::screen_pixels();
        int width = platform::device_profile().screen_width;
        for (int y = r.top + 30; y < r.bottom - 30 && !dark_text_found; ++y) {
            for (int x = r.left + 5; x < r.right - 5; ++x) {
                dark_text_found = dark_text_found || screen[static_cast<size_t>(y) * width + x] == 0;
            }
        }
        h::key_press(VK_RETURN);
    });
    MessageBoxW(box_owner, u"Hello", u"Caption", MB_OK);
    EXPECT_TRUE(dark_text_found);
}

TEST_F(HeadlessDisplay, MessageBoxRefusesStylesItCannotShow) {
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", 0x7), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

std::u16string characters_to(HWND w) {
    std::u16string out;
    for (const Seen& s : seen) {
        if (s.hwnd == w && s.message == WM_CHAR) {
            out.push_back(static_cast<char16_t>(s.wParam));
        }
    }
    return out;
}

std::vector<Seen> only(UINT message) {
    std::vector<Seen> out;
    for (const Seen& s : seen) {
        if (s.message == message) {
            out.push_back(s);
        }
    }
    return out;
}

TEST_F(HeadlessDisplay, TheDesktopKeyboardTypesEachCharacterOnce) {
    HWND w = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    struct Case {
        const char* name;
        UINT key;  // 0: text without a key of its own
        std::u16string text;
        std::u16string characters;
    };
    const Case cases[] = {
        {"a letter", 'A', u"a", u"a"},
        {"a capital", 'A', u"A", u"A"},
        {"a digit", '1', u"1", u"1"},
        {"the star key", VK_STAR, u"*", u"*"},
        {"a letter the layout turns into another", 'Q', u"@", u"@"},
        {"an accent from a dead key", 'E', u"\u00e9", u"\u00e9"},
        {"an input method's result", 0, u"\u65e5\u672c", u"\u65e5\u672c"},
        {"a character beyond the 16-bit plane", 0, u"\U0001F600", u"\U0001F600"},
        {"Backspace keeps its control character", VK_BACK, u"", u"\b"},
        {"Enter keeps its control character", VK_RETURN, u"", u"\r"},
    };
    for (const Case& c : cases) {
        seen.clear();
        h::desktop_type(c.key, c.text);
        pump();
        EXPECT_EQ(characters_to(w), c.characters) << c.name;
        EXPECT_EQ(only(WM_KEYDOWN).size(), c.key ? 1u : 0u) << c.name;
    }
}

TEST_F(HeadlessDisplay, TheCharacterOfAKeyIsWaitingRightBehindItsKeyDown) {
    solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    h::desktop_type('B', u"b");
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // The Pocket PC pump takes the character that goes with the key.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(u'b'));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    pump();
}

TEST_F(HeadlessDisplay, CtrlWithALetterMakesItsControlCharacter) {
    HWND w = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    seen.clear();
    h::key_down(VK_CONTROL);
    h::key_press('C');
    h::key_press(VK_BACK);
    h::key_up(VK_CONTROL);
    h::key_press('C');
    pump();
    EXPECT_EQ(characters_to(w), std::u16string(u"\x03\bc"));
}

TEST_F(HeadlessDisplay, AKeyIsReadAsItWasWhenItsMessageCameNotAsItIsNow) {
    solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    seen.clear();
    // A quick Ctrl+C: all four arrive before the program looks at the first.
    h::key_down(VK_CONTROL);
    h::key_press('C');
    h::key_up(VK_CONTROL);
    h::key_press('C');
    pump();
    std::vector<Seen> downs = only(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_TRUE(downs[0].ctrl_held);   // Ctrl itself
    EXPECT_TRUE(downs[1].ctrl_held);   // C while Ctrl was held
    EXPECT_FALSE(downs[2].ctrl_held);  // C after it was let go
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST_F(HeadlessDisplay, TheWheelTurnsTheWindowUnderThePointer) {
    HWND a = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    HWND b = solid({100, work.top, 200, work.top + 100}, RGB(1, 2, 3));
    SetFocus(a);
    pump();
    seen.clear();
    h::wheel(150, work.top + 20, 1);
    h::key_down(VK_SHIFT);
    h::wheel(150, work.top + 30, -2);
    h::key_up(VK_SHIFT);
    h::wheel(300, work.top + 300, 1);  // over no window
    pump();
    std::vector<Seen> turns = only(WM_MOUSEWHEEL);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_EQ(turns[0].hwnd, b);
    EXPECT_EQ(static_cast<int16_t>(turns[0].wParam >> 16), WHEEL_DELTA);
    EXPECT_EQ(turns[0].wParam & 0xFFFF, 0u);
    EXPECT_EQ(turns[0].lParam & 0xFFFF, 150);  // screen coordinates
    EXPECT_EQ((turns[0].lParam >> 16) & 0xFFFF, work.top + 20);
    EXPECT_EQ(static_cast<int16_t>(turns[1].wParam >> 16), -2 * WHEEL_DELTA);
    EXPECT_EQ(turns[1].wParam & 0xFFFF, MK_SHIFT);
    EnableWindow(b, FALSE);
    h::wheel(150, work.top + 20, 1);
    pump();
    EXPECT_EQ(only(WM_MOUSEWHEEL).size(), 2u);  // a disabled window gets none
}

TEST_F(HeadlessDisplay, TurningTheScreenSwapsItsSidesAndTellsTheWindows) {
    const platform::DeviceProfile before = platform::device_profile();
    HWND w = solid({0, work.top, 100, work.top + 100}, RGB(1, 2, 3));
    pump();
    seen.clear();
    auto screen_size = [] {
        HDC screen = GetDC(nullptr);
        SIZE size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
        ReleaseDC(nullptr, screen);
        return size;
    };
    h::turn_screen();
    SIZE turned = screen_size();
    EXPECT_EQ(turned.cx, before.screen_height);
    EXPECT_EQ(turned.cy, before.screen_width);
    RECT area;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.right, before.screen_height);
    EXPECT_EQ(area.bottom, before.screen_width - work.top);
    EXPECT_EQ(h::screen_pixels().size(), static_cast<size_t>(before.screen_width) * before.screen_height);
    EXPECT_NE(h::screen_pixel(before.screen_height - 1, before.screen_width - 1), 0u);  // within the screen now
    pump();
    std::vector<Seen> told = only(WM_SETTINGCHANGE);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].hwnd, w);
    EXPECT_EQ(told[0].wParam, SETTINGCHANGE_RESET);

    h::turn_screen();
    SIZE back = screen_size();
    EXPECT_EQ(back.cx, before.screen_width);
    EXPECT_EQ(back.cy, before.screen_height);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.bottom, work.bottom);
}

// A Smartphone of 176 by 220 has no screen 220 wide to turn to: it stays upright, the windows
// hear nothing, and the log says why.
TEST_F(HeadlessDisplay, ASmartphoneWithoutATurnedScreenStaysUpright) {
    fixtures::Device device("smartphone", "5", "176x220");
    HWND w = solid({0, 20, 100, 120}, RGB(1, 2, 3));
    pump();
    seen.clear();
    testing::internal::CaptureStderr();
    h::turn_screen();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform::device_profile().screen_width, 176);
    EXPECT_EQ(platform::device_profile().screen_height, 220);
    EXPECT_EQ(h::screen_pixels().size(), size_t(176 * 220));
    EXPECT_NE(log.find("the screen stays 176x220: no Smartphone has a screen 220 wide"), std::string::npos) << log;
    pump();
    EXPECT_TRUE(only(WM_SETTINGCHANGE).empty());
    DestroyWindow(w);
}

// A child of the Solid class inside parent, at (x, y) of its client area.
HWND solid_child(HWND parent, RECT r, COLORREF colour) {
    HWND w = CreateWindowExW(0, u"Solid", u"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongW(w, GWL_USERDATA, static_cast<LONG_PTR>(colour));
    return w;
}

void repaint(HWND w, COLORREF colour, const RECT* part) {
    SetWindowLongW(w, GWL_USERDATA, static_cast<LONG_PTR>(colour));
    InvalidateRect(w, part, FALSE);
}

TEST_F(HeadlessDisplay, AWindowThatDrawsChangesOnlyItsPartOfTheScreen) {
    const auto& profile = platform::device_profile();
    const RECT whole{0, 0, profile.screen_width, profile.screen_height};
    HWND w = solid({10, work.top + 20, 110, work.top + 120}, RGB(10, 20, 30));
    HWND child = solid_child(w, {30, 40, 50, 50}, RGB(40, 50, 60));
    HWND hidden = solid({200, work.top + 20, 240, work.top + 60}, RGB(70, 80, 90));
    ShowWindow(hidden, SW_HIDE);
    pump();
    struct Case {
        const char* what;
        std::function<void()> change;
        RECT changed;
    };
    const RECT part{5, 6, 15, 16};
    const Case cases[] = {
        {"a part of a window painted", [&] { repaint(w, RGB(1, 1, 1), &part); }, {15, work.top + 26, 25, work.top + 36}},
        {"a child painted", [&] { repaint(child, RGB(2, 2, 2), nullptr); }, {40, work.top + 60, 60, work.top + 70}},
        {"a window drawn on outside painting",
         [&] {
             HDC dc = GetDC(w);
             ReleaseDC(w, dc);
         },
         {10, work.top + 20, 110, work.top + 120}},
        {"a hidden window painted", [&] { repaint(hidden, RGB(3, 3, 3), nullptr); }, {}},
        {"the screen's own DC released",
         [] {
             HDC dc = GetDC(nullptr);
             ReleaseDC(nullptr, dc);
         },
         {}},
        {"a window moved", [&] { SetWindowPos(w, nullptr, 12, work.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }, whole},
    };
    for (const Case& c : cases) {
        platform::compose_changes();
        c.change();
        pump();
        RECT r = platform::compose_changes();
        EXPECT_EQ(r.left, c.changed.left) << c.what;
        EXPECT_EQ(r.top, c.changed.top) << c.what;
        EXPECT_EQ(r.right, c.changed.right) << c.what;
        EXPECT_EQ(r.bottom, c.changed.bottom) << c.what;
    }
}

TEST_F(HeadlessDisplay, ComposingOnlyWhatChangedMakesTheScreenThatComposingAllMakes) {
    HWND back = solid({0, work.top, 200, work.top + 200}, RGB(200, 0, 0), u"Back");
    HWND front = solid({100, work.top + 100, 300, work.top + 300}, RGB(0, 0, 200), u"Front");
    HWND child = solid_child(front, {10, 10, 60, 40}, RGB(0, 200, 0));
    pump();
    const RECT part{150, 150, 190, 190};
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"the window behind paints where the front one covers it", [&] { repaint(back, RGB(9, 9, 9), &part); }},
        {"a child paints", [&] { repaint(child, RGB(0, 90, 0), nullptr); }},
        {"the front window moves", [&] { SetWindowPos(front, nullptr, 40, work.top + 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }},
        {"the back window comes to the front", [&] { SetForegroundWindow(back); }},
        {"the caption changes", [&] { SetWindowTextW(back, u"Another caption"); }},
        {"the OK button shows", [&] { SHDoneButton(back, SHDB_SHOW); }},
        {"the input panel comes up", [&] { SHSipPreference(back, SIP_UP); }},
        {"a window paints under the input panel", [&] { repaint(back, RGB(7, 7, 7), nullptr); }},
        {"the input panel goes down", [&] { SHSipPreference(back, SIP_DOWN); }},
        {"a window hides", [&] { ShowWindow(front, SW_HIDE); }},
    };
    platform::compose_changes();
    for (const Case& c : cases) {
        c.change();
        pump();
        RECT r = platform::compose_changes();
        EXPECT_GT(r.right, r.left) << c.what;
        std::vector<uint32_t> composed = h::composed_pixels();
        std::vector<uint32_t> fresh = h::screen_pixels();
        ASSERT_EQ(composed.size(), fresh.size());
        size_t differing = 0;
        for (size_t i = 0; i < fresh.size(); ++i) {
            differing += composed[i] != fresh[i] ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u) << c.what;
    }
    SHDoneButton(back, SHDB_HIDE);
}

}  // namespace
