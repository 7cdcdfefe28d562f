#pragma once
// A window hook sees every message of a native window before the window's own procedure
// and may answer it in the window's place. Several hooks may sit on one window; the one
// attached last sees a message first. The hooks of a window are detached on WM_DESTROY.
#include "platform/window/Window.h"

namespace skinner {

// What a hook's window_proc may change: clearing default_processing consumes the message.
struct HookFlags {
    bool default_processing = true;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class WindowHook {
public:
    WindowHook() = default;
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;

    // The base consumes nothing.
    virtual LRESULT window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags);
    virtual ~WindowHook();

    // A hook that is attached already leaves its window first.
    void attach(HWND window);
    void detach();
    HWND attached_window() const { return window_; }

private:
    HWND window_ = nullptr;
};

// The procedure that the hook table installs in place of a hooked window's own.
LRESULT hook_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the hook table has an entry for the window (for tests).
bool window_has_hooks(HWND window);

}  // namespace skinner
