#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Window.h"

namespace {

namespace h = platform::headless;

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool ctrl_held;  // GetKeyState while the message was handled
};
std::vector<Seen> seen;

LRESULT record_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({window, message, wParam, lParam, GetKeyState(VK_CONTROL) < 0});
    return DefWindowProcW(window, message, wParam, lParam);
}

class DesktopInput : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = [] {
            WNDCLASSW wc;
            wc.lpfnWndProc = record_proc;
            wc.lpszClassName = u"DesktopInput";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        platform::ensure_display();
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    void TearDown() override {
        for (HWND w : made) {
            DestroyWindow(w);
        }
        pump();
        seen.clear();
    }

    HWND window(RECT r) {
        HWND w = CreateWindowExW(0, u"DesktopInput", u"w", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
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

    static std::u16string characters_to(HWND w) {
        std::u16string out;
        for (const Seen& s : seen) {
            if (s.hwnd == w && s.message == WM_CHAR) {
                out.push_back(static_cast<char16_t>(s.wParam));
            }
        }
        return out;
    }

    static std::vector<Seen> only(UINT message) {
        std::vector<Seen> out;
        for (const Seen& s : seen) {
            if (s.message == message) {
                out.push_back(s);
            }
        }
        return out;
    }

    RECT work;
    std::vector<HWND> made;
};

TEST_F(DesktopInput, TheDesktopKeyboardTypesEachCharacterOnce) {
    HWND w = window({0, work.top, 100, work.top + 100});
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

TEST_F(DesktopInput, TheCharacterOfAKeyIsWaitingRightBehindItsKeyDown) {
    window({0, work.top, 100, work.top + 100});
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

TEST_F(DesktopInput, CtrlWithALetterMakesItsControlCharacter) {
    HWND w = window({0, work.top, 100, work.top + 100});
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

TEST_F(DesktopInput, AKeyIsReadAsItWasWhenItsMessageCameNotAsItIsNow) {
    window({0, work.top, 100, work.top + 100});
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

TEST_F(DesktopInput, TheWheelTurnsTheWindowUnderThePointer) {
    HWND a = window({0, work.top, 100, work.top + 100});
    HWND b = window({100, work.top, 200, work.top + 100});
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

TEST_F(DesktopInput, TurningTheScreenSwapsItsSidesAndTellsTheWindows) {
    const platform::DeviceProfile before = platform::device_profile();
    HWND w = window({0, work.top, 100, work.top + 100});
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

}  // namespace
