// Which window takes the input: enabling (IsWindowEnabled, EnableWindow), activation
// (SetForegroundWindow, GetForegroundWindow, Get/SetActiveWindow), focus (SetFocus, GetFocus) and
// capture (SetCapture, ReleaseCapture, GetCapture).

#include "platform/kernel/Core.h"
#include "platform/window/Remote.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using platform::WindowTable;
using namespace platform::window_steps;

BOOL IsWindowEnabled(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    return w && w->enabled() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    HWND lost_capture = nullptr;
    bool lost_focus = false;
    bool was_disabled = false;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        was_disabled = !w->enabled();
        if (was_disabled == !enable) {
            return was_disabled ? TRUE : FALSE;
        }
        if (enable) {
            w->style &= ~WS_DISABLED;
        } else {
            w->style |= WS_DISABLED;
            WindowTable& t = table();
            if (t.capture && platform::is_descendant(t.capture, window)) {
                lost_capture = t.capture;
                t.capture = nullptr;
            }
            lost_focus = t.focus && platform::is_descendant(t.focus, window);
        }
        screen_changed();
    }
    if (lost_capture) {
        SendMessageW(lost_capture, WM_CAPTURECHANGED, 0, 0);
    }
    if (lost_focus) {
        SetFocus(nullptr);
    }
    SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return was_disabled ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND window) {
    if (platform::is_remote_window(window)) {
        return platform::remote_set_foreground(window) ? TRUE : FALSE;
    }
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        window = platform::top_level_of(w)->handle;
    }
    activate(window);
    return TRUE;
}

HWND GetForegroundWindow() {
    Lock guard = lock_table();
    return table().active;
}

HWND GetActiveWindow() {
    Lock guard = lock_table();
    return table().active;
}

HWND SetActiveWindow(HWND window) {
    HWND old = GetActiveWindow();
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w || w->is_child()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    activate(window);
    return old;
}

HWND SetFocus(HWND window) {
    Lock guard = lock_table();
    HWND old = table().focus;
    if (window) {
        WindowData* w = platform::find_window(window);
        if (!w || w->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!w->enabled()) {
            return nullptr;
        }
        if (old == window) {
            return old;
        }
        HWND top = platform::top_level_of(w)->handle;
        if (table().active != top) {
            guard.unlock();
            activate(top);
            guard.lock();
            if (!platform::find_window(window)) {
                return nullptr;
            }
            old = table().focus;
            if (old == window) {
                return old;
            }
        }
    } else if (!old) {
        return nullptr;
    }
    table().focus = window;
    guard.unlock();
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window) {
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    Lock guard = lock_table();
    return table().focus;
}

HWND SetCapture(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND old = table().capture;
    table().capture = window;
    guard.unlock();
    if (old && old != window) {
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return old;
}

BOOL ReleaseCapture() {
    Lock guard = lock_table();
    table().capture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    Lock guard = lock_table();
    return table().capture;
}
