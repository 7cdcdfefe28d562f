#pragma once
// Every window of the process, keyed by handle, with the top-level Z order. One lock guards
// the table and the windows' fields; window procedures are never called while it is held.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/SurfaceDC.h"
#include "platform/window/Messages.h"

namespace platform {

// A window's own pixels. DCs handed out keep theirs alive, so a resize or a destroy while a
// DC is out never leaves it drawing into freed memory.
struct WindowSurface {
    WindowSurface(int width, int height);
    std::vector<uint32_t> pixels;
    PixelSurface surface;
};

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
};

struct WindowData {
    HWND handle = nullptr;
    DWORD thread_id = 0;
    std::u16string class_name;
    UINT class_style = 0;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    std::u16string text;
    HWND parent = nullptr;  // the parent of a child window, the owner of a top-level one
    RECT rect;              // screen coordinates (top-level) or parent client coordinates (child)
    bool destroying = false;
    bool has_update = false;  // the update region (a bounding rectangle, client coordinates)
    bool erase = false;
    RECT update;
    LONG_PTR user_data = 0;
    LONG_PTR id = 0;
    bool done_button = false;  // the top bar shows an OK button for it
    std::shared_ptr<WindowSurface> surface;
    // Until it first draws, a window shows what lies beneath it rather than a blank surface.
    bool drawn = false;
    std::vector<HWND> children;  // in creation order

    bool visible() const { return (style & 0x10000000u) != 0; }
    bool enabled() const { return (style & 0x08000000u) == 0; }
    bool is_child() const { return (style & 0x40000000u) != 0; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

struct DCRecord {
    HDC dc = nullptr;
    HWND window = nullptr;
    RECT area{};  // what it may draw on, in the window's client coordinates
    std::shared_ptr<WindowSurface> surface;
};

// Larger than any screen: the dirty rectangle of a change to all of it.
inline constexpr LONG whole_screen = 1 << 20;

struct WindowTable {
    std::recursive_mutex lock;
    std::vector<std::shared_ptr<WindowData>> windows;  // creation order
    std::vector<HWND> z_order;                           // top-level windows, top first
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    std::vector<WindowClass> classes;
    std::vector<DCRecord> dcs;
    std::shared_ptr<WindowSurface> screen;  // the composed screen, made at first use
    uint64_t screen_version = 0;            // grows when anything shown may have changed
    // The part of the screen changed since the display last took it (screen coordinates): all
    // of it after most changes, only its own rectangle after a window drew.
    RECT screen_dirty{0, 0, whole_screen, whole_screen};
    uint64_t windows_version = 0;           // grows when the set of top-level windows changes
};

WindowTable& window_table();

// All of these expect window_table().lock to be held.
// Something shown changed: the whole screen, or only area (screen coordinates).
void screen_changed();
void screen_area_changed(RECT area);
// What changed since the last call, inside a screen of width x height (empty for nothing).
RECT take_screen_dirty(int width, int height);
WindowData* find_window(HWND window);
// The top-level window a window belongs to (itself when top-level).
WindowData* top_level_of(WindowData* window);
// A window's client origin in screen coordinates.
POINT screen_origin(const WindowData* window);
// Visible, and every ancestor too.
bool is_shown(const WindowData* window);
// The screen surface (device size), made at first use.
std::shared_ptr<WindowSurface> screen_surface();
bool is_descendant(HWND window, HWND ancestor);  // window itself counts
// The deepest shown window under a screen point, top of the Z order first; or null.
WindowData* window_at(POINT screen);
void remove_window(HWND window);

// Whether a message for msg_window passes a GetMessageW/PeekMessageW window filter.
bool passes_window_filter(HWND msg_window, HWND filter);
// A visible window of the thread, passing the filter, that has an update region; or null.
HWND find_window_to_paint(DWORD thread_id, HWND filter);
// The thread that owns a window (0 for none), and its procedure.
DWORD window_thread(HWND window);
WNDPROC window_procedure(HWND window);

// Calls the window's procedure on the calling thread; 0 when the window is gone or belongs to
// another thread. Takes the lock itself: call it without holding it.
LRESULT call_window(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A fresh handle: the process id in the high half (so other processes' windows are told
// apart), a counter that is never reused in the low half.
HWND make_window_handle();
DWORD process_of_window(HWND window);

// A thread has ended: its windows go away without messages.
void forget_thread_windows(DWORD thread_id);

}  // namespace platform
