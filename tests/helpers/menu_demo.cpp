// The platform's menu bar and popup menus on the device the environment describes
// (VANTREL_DEVICE, VANTREL_OS_MAJOR, VANTREL_SCREEN): a window with a bar of soft keys (or, on a
// Pocket PC before version 5, a tool bar with images), a menu with a checked language submenu,
// a separator, a disabled entry and a shortcut text.
//   menu_demo              runs until the desktop window is closed (F1, F2, the arrows, Enter, Esc)
//   menu_demo --shots DIR  opens the bar's menu and its submenu by keys, saving the screen as
//                          DIR/menu-1.png (the bar), menu-2.png (the menu), menu-3.png (the submenu)
#include <cstdio>
#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuBar.h"
#include "platform/resource/Resources.h"
#include "platform/window/Window.h"

namespace {

constexpr int left_key = 100;
constexpr int right_key = 101;
constexpr int phone_left = 18201;
constexpr int phone_right = 18200;
constexpr UINT cmd_english = 200;
constexpr UINT cmd_german = 201;
constexpr UINT cmd_help = 202;
constexpr UINT cmd_about = 203;
constexpr UINT cmd_exit = 204;

HWND owner = nullptr;
HWND bar = nullptr;
HMENU drop_down = nullptr;
std::u16string language = u"English";
std::u16string last_command = u"(none)";
std::string shots;
int step = 0;

bool phone() {
    return platform::device_profile().type == platform::DeviceType::Smartphone;
}

bool soft_keys() {
    return phone() || platform::device_profile().os_major >= 5;
}

void fill_menu(HMENU menu) {
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
    HMENU languages = CreatePopupMenu();
    AppendMenuW(languages, language == u"English" ? MF_CHECKED : 0, cmd_english, u"English");
    AppendMenuW(languages, language == u"German" ? MF_CHECKED : 0, cmd_german, u"German");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<uintptr_t>(languages), u"&Language");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, 0, cmd_help, u"Help\tF3");
    AppendMenuW(menu, MF_GRAYED, cmd_about, u"About");
    AppendMenuW(menu, 0, cmd_exit, u"Exit");
}

void set_text(int command, const char16_t* text) {
    TBBUTTONINFO info;
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_STATE;
    info.fsState = TBSTATE_ENABLED;
    info.pszText = const_cast<LPWSTR>(text);
    SendMessageW(bar, TB_SETBUTTONINFO, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
}

void insert(int index, int image, int command, BYTE style, const char16_t* text, uintptr_t data = 0) {
    TBBUTTON b;
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = style;
    b.dwData = data;
    b.iString = text ? reinterpret_cast<intptr_t>(text) : 0;
    SendMessageW(bar, TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
}

void make_bar() {
    SHMENUBARINFO info;
    info.cbSize = sizeof info;
    info.hwndParent = owner;
    if (phone()) {
        info.nToolBarId = platform::two_key_bar_resource;
        info.hInstRes = LoadLibraryExW(u"tapres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    } else {
        info.nToolBarId = soft_keys() ? 1117 : 117;
        info.hInstRes = GetModuleHandleW(nullptr);
    }
    if (!SHCreateMenuBar(&info)) {
        std::fprintf(stderr, "menu_demo: no menu bar\n");
        return;
    }
    bar = info.hwndMB;
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_ESCAPE, 0x00030003);
    if (phone()) {
        FreeLibrary(info.hInstRes);
        set_text(phone_left, u"Select");
        set_text(phone_right, u"Menu");
        return;
    }
    while (SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) > 0) {
        SendMessageW(bar, TB_DELETEBUTTON, 0, 0);
    }
    drop_down = CreatePopupMenu();
    auto menu = reinterpret_cast<uintptr_t>(drop_down);
    if (soft_keys()) {
        insert(0, I_IMAGENONE, left_key, TBSTYLE_AUTOSIZE, u"Select");
        insert(1, I_IMAGENONE, right_key, 0x98, u"Menu", menu);
        return;
    }
    bool large = platform::device_profile().dpi == 192;
    int size = large ? 32 : 16;
    int first = CommandBar_AddBitmap(bar, GetModuleHandleW(nullptr), large ? 125 : 115, 6, size, size);
    insert(0, first, right_key, 0x98, u"Menu", menu);
    insert(1, I_IMAGENONE, 0, TBSTYLE_SEP, nullptr);
    insert(2, first + 1, 102, 0, nullptr);
    insert(3, first + 2, 103, 0, nullptr);
    insert(4, first + 5, left_key, TBSTYLE_AUTOSIZE, u"Save");
}

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    for (int y = 0; y < r.bottom; y += 4) {
        int t = y * 255 / std::max<int>(1, r.bottom);
        HBRUSH brush = CreateSolidBrush(RGB(0x2B - t * 0x18 / 255, 0x3D - t * 0x1D / 255, 0x52 - t * 0x24 / 255));
        RECT band{0, y, r.right, y + 4};
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    LOGFONTW lf;
    lf.lfHeight = -std::max(10, platform::bar_height() * 9 / 20);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    std::u16string lines = u"Language: " + language + u"\nLast command: " + last_command;
    RECT text{8, 8, r.right - 8, r.bottom};
    DrawTextW(dc, lines.c_str(), static_cast<int>(lines.size()), &text, DT_LEFT);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &ps);
}

void command(UINT id) {
    switch (id) {
    case cmd_english: language = u"English"; break;
    case cmd_german: language = u"German"; break;
    case cmd_exit: DestroyWindow(owner); return;
    default: break;
    }
    last_command = std::u16string(u"#") + static_cast<char16_t>(u'0' + id / 100) +
                   static_cast<char16_t>(u'0' + id / 10 % 10) + static_cast<char16_t>(u'0' + id % 10);
    InvalidateRect(owner, nullptr, FALSE);
}

void open_phone_menu() {
    HMENU menu = CreatePopupMenu();
    fill_menu(menu);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT p{work.right - work.left, work.bottom - work.top + 1};
    ClientToScreen(owner, &p);
    UINT chosen = static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, p.x, p.y, owner, nullptr));
    DestroyMenu(menu);
    if (chosen) {
        command(chosen);
    }
}

LRESULT owner_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_INITMENUPOPUP:
        fill_menu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        if ((wParam & 0xFFFF) == phone_right) {
            open_phone_menu();
        } else {
            command(static_cast<UINT>(wParam & 0xFFFF));
        }
        return 0;
    case WM_HOTKEY:
        if (lParam & MOD_KEYUP) {
            DestroyWindow(window);  // Back on the main window leaves
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void shot(int n) {
    std::string path = shots + "/menu-" + std::to_string(n) + ".png";
    if (!platform::headless::save_screen_png(path)) {
        std::fprintf(stderr, "menu_demo: cannot write %s\n", path.c_str());
    }
}

// The script runs from a thread timer, which the menus' own loop dispatches too.
void CALLBACK_script(HWND, UINT, uintptr_t, DWORD) {
    namespace h = platform::headless;
    switch (step++) {
    case 0:
        shot(1);
        if (soft_keys()) {
            h::key_press(VK_TSOFT2);  // opens the menu
        } else {
            RECT r = platform::menu::button_rect(bar, 0);
            h::tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        break;
    case 1:
        shot(2);
        if (!soft_keys()) {
            h::key_press(VK_DOWN);  // a tap opens it with nothing lit
        }
        h::key_press(VK_RIGHT);  // into the language submenu
        break;
    case 2:
        shot(3);
        h::key_press(VK_DOWN);
        h::key_press(VK_RETURN);  // German
        break;
    case 3:
        DestroyWindow(owner);
        break;
    default:
        break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--shots") {
        shots = argv[2];
    }
    WNDCLASSW wc;
    wc.lpfnWndProc = owner_proc;
    wc.lpszClassName = u"MenuDemo";
    RegisterClassW(&wc);
    owner = CreateWindowExW(0, u"MenuDemo", u"Menu demo", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                            nullptr, nullptr, nullptr);
    std::printf("display: %s\n", platform::ensure_display().name());
    make_bar();
    if (!shots.empty()) {
        SetTimer(nullptr, 0, 50, CALLBACK_script);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (drop_down) {
        DestroyMenu(drop_down);
    }
    return shots.empty() || language == u"German" ? 0 : 1;  // the script chose German
}
