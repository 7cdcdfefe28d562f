#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/clipboard/Clipboard.h"
#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/edit/Edit.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Core.h"
#include "platform/window/Window.h"

namespace {

namespace h = platform::headless;

constexpr int edit_id = 7;
constexpr DWORD edit_style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

int changes = 0;            // EN_CHANGE notifications of the edit under test
bool destroy_on_change = false;

LRESULT parent_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && ((wParam >> 16) & 0xFFFF) == EN_CHANGE && (wParam & 0xFFFF) == edit_id) {
        ++changes;
        if (destroy_on_change) {
            DestroyWindow(reinterpret_cast<HWND>(lParam));
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::u16string clipboard_text() {
    if (!OpenClipboard(nullptr)) {
        return u"<not open>";
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::u16string text = data ? platform::local_text(data) : u"<none>";
    CloseClipboard();
    return text;
}

void put_on_clipboard(std::u16string_view text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, platform::local_text_block(text)), nullptr);
    CloseClipboard();
}

// One step of a user: a key (with Shift or Ctrl held), device-typed text, or desktop text.
struct Act {
    enum Kind { Key, Type, Desktop } kind = Key;
    UINT key = 0;
    bool shift = false;
    bool ctrl = false;
    std::u16string text;
};

Act key(UINT vk) {
    return Act{Act::Key, vk, false, false, {}};
}
Act shifted(UINT vk) {
    return Act{Act::Key, vk, true, false, {}};
}
Act ctrl(UINT vk) {
    return Act{Act::Key, vk, false, true, {}};
}
Act typed(std::u16string text) {
    return Act{Act::Type, 0, false, false, std::move(text)};
}
Act desktop(std::u16string text) {
    return Act{Act::Desktop, 0, false, false, std::move(text)};
}

class EditWindow : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = [] {
            WNDCLASSW wc;
            wc.lpfnWndProc = parent_proc;
            wc.lpszClassName = u"EditParent";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        // A frozen clock: the caret does not blink, and two quick taps make a double tap.
        h::use_test_clock(5000);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        parent = CreateWindowExW(0, u"EditParent", u"Parent", WS_POPUP | WS_VISIBLE, 0, work.top, 400, 200, nullptr,
                                 nullptr, nullptr, nullptr);
        edit = make_edit(edit_style, 200);
        ASSERT_NE(edit, nullptr);
        SetFocus(edit);
        settle();
    }

    void TearDown() override {
        DestroyWindow(parent);
        pump();
        destroy_on_change = false;
        h::release_clock();
    }

    HWND make_edit(DWORD style, int width) {
        return CreateWindowExW(0, u"edit", nullptr, style, 10, 10, width, 30, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(edit_id)), nullptr, nullptr);
    }

    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void settle() {
        pump();
        changes = 0;
    }

    void start_with(const std::u16string& text, int anchor, int caret) {
        SetWindowTextW(edit, text.c_str());
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(anchor), caret);
        settle();
    }

    static void perform(const Act& a) {
        switch (a.kind) {
        case Act::Key:
            if (a.shift) {
                h::key_down(VK_SHIFT);
            }
            if (a.ctrl) {
                h::key_down(VK_CONTROL);
            }
            h::key_press(a.key);
            pump();
            if (a.ctrl) {
                h::key_up(VK_CONTROL);
            }
            if (a.shift) {
                h::key_up(VK_SHIFT);
            }
            break;
        case Act::Type:
            h::type_text(a.text);
            break;
        case Act::Desktop:
            h::desktop_type(0, a.text);
            break;
        }
        pump();
    }

    std::u16string text() const {
        WCHAR buffer[256] = {};
        GetWindowTextW(edit, buffer, 256);
        return buffer;
    }

    std::pair<int, int> selection() const {
        DWORD start = 99;
        DWORD end = 99;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }

    // The client x of a position in the edit's text while it is not scrolled, measured as the
    // edit draws: its font, a one-pixel border and two pixels per 96 dpi of padding.
    static int x_of(const std::u16string& text, int position) {
        int dpi = platform::device_profile().dpi;
        LOGFONTW lf;
        lf.lfHeight = -std::max(8, 11 * dpi / 96);
        HFONT font = CreateFontIndirectW(&lf);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r{0, 0, 0, 0};
        if (position > 0) {
            DrawTextW(dc, text.c_str(), position, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(font);
        return 1 + 2 * std::max(1, dpi / 96) + (r.right - r.left);
    }

    POINT on_screen(int client_x) const {
        POINT p{client_x, 15};
        ClientToScreen(edit, &p);
        return p;
    }

    // A tap long after the last one; a second_tap follows at once (a double tap).
    void tap_at(int client_x, bool second_tap = false) {
        if (!second_tap) {
            h::step_clock(1000);
        }
        POINT p = on_screen(client_x);
        h::tap(p.x, p.y);
        pump();
    }

    RECT work;
    HWND parent = nullptr;
    HWND edit = nullptr;
};

TEST_F(EditWindow, KeysAndTypingEditTheTextAndTheSelection) {
    struct Case {
        const char* name;
        std::u16string text;
        int anchor;
        int caret;
        std::vector<Act> acts;
        std::u16string after;
        int start;
        int end;
        int changes;
    };
    const std::u16string pair = u"a\U0001F600b";  // a, a surrogate pair, b
    const Case cases[] = {
        {"typing inserts at the caret", u"ac", 1, 1, {typed(u"b")}, u"abc", 2, 2, 1},
        {"capitals and punctuation type too", u"", 0, 0, {typed(u"A-b.")}, u"A-b.", 4, 4, 4},
        {"typing replaces the selection", u"hello", 1, 4, {typed(u"a")}, u"hao", 2, 2, 1},
        {"desktop text types accents once", u"", 0, 0, {desktop(u"\u00e9t\u00e9")}, u"\u00e9t\u00e9", 3, 3, 3},
        {"a typed surrogate pair is one insertion", u"", 0, 0, {desktop(u"\U0001F600")}, u"\U0001F600", 2, 2, 1},
        {"Backspace at the start changes nothing", u"ab", 0, 0, {key(VK_BACK)}, u"ab", 0, 0, 0},
        {"Backspace deletes before the caret", u"abc", 2, 2, {key(VK_BACK)}, u"ac", 1, 1, 1},
        {"Backspace deletes the selection", u"abcd", 3, 1, {key(VK_BACK)}, u"ad", 1, 1, 1},
        {"Backspace takes a surrogate pair whole", pair, 3, 3, {key(VK_BACK)}, u"ab", 1, 1, 1},
        {"Delete at the end changes nothing", u"ab", 2, 2, {key(VK_DELETE)}, u"ab", 2, 2, 0},
        {"Delete removes after the caret", u"abc", 1, 1, {key(VK_DELETE)}, u"ac", 1, 1, 1},
        {"Left leaves the selection at its start", u"abcd", 1, 3, {key(VK_LEFT)}, u"abcd", 1, 1, 0},
        {"Right leaves the selection at its end", u"abcd", 3, 1, {key(VK_RIGHT)}, u"abcd", 3, 3, 0},
        {"Left at the start stays", u"ab", 0, 0, {key(VK_LEFT)}, u"ab", 0, 0, 0},
        {"Right steps over a surrogate pair", pair, 1, 1, {key(VK_RIGHT)}, pair, 3, 3, 0},
        {"Shift+Left at the start keeps the selection", u"ab", 0, 0, {shifted(VK_LEFT)}, u"ab", 0, 0, 0},
        {"Shift+Left extends from the caret", u"abc", 2, 2, {shifted(VK_LEFT)}, u"abc", 1, 2, 0},
        {"Shift moves the caret end, not the anchor", u"abc", 2, 2,
         {shifted(VK_LEFT), shifted(VK_RIGHT), shifted(VK_RIGHT)}, u"abc", 2, 3, 0},
        {"Ctrl+Right stops at the next word", u"one two", 1, 1, {ctrl(VK_RIGHT)}, u"one two", 4, 4, 0},
        {"Ctrl+Left goes to the word's start", u"one two", 6, 6, {ctrl(VK_LEFT)}, u"one two", 4, 4, 0},
        {"Ctrl+Left from a word's start goes to the one before", u"one two", 4, 4, {ctrl(VK_LEFT)}, u"one two", 0, 0, 0},
        {"Home and Shift+End", u"abc", 2, 2, {key(VK_HOME), shifted(VK_RIGHT), shifted(VK_END)}, u"abc", 0, 3, 0},
        {"Shift+Home selects back to the start", u"abc", 2, 2, {shifted(VK_HOME)}, u"abc", 0, 2, 0},
        {"Ctrl+A selects everything", u"abc", 1, 1, {ctrl('A')}, u"abc", 0, 3, 0},
        {"Enter, Tab and Esc type nothing", u"ab", 1, 1, {key(VK_RETURN), key(VK_TAB), key(VK_ESCAPE)}, u"ab", 1, 1, 0},
        {"Up and Down do nothing on one line", u"ab", 1, 1, {key(VK_UP), key(VK_DOWN)}, u"ab", 1, 1, 0},
        {"Ctrl+letter is a shortcut, not text", u"ab", 1, 1, {ctrl('B')}, u"ab", 1, 1, 0},
    };
    for (const Case& c : cases) {
        start_with(c.text, c.anchor, c.caret);
        for (const Act& a : c.acts) {
            perform(a);
        }
        EXPECT_EQ(text(), c.after) << c.name;
        EXPECT_EQ(selection(), std::make_pair(c.start, c.end)) << c.name;
        EXPECT_EQ(changes, c.changes) << c.name;
    }
}

TEST_F(EditWindow, ClipboardKeysCopyCutAndPasteOneLine) {
    struct Case {
        const char* name;
        std::u16string text;
        int anchor;
        int caret;
        std::u16string clipboard_before;
        Act act;
        std::u16string after;
        std::u16string clipboard_after;
        int changes;
    };
    const Case cases[] = {
        {"Ctrl+C copies the selection", u"hello", 1, 3, u"x", ctrl('C'), u"hello", u"el", 0},
        {"Ctrl+Insert copies too", u"hello", 0, 2, u"x", ctrl(VK_INSERT), u"hello", u"he", 0},
        {"copying nothing keeps the clipboard", u"hello", 2, 2, u"kept", ctrl('C'), u"hello", u"kept", 0},
        {"Ctrl+X cuts", u"hello", 1, 4, u"x", ctrl('X'), u"ho", u"ell", 1},
        {"Shift+Delete cuts", u"hello", 0, 1, u"x", shifted(VK_DELETE), u"ello", u"h", 1},
        {"Ctrl+V pastes over the selection", u"hello", 1, 4, u"ipp", ctrl('V'), u"hippo", u"ipp", 1},
        {"Shift+Insert pastes", u"ab", 1, 1, u"-", shifted(VK_INSERT), u"a-b", u"-", 1},
        {"line breaks and tabs are not pasted", u"", 0, 0, u"one\r\ntwo\tthree", ctrl('V'), u"onetwothree",
         u"one\r\ntwo\tthree", 1},
        {"an empty clipboard pastes nothing", u"ab", 1, 1, u"", ctrl('V'), u"ab", u"", 0},
    };
    for (const Case& c : cases) {
        put_on_clipboard(c.clipboard_before);
        start_with(c.text, c.anchor, c.caret);
        perform(c.act);
        EXPECT_EQ(text(), c.after) << c.name;
        EXPECT_EQ(clipboard_text(), c.clipboard_after) << c.name;
        EXPECT_EQ(changes, c.changes) << c.name;
    }
}

TEST_F(EditWindow, ReadOnlyEditMovesAndCopiesButNeverChanges) {
    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY, 0);
    const Act acts[] = {typed(u"x"), desktop(u"y"), key(VK_BACK), key(VK_DELETE), ctrl('V'), shifted(VK_INSERT),
                        ctrl('X'), shifted(VK_DELETE)};
    for (const Act& a : acts) {
        put_on_clipboard(u"clip");
        start_with(u"abc", 0, 2);
        perform(a);
        EXPECT_EQ(text(), u"abc");
        EXPECT_EQ(changes, 0);
        SendMessageW(edit, WM_HOTKEY, 0, static_cast<LPARAM>(VK_ESCAPE) << 16);
        EXPECT_EQ(text(), u"abc");
    }
    perform(ctrl('C'));
    EXPECT_EQ(clipboard_text(), u"ab");
    perform(key(VK_END));
    EXPECT_EQ(selection(), std::make_pair(3, 3));
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    perform(typed(u"d"));
    EXPECT_EQ(text(), u"abcd");
}

TEST_F(EditWindow, TellsItsParentOfEveryChangeAndKeepsTheSelectionAsSet) {
    SetWindowTextW(edit, u"abc");
    EXPECT_EQ(changes, 1);
    SetWindowTextW(edit, u"abc");
    EXPECT_EQ(changes, 1);  // the same text is no change
    EXPECT_EQ(GetWindowTextLengthW(edit), 3);
    WCHAR buffer[8] = {};
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::u16string(buffer), u"abc");

    struct Case {
        WPARAM anchor;
        LPARAM caret;
        int start;
        int end;
    };
    const Case cases[] = {
        {1, 3, 1, 3},
        {3, 1, 1, 3},                       // either order
        {0, -1, 0, 3},                      // to the end
        {2, 99, 2, 3},                      // clamped
        {static_cast<WPARAM>(-1), 0, 3, 3},  // no selection, the caret (at 3) stays
    };
    for (const Case& c : cases) {
        SendMessageW(edit, EM_SETSEL, c.anchor, c.caret);
        EXPECT_EQ(selection(), std::make_pair(c.start, c.end)) << c.anchor << " " << c.caret;
        LRESULT packed = SendMessageW(edit, EM_GETSEL, 0, 0);
        EXPECT_EQ(packed, static_cast<LRESULT>(c.start | (c.end << 16)));
    }
    // The anchor is where the selection began: EM_SETSEL (3, 1) leaves the caret at 1.
    SendMessageW(edit, EM_SETSEL, 3, 1);
    perform(shifted(VK_LEFT));
    EXPECT_EQ(selection(), std::make_pair(0, 3));

    changes = 0;
    perform(typed(u"xy"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(text(), u"xy");
    EXPECT_EQ(GetWindowTextLengthW(edit), 2);

    EXPECT_TRUE(SendMessageW(edit, EM_SETINPUTMODE, 0, EIM_NUMBERS));
    EXPECT_TRUE(SendMessageW(edit, EM_SETINPUTMODE, 0, EIM_TEXT));
    EXPECT_FALSE(SendMessageW(edit, EM_SETINPUTMODE, 0, 1));
}

TEST_F(EditWindow, TheBackKeyHandedBackDeletesWhenItGoesDown) {
    start_with(u"abc", 3, 3);
    SendMessageW(edit, WM_HOTKEY, 0, (static_cast<LPARAM>(VK_ESCAPE) << 16) | 0x1000);  // going up
    EXPECT_EQ(text(), u"abc");
    SendMessageW(edit, WM_HOTKEY, 0, static_cast<LPARAM>(VK_ESCAPE) << 16);
    EXPECT_EQ(text(), u"ab");
    EXPECT_EQ(changes, 1);
    SendMessageW(edit, WM_HOTKEY, 0, static_cast<LPARAM>(VK_TSOFT1) << 16);  // another key
    EXPECT_EQ(text(), u"ab");
}

TEST_F(EditWindow, ThePenPlacesTheCaretDragsASelectionAndDoubleTapsAWord) {
    const std::u16string words = u"abc  def";
    start_with(words, 0, 0);
    tap_at(x_of(words, 2));
    EXPECT_EQ(selection(), std::make_pair(2, 2));

    h::step_clock(1000);
    POINT from = on_screen(x_of(words, 1));
    POINT to = on_screen(x_of(words, 6));
    h::pen_down(from.x, from.y);
    h::pen_move(to.x, to.y);
    h::pen_up(to.x, to.y);
    pump();
    EXPECT_EQ(selection(), std::make_pair(1, 6));

    h::key_down(VK_SHIFT);
    tap_at(x_of(words, 3));
    h::key_up(VK_SHIFT);
    pump();
    EXPECT_EQ(selection(), std::make_pair(1, 3));  // Shift+tap moves the caret; the anchor stays

    struct Case {
        const char* name;
        std::u16string text;
        int tapped;  // the character whose middle is tapped twice
        int start;
        int end;
    };
    const Case cases[] = {
        {"a word and its trailing spaces", u"abc  def", 1, 0, 5},
        {"the last word", u"abc  def", 6, 5, 8},
        {"a run of spaces", u"ab   cd", 3, 2, 5},
    };
    for (const Case& c : cases) {
        start_with(c.text, 0, 0);
        int x = (x_of(c.text, c.tapped) + x_of(c.text, c.tapped + 1)) / 2;
        tap_at(x);
        tap_at(x, true);
        EXPECT_EQ(selection(), std::make_pair(c.start, c.end)) << c.name;
    }
}

TEST_F(EditWindow, ScrollingKeepsTheCaretInsideTheField) {
    DestroyWindow(edit);
    edit = make_edit(edit_style, 60);
    SetFocus(edit);
    settle();
    const std::u16string long_text = u"abcdefghijklmnopqrstuvwxyz";
    perform(typed(long_text));
    ASSERT_GT(x_of(long_text, 26), 60);  // wider than the field
    RECT client;
    GetClientRect(edit, &client);
    int right = client.right - 4;
    int left = 4;
    // Typing scrolled the text: its end is at the field's right edge, its start hidden.
    tap_at(right);
    EXPECT_EQ(selection(), std::make_pair(26, 26));
    tap_at(left);
    EXPECT_GT(selection().first, 0);
    perform(key(VK_HOME));
    tap_at(left);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    // Deleting from the end scrolls back so that no blank shows after the text.
    perform(key(VK_END));
    for (int i = 0; i < 23; ++i) {
        perform(key(VK_BACK));
    }
    tap_at(left);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
}

TEST_F(EditWindow, DrawsTheSelectionOnlyWhileFocused) {
    start_with(u"hello world", 0, 5);
    auto count = [&](uint32_t colour) {
        RECT r;
        GetWindowRect(edit, &r);
        std::vector<uint32_t> screen = h::screen_pixels();
        int width = platform::device_profile().screen_width;
        int n = 0;
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                n += screen[static_cast<size_t>(y) * width + x] == colour ? 1 : 0;
            }
        }
        return n;
    };
    constexpr uint32_t selection_colour = 0x2F5FC4;
    constexpr uint32_t border_colour = 0x707070;
    constexpr uint32_t readonly_colour = 0xE4E4E4;
    EXPECT_GT(count(selection_colour), 100);
    EXPECT_GT(count(border_colour), 2 * 200);
    SetFocus(parent);
    pump();
    EXPECT_EQ(count(selection_colour), 0);
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    pump();
    EXPECT_GT(count(readonly_colour), 100 * 20);
}

TEST_F(EditWindow, StylesItCannotShowAreRefused) {
    struct Case {
        DWORD style;
        bool made;
    };
    const Case cases[] = {
        {edit_style, true},
        {edit_style | ES_READONLY, true},
        {WS_CHILD | ES_LEFT, false},        // no sideways scrolling
        {edit_style | 0x0004, false},       // several lines
        {edit_style | 0x0020, false},       // a password edit
    };
    for (const Case& c : cases) {
        HWND made = make_edit(c.style, 100);
        EXPECT_EQ(made != nullptr, c.made) << std::hex << c.style;
        if (made) {
            WCHAR name[16] = {};
            GetClassNameW(made, name, 16);
            EXPECT_EQ(std::u16string(name), u"Edit");
            DestroyWindow(made);
        }
    }
    HWND upper = CreateWindowExW(0, u"EDIT", u"start", edit_style, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(upper, nullptr);
    WCHAR text[16] = {};
    GetWindowTextW(upper, text, 16);
    EXPECT_EQ(std::u16string(text), u"start");
    DestroyWindow(upper);
}

TEST_F(EditWindow, AParentMayDestroyTheEditWhenToldOfAChange) {
    destroy_on_change = true;
    perform(typed(u"a"));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(changes, 1);
}

}  // namespace
