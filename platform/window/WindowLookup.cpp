// Windows by their names: class names and texts (also of another instance's published windows),
// EnumWindows and FindWindowW.

#include "platform/kernel/Core.h"
#include "platform/window/Remote.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using namespace platform::window_steps;

namespace {

// A string of one of our windows, or of another instance's published window, copied out.
int copy_window_string(HWND window, LPWSTR buffer, int capacity, std::u16string WindowData::*local,
                       std::u16string platform::RemoteWindow::*published) {
    Lock guard = lock_table();
    if (WindowData* w = platform::find_window(window)) {
        return copy_text(w->*local, buffer, capacity);
    }
    guard.unlock();
    platform::RemoteWindow remote;
    if (platform::find_remote_window(window, &remote)) {
        return copy_text(remote.*published, buffer, capacity);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

}  // namespace

int GetClassNameW(HWND window, LPWSTR buffer, int capacity) {
    return copy_window_string(window, buffer, capacity, &WindowData::class_name, &platform::RemoteWindow::class_name);
}

int GetWindowTextW(HWND window, LPWSTR buffer, int capacity) {
    return copy_window_string(window, buffer, capacity, &WindowData::text, &platform::RemoteWindow::text);
}

int GetWindowTextLengthW(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    return w ? static_cast<int>(w->text.size()) : 0;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!IsWindow(window) || platform::is_remote_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    static const char16_t empty[] = u"";
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : empty)) ? TRUE : FALSE;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
    if (!callback) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<HWND> local;
    {
        Lock guard = lock_table();
        local = table().z_order;
    }
    for (HWND h : local) {
        if (IsWindow(h) && !callback(h, param)) {
            return TRUE;
        }
    }
    for (const platform::RemoteWindow& remote : platform::remote_windows()) {
        if (!callback(remote.handle, param)) {
            return TRUE;
        }
    }
    return TRUE;
}

HWND FindWindowW(LPCWSTR class_name, LPCWSTR window_name) {
    std::u16string cls = text_of(class_name);
    std::u16string name = text_of(window_name);
    {
        Lock guard = lock_table();
        for (HWND h : table().z_order) {
            WindowData* w = platform::find_window(h);
            if (w && (!class_name || same_class_name(w->class_name, cls)) && (!window_name || w->text == name)) {
                return h;
            }
        }
    }
    for (const platform::RemoteWindow& remote : platform::remote_windows()) {
        if ((!class_name || same_class_name(remote.class_name, cls)) && (!window_name || remote.text == name)) {
            return remote.handle;
        }
    }
    return nullptr;
}
