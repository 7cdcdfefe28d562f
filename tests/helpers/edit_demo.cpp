// A demo of the platform's edit window, clipboard, mouse wheel and screen turning: a window with
// a name field and a read-only field, and lines telling what the window system reports (the
// text of each EN_CHANGE, the wheel's notches, the screen's size).
//   edit_demo              runs until the desktop window is closed: type with the desktop
//                          keyboard, select with Shift or the mouse, Ctrl+C/X/V, the wheel, F5
//   edit_demo --shots DIR  plays a short script headless and saves DIR/edit-N.png
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/edit/Edit.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Unicode.h"
#include "platform/window/Window.h"

namespace {

namespace h = platform::headless;

constexpr int name_id = 1;
constexpr int fixed_id = 2;

HWND demo = nullptr;
HWND name_edit = nullptr;
HWND fixed_edit = nullptr;
std::u16string changed = u"(nothing yet)";
int notches = 0;

int scale() {
    return std::max(1, platform::device_profile().dpi / 96);
}

HFONT label_font() {
    static HFONT font = [] {
        LOGFONTW lf;
        lf.lfHeight = -10 * scale();
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void label(HDC dc, const std::u16string& text, int y) {
    RECT r{8 * scale(), y, 2000, y + 16 * scale()};
    SetTextColor(dc, RGB(0x20, 0x30, 0x40));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

void lay_out(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    int s = scale();
    int width = client.right - 16 * s;
    MoveWindow(name_edit, 8 * s, 26 * s, width, 18 * s, TRUE);
    MoveWindow(fixed_edit, 8 * s, 70 * s, width, 18 * s, TRUE);
}

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    fill(dc, client, RGB(0xF2, 0xF4, 0xF7));
    HGDIOBJ old = SelectObject(dc, label_font());
    int s = scale();
    HDC screen = GetDC(nullptr);
    std::string size = std::to_string(GetDeviceCaps(screen, HORZRES)) + " x " + std::to_string(GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);
    label(dc, u"Ringtone name", 8 * s);
    label(dc, u"Read only", 52 * s);
    label(dc, u"Changed to: " + changed, 100 * s);
    label(dc, platform::utf16_from_utf8("Wheel: " + std::to_string(notches) + " notches"), 118 * s);
    label(dc, platform::utf16_from_utf8("Screen: " + size), 136 * s);
    label(dc, u"Ctrl+C/X/V, Shift+arrows, mouse; F5 turns", 154 * s);
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT demo_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        name_edit = CreateWindowExW(0, u"edit", nullptr, style, 0, 0, 100, 30, window,
                                    reinterpret_cast<HMENU>(static_cast<intptr_t>(name_id)), nullptr, nullptr);
        fixed_edit = CreateWindowExW(0, u"edit", u"Nobody types here", style | ES_READONLY, 0, 0, 100, 30, window,
                                     reinterpret_cast<HMENU>(static_cast<intptr_t>(fixed_id)), nullptr, nullptr);
        SendMessageW(name_edit, EM_SETINPUTMODE, 0, EIM_TEXT);
        return 0;
    }
    case WM_SIZE:
        lay_out(window);
        return 0;
    case WM_ACTIVATE:
        if (wParam != WA_INACTIVE) {
            SetFocus(name_edit);
        }
        return 0;
    case WM_COMMAND:
        if (((wParam >> 16) & 0xFFFF) == EN_CHANGE && (wParam & 0xFFFF) == name_id) {
            WCHAR text[256] = {};
            GetWindowTextW(name_edit, text, 256);
            changed = u"\"" + std::u16string(text) + u"\"";
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_MOUSEWHEEL:
        notches += static_cast<int16_t>(wParam >> 16) / WHEEL_DELTA;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET) {
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            MoveWindow(window, work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
        }
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void chord(UINT modifier, UINT key) {
    h::key_down(modifier);
    h::desktop_type(key, u"");
    pump();
    h::key_up(modifier);
    pump();
}

void type(const std::u16string& text) {
    for (char16_t c : text) {
        UINT key = c >= u'a' && c <= u'z' ? static_cast<UINT>(c - u'a' + 'A') : c == u' ' ? VK_SPACE : 0;
        h::desktop_type(key, std::u16string(1, c));
    }
    pump();
}

bool shot(const std::string& folder, int n) {
    pump();
    std::string path = folder + "/edit-" + std::to_string(n) + ".png";
    bool saved = h::save_screen_png(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", path.c_str());
    return saved;
}

// Types a name, selects its last word, cuts and pastes it back, turns the wheel and the screen.
bool play_script(const std::string& folder) {
    h::use_test_clock(1000);  // the caret stays lit in every shot
    pump();
    type(u"ringtone caf\u00e9");
    bool ok = shot(folder, 1);
    h::key_down(VK_SHIFT);
    chord(VK_CONTROL, VK_LEFT);
    h::key_up(VK_SHIFT);
    ok = shot(folder, 2) && ok;
    chord(VK_CONTROL, 'X');
    ok = shot(folder, 3) && ok;
    h::desktop_type(VK_HOME, u"");
    chord(VK_CONTROL, 'V');
    type(u" ");
    RECT r;
    GetWindowRect(demo, &r);
    h::wheel(r.left + 20, r.bottom - 20, 3);
    ok = shot(folder, 4) && ok;
    h::turn_screen();
    pump();
    h::desktop_type(VK_END, u"");
    h::key_down(VK_SHIFT);
    chord(VK_CONTROL, VK_LEFT);
    h::key_up(VK_SHIFT);
    ok = shot(folder, 5) && ok;
    h::turn_screen();
    h::release_clock();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc == 3 && std::string(argv[1]) == "--shots" ? argv[2] : "";
    platform::DisplayBackend& display = platform::ensure_display();
    std::printf("display: %s\n", display.name());
    WNDCLASSW wc;
    wc.lpfnWndProc = demo_proc;
    wc.lpszClassName = u"EditDemo";
    RegisterClassW(&wc);
    demo = CreateWindowExW(0, u"EditDemo", u"Edit demo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                           nullptr, nullptr, nullptr, nullptr);
    if (!folder.empty()) {
        bool ok = play_script(folder);
        DestroyWindow(demo);
        return ok ? 0 : 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
