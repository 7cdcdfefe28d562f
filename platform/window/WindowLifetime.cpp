// A window's life: CreateWindowExW, DestroyWindow, IsWindow, the default and the subclassed
// window procedures, and the window longs (GetWindowLongW, SetWindowLongW).

#include "platform/display/Display.h"
#include "platform/edit/Edit.h"
#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"
#include "platform/window/Remote.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using namespace platform::window_steps;

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    auto window = std::make_shared<WindowData>();
    {
        Lock guard = lock_table();
        platform::WindowClass* c = find_class(text_of(class_name));
        if (!c && platform::register_system_class(text_of(class_name))) {
            c = find_class(text_of(class_name));
        }
        if (!c) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        WindowData* parent_data = platform::find_window(parent);
        if ((style & WS_CHILD) && !parent_data) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!(style & WS_CHILD) && parent_data) {
            parent = platform::top_level_of(parent_data)->handle;  // a popup is owned by a top-level window
        }
        if (!parent_data) {
            parent = nullptr;
        }
        if (!(style & WS_CHILD)) {
            RECT work = platform::work_area();
            if (x == CW_USEDEFAULT) {
                x = work.left;
                y = work.top;
            }
            if (width == CW_USEDEFAULT) {
                width = work.right - work.left;
                height = work.bottom - work.top;
            }
        } else {
            x = x == CW_USEDEFAULT ? 0 : x;
            width = width == CW_USEDEFAULT ? 0 : width;
        }
        window->handle = platform::make_window_handle();
        window->thread_id = GetCurrentThreadId();
        window->class_name = c->name;
        window->class_style = c->style;
        window->proc = c->proc;
        window->style = style & ~WS_VISIBLE;
        window->ex_style = ex_style;
        window->text = text_of(window_name);
        window->parent = parent;
        window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
        resize_surface(window.get());
        table().windows.push_back(window);
        if (style & WS_CHILD) {
            parent_data->children.push_back(window->handle);
        } else {
            table().z_order.insert(table().z_order.begin(), window->handle);
        }
        windows_changed();
    }
    platform::current_queue();
    if (!(style & WS_CHILD)) {
        platform::ensure_display();
    }
    HWND handle = window->handle;
    CREATESTRUCTW create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cx = window->width();
    create.cy = window->height();
    create.x = window->rect.left;
    create.y = window->rect.top;
    create.style = static_cast<LONG>(style);
    create.lpszName = window_name;
    create.lpszClass = class_name;
    create.dwExStyle = ex_style;
    if (platform::call_window(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    place(handle, window->rect.left, window->rect.top, window->width(), window->height(), true);
    if (style & WS_VISIBLE) {
        show(handle, true);
    }
    platform::publish_windows();
    return handle;
}

BOOL DestroyWindow(HWND window) {
    std::vector<HWND> owned;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w || w->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (w->thread_id != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        w->destroying = true;
        for (auto& other : table().windows) {
            if (!other->is_child() && other->parent == window) {
                owned.push_back(other->handle);
            }
        }
    }
    for (HWND h : owned) {
        DestroyWindow(h);
    }
    hide(window);
    HWND focus = nullptr;
    bool still_active = false;
    HWND next = nullptr;
    {
        Lock guard = lock_table();
        // Hidden already but made active again (a focus given to it on its way out): the keys
        // must not be left with a window that is gone.
        still_active = table().active == window;
        if (still_active) {
            next = focus_fallback_after_hide(platform::find_window(window));
        }
    }
    if (still_active) {
        activate(next);
    }
    {
        Lock guard = lock_table();
        if (table().capture && platform::is_descendant(table().capture, window)) {
            table().capture = nullptr;
        }
        if (table().focus && platform::is_descendant(table().focus, window)) {
            focus = table().focus;
        }
    }
    if (focus) {
        SetFocus(nullptr);
    }
    destroy_tree(window);
    {
        Lock guard = lock_table();
        windows_changed();
    }
    platform::publish_windows();
    return TRUE;
}

BOOL IsWindow(HWND window) {
    Lock guard = lock_table();
    if (platform::find_window(window)) {
        return TRUE;
    }
    guard.unlock();
    return platform::is_remote_window(window) && platform::remote_window_exists(window) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        if ((wParam & 0xFFFF) != WA_INACTIVE) {
            SetFocus(window);
        }
        return 0;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    case WM_SETTEXT: {
        Lock guard = lock_table();
        if (WindowData* w = platform::find_window(window)) {
            w->text = text_of(reinterpret_cast<LPCWSTR>(lParam));
            screen_changed();
            guard.unlock();
            platform::publish_windows();
            return TRUE;
        }
        return FALSE;
    }
    case WM_GETTEXT: {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        return w ? copy_text(w->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam)) : 0;
    }
    case WM_GETTEXTLENGTH: {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(window, message, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongW(HWND window, int index) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->ex_style);
    case GWL_USERDATA: return w->user_data;
    case GWL_ID: return w->id;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
    case GWL_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWL_STYLE:
        old = static_cast<LONG_PTR>(w->style);
        w->style = static_cast<DWORD>(value);
        screen_changed();
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(w->ex_style);
        w->ex_style = static_cast<DWORD>(value);
        return old;
    case GWL_USERDATA:
        old = w->user_data;
        w->user_data = value;
        return old;
    case GWL_ID:
        old = w->id;
        w->id = value;
        return old;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}
