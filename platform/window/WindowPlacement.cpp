// Where a window stands and whether it shows: MoveWindow, SetWindowPos, the window and client
// rectangles and their points, GetParent, ShowWindow and IsWindowVisible.

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/window/Remote.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using namespace platform::window_steps;

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    if (!place(window, x, y, width, height, true)) {
        return FALSE;
    }
    if (repaint) {
        InvalidateRect(window, nullptr, TRUE);
    }
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    constexpr UINT known = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                           SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_NOOWNERZORDER;
    if (flags & ~known) {
        unsupported("SetWindowPos flags", flags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT r;
    bool top_level = false;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        r = w->rect;
        top_level = !w->is_child();
        if (!(flags & SWP_NOZORDER) && top_level) {
            auto& z = table().z_order;
            if (insert_after == HWND_BOTTOM) {
                std::erase(z, window);
                z.push_back(window);
            } else if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
                raise(window);
            } else if (platform::find_window(insert_after) && insert_after != window) {
                std::erase(z, window);
                auto it = std::find(z.begin(), z.end(), insert_after);
                z.insert(it == z.end() ? z.end() : it + 1, window);
            }
            screen_changed();
        }
    }
    if (!(flags & SWP_NOMOVE)) {
        r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        place(window, r.left, r.top, r.right - r.left, r.bottom - r.top, true);
        if (!(flags & SWP_NOREDRAW)) {
            InvalidateRect(window, nullptr, TRUE);
        }
    }
    if (flags & SWP_HIDEWINDOW) {
        hide(window);
    }
    if (flags & SWP_SHOWWINDOW) {
        show(window, !(flags & SWP_NOACTIVATE));
    } else if (top_level && !(flags & SWP_NOACTIVATE) && !(flags & SWP_HIDEWINDOW)) {
        activate(window);
    }
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = platform::screen_origin(w);
    *rect = RECT{o.x, o.y, o.x + w->width(), o.y + w->height()};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = RECT{0, 0, w->width(), w->height()};
    return TRUE;
}

namespace {

// Moves the point by the window's client origin on the screen, sign +1 or -1.
BOOL move_by_origin(HWND window, POINT* point, int sign) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !point) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = platform::screen_origin(w);
    point->x += sign * o.x;
    point->y += sign * o.y;
    return TRUE;
}

}  // namespace

BOOL ClientToScreen(HWND window, POINT* point) { return move_by_origin(window, point, 1); }

BOOL ScreenToClient(HWND window, POINT* point) { return move_by_origin(window, point, -1); }

HWND GetParent(HWND window) {
    Lock guard = lock_table();
    if (WindowData* w = platform::find_window(window)) {
        return w->parent;
    }
    guard.unlock();
    platform::RemoteWindow remote;
    return platform::find_remote_window(window, &remote) ? remote.parent : nullptr;
}

BOOL ShowWindow(HWND window, int command) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    switch (command) {
    case SW_HIDE:
        return hide(window) ? TRUE : FALSE;
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE:
        return show(window, true) ? TRUE : FALSE;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        return show(window, false) ? TRUE : FALSE;
    default:
        unsupported("ShowWindow command", command);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL IsWindowVisible(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    return w && platform::is_shown(w) ? TRUE : FALSE;
}
