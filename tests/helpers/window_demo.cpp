// A small demo of the window system: two windows painted by the GDI, pen strokes and typed
// keys on one, a ticking timer on the other, the top bar's OK button and a message box.
//   window_demo            runs until the desktop window is closed
//   window_demo --shots DIR
//                          plays a short script of pen and key input, saving the composed screen
//                          as DIR/demo-N.png; with DEMO_X_SHOT=1 it also takes each shot of the
//                          whole X screen with "import -window root" (DIR/x-N.png)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/InputPanel.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Window.h"
#include "tests/fixtures/TempDir.h"

namespace {

HWND clock_window = nullptr;
HWND pad_window = nullptr;
int ticks = 0;
std::vector<POINT> strokes;
std::u16string typed;
std::string shot_folder;
int script_step = 0;
int shots = 0;
bool x_shots = false;

HFONT demo_font() {
    static HFONT font = [] {
        LOGFONTW lf;
        lf.lfHeight = -24;
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void text(HDC dc, const std::u16string& s, RECT r, COLORREF colour) {
    HGDIOBJ old = SelectObject(dc, demo_font());
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r, DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
}

LRESULT clock_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        ++ticks;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        fill(dc, r, RGB(0x20, 0x70, 0xB0));
        // A bar that grows with the ticks, so each shot shows the timer ran.
        fill(dc, RECT{20, r.bottom - 40, 20 + (ticks * 4) % (r.right - 40), r.bottom - 20}, RGB(0xF0, 0xC0, 0x30));
        std::string count = "ticks: " + std::to_string(ticks);
        text(dc, u"Clock window", RECT{20, 20, r.right, 60}, RGB(255, 255, 255));
        text(dc, std::u16string(count.begin(), count.end()), RECT{20, 60, r.right, 100}, RGB(255, 255, 255));
        EndPaint(window, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT pad_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        strokes.clear();
        [[fallthrough]];
    case WM_MOUSEMOVE:
        strokes.push_back(POINT{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>(lParam >> 16)});
        SetCapture(window);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_CHAR:
        if (wParam == u'm') {
            MessageBoxW(window, u"A message box over the pad. Enter or OK closes it.", u"Demo", MB_OK);
        } else if (wParam >= 32) {
            typed.push_back(static_cast<char16_t>(wParam));
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_COMMAND:
        if ((wParam & 0xFFFF) == IDOK) {
            MessageBoxW(window, u"The top bar's OK button was tapped.", u"Demo", MB_OK);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        fill(dc, r, RGB(0xFA, 0xFA, 0xF0));
        text(dc, u"Pad: " + typed, RECT{10, 10, r.right, 50}, RGB(0x20, 0x20, 0x20));
        // Pen moves coalesce when the pad falls behind, so the points are joined by lines.
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xC0, 0x20, 0x20));
        HGDIOBJ old_pen = SelectObject(dc, pen);
        for (int offset = -1; offset <= 1; ++offset) {
            std::vector<POINT> line = strokes;
            for (POINT& p : line) {
                p.y += offset;
            }
            Polyline(dc, line.data(), static_cast<int>(line.size()));
        }
        SelectObject(dc, old_pen);
        DeleteObject(pen);
        for (const POINT& p : strokes) {
            fill(dc, RECT{p.x - 3, p.y - 3, p.x + 3, p.y + 3}, RGB(0xC0, 0x20, 0x20));
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void shot() {
    ++shots;
    std::string name = shot_folder + "/demo-" + std::to_string(shots) + ".png";
    if (!platform::headless::save_screen_png(name)) {
        std::fprintf(stderr, "window_demo: could not write %s\n", name.c_str());
    }
    if (x_shots) {
        fixtures::run_command("import -window root " + shot_folder + "/x-" + std::to_string(shots) + ".png");
    }
    std::printf("shot %d\n", shots);
}

// One step every 250 ms; steps that open a message box return only when it closes, and the
// script goes on from inside the box's loop meanwhile.
void CALLBACK_script(HWND, UINT, uintptr_t, DWORD) {
    namespace h = platform::headless;
    RECT pad;
    GetWindowRect(pad_window, &pad);
    int step = script_step++;
    switch (step) {
    case 0:
        h::pen_down(pad.left + 40, pad.top + 80);
        break;
    case 1:
        h::pen_move(pad.left + 140, pad.top + 160);
        break;
    case 2:
        h::pen_move(pad.left + 240, pad.top + 90);
        break;
    case 3:
        h::pen_move(pad.left + 340, pad.top + 170);
        h::pen_up(pad.left + 340, pad.top + 170);
        for (UINT key : {'H', 'E', 'L', 'L', 'O'}) {
            h::key_press(key);
        }
        break;
    case 4: shot(); break;
    case 5: {
        RECT clock;
        GetWindowRect(clock_window, &clock);
        h::tap(clock.left + 10, clock.top + 10);  // brings the clock window forward
        break;
    }
    case 6: shot(); break;
    case 7: {
        h::tap(pad.left + 10, pad.top + 200);  // the pad again, then its message box
        break;
    }
    case 8: h::key_press('M'); break;  // opens the box; the script goes on inside it
    case 9: break;
    case 10: shot(); break;
    case 11: h::key_press(VK_RETURN); break;
    case 12: shot(); break;
    default: PostQuitMessage(0); break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--shots") {
        shot_folder = argv[2];
        const char* x = std::getenv("DEMO_X_SHOT");
        x_shots = x && *x == '1';
    }
    platform::DisplayBackend& display = platform::ensure_display();
    std::printf("display: %s\n", display.name());
    WNDCLASSW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = clock_proc;
    wc.lpszClassName = u"DemoClock";
    RegisterClassW(&wc);
    wc.lpfnWndProc = pad_proc;
    wc.lpszClassName = u"DemoPad";
    RegisterClassW(&wc);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int half = (work.bottom - work.top) / 2;
    clock_window = CreateWindowExW(0, u"DemoClock", u"Clock", WS_POPUP | WS_VISIBLE, work.left, work.top,
                                   work.right - work.left, half, nullptr, nullptr, nullptr, nullptr);
    pad_window = CreateWindowExW(0, u"DemoPad", u"Pad", WS_POPUP | WS_VISIBLE, work.left, work.top + half - 20,
                                 work.right - work.left, work.bottom - work.top - half + 20, nullptr, nullptr, nullptr,
                                 nullptr);
    SHDoneButton(pad_window, SHDB_SHOW);
    SetTimer(clock_window, 1, 100, nullptr);
    if (!shot_folder.empty()) {
        SetTimer(nullptr, 0, 250, CALLBACK_script);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return shots == 4 || shot_folder.empty() ? 0 : 1;
}
