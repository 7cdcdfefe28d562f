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
    bool visible = false;
    bool enabled = true;
    bool destroying = false;
    bool has_update = false;  // the update region (a bounding rectangle, client coordinates)
    RECT update;
    LONG_PTR user_data = 0;
    std::vector<uint32_t> pixels;  // the window's own surface, width x height
    PixelSurface surface;
    std::vector<HWND> children;  // in creation order
};

struct WindowTable {
    std::recursive_mutex lock;
    std::vector<std::shared_ptr<WindowData>> windows;  // creation order
    std::vector<HWND> z_order;                           // top-level windows, top first
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
};

WindowTable& window_table();

// All of these expect window_table().lock to be held.
WindowData* find_window(HWND window);
bool is_descendant(HWND window, HWND ancestor);  // window itself counts
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
