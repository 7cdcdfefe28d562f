#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/Rects.h"
#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Keyboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/MenuBar.h"
#include "platform/threads/Threads.h"
#include "platform/window/Cursor.h"
#include "platform/window/InputPanel.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/Termination.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

constexpr uint32_t desktop_colour = 0x00304860;
constexpr uint32_t bar_colour = 0x00102A50;
constexpr uint32_t bar_text_colour = 0x00FFFFFF;
constexpr uint32_t button_colour = 0x00305A90;

struct DisplayState {
    std::mutex lock;
    std::unique_ptr<DisplayBackend> backend;
    DWORD thread = 0;
    int cursor = -1;
};

DisplayState& state() {
    static auto* instance = new DisplayState;
    return *instance;
}

// Pen presses that began in the top bar stay there until the pen lifts.
std::atomic<bool> pen_in_bar{false};
std::mutex compose_lock;

void fill(PixelSurface& s, RECT r, uint32_t colour) {
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, s.width);
    r.bottom = std::min<LONG>(r.bottom, s.height);
    for (LONG y = r.top; y < r.bottom; ++y) {
        std::fill_n(s.pixels + static_cast<size_t>(y) * s.stride + r.left, std::max<LONG>(0, r.right - r.left), colour);
    }
}

// Copies a window's pixels to the screen at origin, inside clip (screen coordinates).
void blit(PixelSurface& screen, const PixelSurface& source, POINT origin, RECT clip) {
    clip.left = std::max<LONG>({clip.left, origin.x, 0});
    clip.top = std::max<LONG>({clip.top, origin.y, 0});
    clip.right = std::min<LONG>({clip.right, origin.x + source.width, screen.width});
    clip.bottom = std::min<LONG>({clip.bottom, origin.y + source.height, screen.height});
    if (clip.right <= clip.left || !source.pixels) {
        return;
    }
    for (LONG y = clip.top; y < clip.bottom; ++y) {
        const uint32_t* from = source.pixels + static_cast<size_t>(y - origin.y) * source.stride + (clip.left - origin.x);
        std::copy_n(from, clip.right - clip.left, screen.pixels + static_cast<size_t>(y) * screen.stride + clip.left);
    }
}

void compose_window(PixelSurface& screen, WindowData* w, RECT clip) {
    if (!w->visible() || !w->surface) {
        return;
    }
    POINT origin = screen_origin(w);
    if (w->drawn) {
        blit(screen, w->surface->surface, origin, clip);
    }
    RECT inner{std::max<LONG>(clip.left, origin.x), std::max<LONG>(clip.top, origin.y),
               std::min<LONG>(clip.right, origin.x + w->width()), std::min<LONG>(clip.bottom, origin.y + w->height())};
    for (HWND h : w->children) {
        if (WindowData* child = find_window(h)) {
            compose_window(screen, child, inner);
        }
    }
}

HFONT bar_font() {
    static HFONT font = [] {
        LOGFONTW lf;
        lf.lfHeight = -std::max(8, bar_height() * 9 / 20);
        lf.lfWeight = FW_BOLD;
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

void draw_text(HDC dc, const std::u16string& text, RECT r, UINT format, COLORREF colour) {
    if (text.empty()) {
        return;
    }
    HGDIOBJ old = SelectObject(dc, bar_font());
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (old) {
        SelectObject(dc, old);
    }
}

COLORREF colorref(uint32_t xrgb) {
    return RGB(static_cast<BYTE>(xrgb >> 16), static_cast<BYTE>(xrgb >> 8), static_cast<BYTE>(xrgb));
}

}  // namespace

RECT done_button_rect() {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* w = find_window(t.active);
    int b = bar_height();
    if (!w || !w->done_button || b == 0) {
        return RECT{};
    }
    int width = b * 2;
    int screen_width = device_profile().screen_width;
    return RECT{screen_width - width, 0, screen_width, b};
}

namespace {

// The top bar and the input panel are drawn whole: an area that touches one takes all of it.
RECT with_whole_bars(RECT area, int width) {
    const RECT bars[] = {RECT{0, 0, width, bar_height()}, input_panel_rect()};
    for (int pass = 0; pass < 2; ++pass) {
        for (const RECT& bar : bars) {
            if (!rect_empty(bar) && rect_overlaps(area, bar)) {
                area = rect_bounds(area, bar);
            }
        }
    }
    return area;
}

// Composes area of the screen (already widened to whole bars) from the windows below it.
void compose_area(PixelSurface& screen, RECT area) {
    WindowTable& t = window_table();
    std::unique_lock guard(t.lock);
    fill(screen, area, desktop_colour);
    for (auto it = t.z_order.rbegin(); it != t.z_order.rend(); ++it) {
        if (WindowData* w = find_window(*it)) {
            compose_window(screen, w, area);
        }
    }
    std::u16string caption;
    bool done = false;
    if (WindowData* active = find_window(t.active)) {
        caption = active->text;
        done = active->done_button;
    }
    guard.unlock();
    if (rect_overlaps(area, input_panel_rect())) {
        draw_input_panel(screen);
    }
    int b = bar_height();
    if (b > 0 && rect_overlaps(area, RECT{0, 0, screen.width, b})) {
        fill(screen, RECT{0, 0, screen.width, b}, bar_colour);
        HDC dc = gdi_create_surface_dc(&screen, RECT{0, 0, screen.width, b}, nullptr);
        RECT text{b / 4, 0, screen.width - (done ? 2 * b : 0), b};
        draw_text(dc, caption, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colorref(bar_text_colour));
        if (done) {
            RECT ok{screen.width - 2 * b + 4, 4, screen.width - 4, b - 4};
            fill(screen, ok, button_colour);
            draw_text(dc, u"ok", ok, DT_CENTER | DT_VCENTER | DT_SINGLELINE, colorref(bar_text_colour));
        }
        gdi_delete_surface_dc(dc);
    }
}

}  // namespace

void compose_screen() {
    std::lock_guard compose_guard(compose_lock);
    std::shared_ptr<WindowSurface> shared;
    {
        std::lock_guard guard(window_table().lock);
        shared = screen_surface();
    }
    PixelSurface& screen = shared->surface;
    compose_area(screen, RECT{0, 0, screen.width, screen.height});
}

namespace {

// compose_changes with compose_lock held; the screen composed on comes back in screen.
RECT compose_changes_locked(std::shared_ptr<WindowSurface>& screen) {
    RECT changed{};
    {
        std::lock_guard guard(window_table().lock);
        screen = screen_surface();
        changed = take_screen_dirty(screen->surface.width, screen->surface.height);
    }
    if (changed.right <= changed.left) {
        return RECT{};
    }
    changed = with_whole_bars(changed, screen->surface.width);
    compose_area(screen->surface, changed);
    return changed;
}

}  // namespace

RECT compose_changes() {
    std::lock_guard compose_guard(compose_lock);
    std::shared_ptr<WindowSurface> screen;
    return compose_changes_locked(screen);
}

void display_pen(PenAction action, POINT screen) {
    int b = bar_height();
    if (action == PenAction::Down && screen.y < b && !GetCapture()) {
        pen_in_bar = true;
        RECT ok = done_button_rect();
        if (screen.x >= ok.left && screen.x < ok.right && screen.y >= ok.top && screen.y < ok.bottom) {
            PostMessageW(GetForegroundWindow(), WM_COMMAND, IDOK, 0);
        }
        return;
    }
    if (pen_in_bar) {
        if (action == PenAction::Up) {
            pen_in_bar = false;
        }
        return;
    }
    if (input_panel_pen(action, screen)) {
        return;
    }
    inject_pen(action, screen);
}

void display_key(UINT virtual_key, bool down, bool repeat, bool text_follows) {
    if (!menu::route_key(virtual_key, down, repeat)) {
        inject_key(virtual_key, down, repeat, text_follows);
    }
}

void display_go_back() {
    ensure_display().go_back();
}

namespace {

// Runs on every thread about to wait for messages; only the display thread does anything.
DWORD display_idle() {
    DisplayState& s = state();
    if (GetCurrentThreadId() != s.thread || !s.backend) {
        return INFINITE;
    }
    if (!s.backend->pump_events()) {
        // Closing the desktop window is a close request to the window in front, as the
        // device's close button is: a modal form closes before the one below it.
        HWND front = GetForegroundWindow();
        if (!front || !PostMessageW(front, WM_CLOSE, 0, 0)) {
            PostQuitMessage(0);
        }
    }
    if (int cursor = current_cursor_id(); cursor != s.cursor) {
        s.cursor = cursor;
        s.backend->show_cursor(cursor);
    }
    if (s.backend->shows()) {
        // Only what changed since the last look is composed and shown.
        std::lock_guard compose_guard(compose_lock);
        std::shared_ptr<WindowSurface> screen;
        RECT changed = compose_changes_locked(screen);
        if (changed.right > changed.left) {
            s.backend->present(screen->surface, changed);
        }
    }
    return s.backend->poll_interval();
}

}  // namespace

namespace {

// Opens the display once; false when an "sdl" display was wanted and none opened (only
// without the fall-back, which runs headless instead).
bool open_display(bool fall_back) {
    DisplayState& s = state();
    std::lock_guard guard(s.lock);
    if (!s.backend) {
        const std::string& wanted = device_profile().display;
        if (wanted == "sdl") {
            s.backend = open_sdl_display();
            if (!s.backend && !fall_back) {
                return false;
            }
            if (!s.backend) {
                std::fprintf(stderr, "platform: no display could be opened; running headless\n");
            }
        } else if (wanted != "headless") {
            std::fprintf(stderr, "platform: unknown display \"%s\"; running headless\n", wanted.c_str());
        }
        if (!s.backend) {
            s.backend = make_headless_display();
        }
        s.thread = GetCurrentThreadId();
        if (HostEvents* host = s.backend->host_events()) {
            std::shared_ptr<ThreadQueue> q = current_queue();
            std::lock_guard queue_guard(q->lock);
            q->host = host;
        }
        set_idle_hook(display_idle);
        // The host ending the program (SIGTERM and the like) ends the display thread's loops.
        quit_thread_on_termination_signals(s.thread);
    }
    return true;
}

}  // namespace

DisplayBackend& ensure_display() {
    open_display(true);
    return *state().backend;
}

DisplayBackend* ensure_wanted_display() {
    if (!open_display(false)) {
        return nullptr;
    }
    return state().backend.get();
}

namespace {

DisplayBackend* display_of_this_thread() {
    DisplayState& s = state();
    std::lock_guard guard(s.lock);
    return s.backend && s.thread == GetCurrentThreadId() ? s.backend.get() : nullptr;
}

}  // namespace

bool read_desktop_clipboard(std::u16string& text) {
    DisplayBackend* display = display_of_this_thread();
    return display && display->read_clipboard(text);
}

bool write_desktop_clipboard(const std::u16string& text) {
    DisplayBackend* display = display_of_this_thread();
    return display && display->write_clipboard(text);
}

}  // namespace platform
