#include "platform/window/WindowManager.h"

#include <algorithm>
#include <cstdio>

#include "platform/display/Display.h"
#include "platform/edit/Edit.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Time.h"
#include "platform/threads/Threads.h"
#include "platform/window/Remote.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowTable.h"

using platform::WindowData;
using platform::WindowTable;

namespace {

constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr UINT USER_TIMER_MINIMUM = 10;

using Lock = std::unique_lock<std::recursive_mutex>;

Lock lock_table() {
    return Lock(platform::window_table().lock);
}

WindowTable& table() {
    return platform::window_table();
}

void unsupported(const char* what, long long value) {
    std::fprintf(stderr, "platform: %s %lld is not supported\n", what, value);
}

bool same_class_name(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i] >= u'a' && a[i] <= u'z' ? static_cast<char16_t>(a[i] - 32) : a[i];
        char16_t y = b[i] >= u'a' && b[i] <= u'z' ? static_cast<char16_t>(b[i] - 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

platform::WindowClass* find_class(const std::u16string& name) {
    for (auto& c : table().classes) {
        if (same_class_name(c.name, name)) {
            return &c;
        }
    }
    return nullptr;
}

LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(low)) |
                               (static_cast<DWORD>(static_cast<WORD>(high)) << 16));
}

void screen_changed() {
    platform::screen_changed();
}

void windows_changed() {
    ++table().windows_version;
    platform::screen_changed();
}

// The queue of the thread that owns a window, poked so a waiting GetMessageW looks again.
void poke_owner(DWORD thread_id) {
    if (auto q = platform::find_queue(thread_id)) {
        q->poke();
    }
}

// Raises a top-level window, and the visible windows it owns above it.
void raise(HWND window) {
    auto& z = table().z_order;
    std::erase(z, window);
    z.insert(z.begin(), window);
    std::vector<HWND> owned;
    for (auto& w : table().windows) {
        if (!w->is_child() && w->parent == window && w->visible() && !w->destroying) {
            owned.push_back(w->handle);
        }
    }
    for (HWND h : owned) {
        raise(h);
    }
    screen_changed();
}

HWND focus_fallback_after_hide(WindowData* hidden) {
    // The owner takes over when it can; else the next shown top-level window.
    if (WindowData* owner = platform::find_window(hidden->parent)) {
        if (owner->visible() && owner->enabled() && !owner->destroying) {
            return owner->handle;
        }
    }
    for (HWND h : table().z_order) {
        WindowData* w = platform::find_window(h);
        if (w && w != hidden && w->visible() && !w->destroying && w->thread_id == hidden->thread_id &&
            !(w->ex_style & WS_EX_NOACTIVATE)) {
            return h;
        }
    }
    return nullptr;
}

void activate(HWND window);

// Hides a window; an active one hands activation to its owner or the next window.
bool hide(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !w->visible()) {
        return false;
    }
    w->style &= ~WS_VISIBLE;
    screen_changed();
    HWND lost_capture = nullptr;
    if (table().capture && platform::is_descendant(table().capture, window)) {
        lost_capture = table().capture;
        table().capture = nullptr;
    }
    HWND next = nullptr;
    bool was_active = !w->is_child() && table().active == window;
    if (was_active) {
        next = focus_fallback_after_hide(w);
    }
    bool focus_inside = table().focus && platform::is_descendant(table().focus, window);
    bool destroying = w->destroying;
    guard.unlock();
    // A hidden holder loses the capture as a disabled one does; a dying one hears nothing more.
    if (lost_capture && !destroying) {
        SendMessageW(lost_capture, WM_CAPTURECHANGED, 0, 0);
    }
    if (was_active) {
        activate(next);
    } else if (focus_inside) {
        SetFocus(nullptr);
    }
    return true;
}

void activate(HWND window) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (window && !w) {
        return;
    }
    if (w && (w->ex_style & WS_EX_NOACTIVATE)) {
        raise(window);  // the shell's menu bars and menus come to the front without taking the keys
        return;
    }
    HWND old = table().active;
    if (window) {
        raise(window);
    }
    if (old == window) {
        return;
    }
    table().active = window;
    guard.unlock();
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    }
    if (window) {
        SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    }
    guard.lock();
    // A window that kept the focus through its WM_ACTIVATE keeps it; else keys go to the active
    // window until someone takes the focus.
    HWND focus = table().focus;
    bool stale = focus && (!window || !platform::is_descendant(focus, window));
    guard.unlock();
    if (stale) {
        SetFocus(nullptr);
    }
}

void destroy_tree(HWND window);

void kill_window_timers(WindowData* w) {
    if (auto q = platform::find_queue(w->thread_id)) {
        std::lock_guard guard(q->lock);
        std::erase_if(q->timers, [&](const platform::ThreadTimer& t) { return t.window == w->handle; });
    }
}

// WM_DESTROY to a window, then to its children; then they leave the table.
void destroy_tree(HWND window) {
    SendMessageW(window, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        Lock guard = lock_table();
        if (WindowData* w = platform::find_window(window)) {
            children = w->children;
        }
    }
    for (HWND child : children) {
        {
            Lock guard = lock_table();
            if (WindowData* c = platform::find_window(child)) {
                c->destroying = true;
            }
        }
        destroy_tree(child);
    }
    Lock guard = lock_table();
    if (WindowData* w = platform::find_window(window)) {
        kill_window_timers(w);
        platform::remove_window(window);
    }
}

std::u16string text_of(LPCWSTR text) {
    return text ? std::u16string(text) : std::u16string();
}

int copy_text(const std::u16string& text, LPWSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) {
        return 0;
    }
    int n = std::min<int>(static_cast<int>(text.size()), capacity - 1);
    std::copy_n(text.begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

void resize_surface(WindowData* w) {
    int width = w->width();
    int height = w->height();
    auto& old = w->surface;
    if (old && old->surface.width == width && old->surface.height == height) {
        return;
    }
    auto fresh = std::make_shared<platform::WindowSurface>(width, height);
    if (old) {
        int cw = std::min(width, old->surface.width);
        int ch = std::min(height, old->surface.height);
        for (int y = 0; y < ch; ++y) {
            std::copy_n(old->pixels.data() + static_cast<size_t>(y) * old->surface.stride, cw,
                        fresh->pixels.data() + static_cast<size_t>(y) * fresh->surface.stride);
        }
    }
    w->surface = fresh;
}

// Moves and sizes a window; WM_SIZE follows at once when asked.
bool place(HWND window, int x, int y, int width, int height, bool send_size) {
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        resize_surface(w);
        if (w->has_update) {
            w->update.right = std::min<LONG>(w->update.right, w->width());
            w->update.bottom = std::min<LONG>(w->update.bottom, w->height());
            w->has_update = w->update.right > w->update.left && w->update.bottom > w->update.top;
        }
        screen_changed();
    }
    if (send_size) {
        SendMessageW(window, WM_MOVE, 0, make_lparam(x, y));
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, make_lparam(std::max(width, 0), std::max(height, 0)));
    }
    return true;
}

bool show(HWND window, bool activating) {
    bool was_visible = false;
    bool top_level = false;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            return false;
        }
        was_visible = w->visible();
        top_level = !w->is_child();
        if (!was_visible) {
            w->style |= WS_VISIBLE;
            w->has_update = true;
            w->erase = true;
            w->update = RECT{0, 0, w->width(), w->height()};
            poke_owner(w->thread_id);
            screen_changed();
        }
        if (top_level && !activating && !was_visible) {
            raise(window);
        }
    }
    if (top_level && activating) {
        activate(window);
    }
    return was_visible;
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* window_class) {
    if (!window_class || !window_class->lpszClassName || !window_class->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Lock guard = lock_table();
    std::u16string name = window_class->lpszClassName;
    if (find_class(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    table().classes.push_back({name, window_class->style, window_class->lpfnWndProc, window_class->hInstance});
    return static_cast<ATOM>(0xC000 + table().classes.size());
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE) {
    Lock guard = lock_table();
    std::u16string name = text_of(class_name);
    auto& classes = table().classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](auto& c) { return same_class_name(c.name, name); });
    if (it == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

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

BOOL ClientToScreen(HWND window, POINT* point) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !point) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = platform::screen_origin(w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w || !point) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = platform::screen_origin(w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

HWND GetParent(HWND window) {
    Lock guard = lock_table();
    if (WindowData* w = platform::find_window(window)) {
        return w->parent;
    }
    guard.unlock();
    platform::RemoteWindow remote;
    return platform::find_remote_window(window, &remote) ? remote.parent : nullptr;
}

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

uintptr_t SetTimer(HWND window, uintptr_t id, UINT milliseconds, TIMERPROC proc) {
    static std::atomic<uintptr_t> next_thread_timer{0x7F00};
    std::shared_ptr<platform::ThreadQueue> q;
    if (window) {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        q = platform::find_queue(w->thread_id);
    } else {
        q = platform::current_queue();
        id = next_thread_timer.fetch_add(1);
    }
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // A zero or tiny interval would make the queue spin; the device clamps it too.
    UINT interval = std::max(milliseconds, USER_TIMER_MINIMUM);
    std::lock_guard guard(q->lock);
    DWORD due = GetTickCount() + interval;
    auto it = std::find_if(q->timers.begin(), q->timers.end(),
                           [&](const platform::ThreadTimer& t) { return t.window == window && t.id == id; });
    if (it != q->timers.end()) {
        it->interval = interval;
        it->due = due;
        it->proc = proc;
    } else {
        q->timers.push_back({window, id, interval, due, proc});
    }
    q->changed_locked();
    return id ? id : 1;
}

BOOL KillTimer(HWND window, uintptr_t id) {
    std::shared_ptr<platform::ThreadQueue> q;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        q = w ? platform::find_queue(w->thread_id) : platform::current_queue();
    }
    if (!q) {
        return FALSE;
    }
    std::lock_guard guard(q->lock);
    auto before = q->timers.size();
    std::erase_if(q->timers, [&](const platform::ThreadTimer& t) { return t.window == window && t.id == id; });
    return q->timers.size() != before ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT r{0, 0, w->width(), w->height()};
    if (rect) {
        r.left = std::max(r.left, rect->left);
        r.top = std::max(r.top, rect->top);
        r.right = std::min(r.right, rect->right);
        r.bottom = std::min(r.bottom, rect->bottom);
    }
    if (r.right <= r.left || r.bottom <= r.top) {
        return TRUE;
    }
    if (w->has_update) {
        w->update = RECT{std::min(w->update.left, r.left), std::min(w->update.top, r.top),
                         std::max(w->update.right, r.right), std::max(w->update.bottom, r.bottom)};
    } else {
        w->update = r;
        w->has_update = true;
    }
    w->erase = w->erase || erase;
    poke_owner(w->thread_id);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The update region is kept as one rectangle: only a rectangle covering it validates it.
    if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                  rect->bottom >= w->update.bottom)) {
        w->has_update = false;
        w->erase = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        return FALSE;
    }
    if (rect) {
        *rect = w->has_update ? w->update : RECT{};
    }
    return w->has_update ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    std::vector<HWND> order;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        // The window first, then its children, as painting order on screen.
        std::vector<HWND> pending{window};
        while (!pending.empty()) {
            HWND h = pending.front();
            pending.erase(pending.begin());
            WindowData* d = platform::find_window(h);
            if (!d) {
                continue;
            }
            if (d->has_update && platform::is_shown(d)) {
                order.push_back(h);
            }
            pending.insert(pending.end(), d->children.begin(), d->children.end());
        }
    }
    for (HWND h : order) {
        SendMessageW(h, WM_PAINT, 0, 0);
    }
    return TRUE;
}

namespace {

// A released DC may have drawn on its window: that much of the screen is composed again. The
// screen's own DC is not composed from, and windows not shown are not on it.
void drawn_on(const platform::DCRecord& record) {
    WindowData* w = platform::find_window(record.window);
    if (w) {
        w->drawn = true;
    }
    if (!w || !platform::is_shown(w)) {
        return;
    }
    POINT origin = platform::screen_origin(w);
    RECT area = record.area;
    platform::screen_area_changed(
        RECT{area.left + origin.x, area.top + origin.y, area.right + origin.x, area.bottom + origin.y});
}

}  // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool erase = false;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        *paint = PAINTSTRUCT{};
        paint->rcPaint = w->has_update ? w->update : RECT{};
        erase = w->erase;
        paint->fErase = erase ? TRUE : FALSE;
        w->has_update = false;
        w->erase = false;
        paint->hdc = platform::gdi_create_surface_dc(&w->surface->surface, paint->rcPaint, window);
        table().dcs.push_back({paint->hdc, window, paint->rcPaint, w->surface});
    }
    if (erase) {
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) ? FALSE : TRUE;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) {
        return FALSE;
    }
    return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
}

HDC GetDC(HWND window) {
    Lock guard = lock_table();
    std::shared_ptr<platform::WindowSurface> surface;
    if (!window) {
        surface = platform::screen_surface();
    } else if (WindowData* w = platform::find_window(window)) {
        surface = w->surface;
    } else {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    RECT clip{0, 0, surface->surface.width, surface->surface.height};
    HDC dc = platform::gdi_create_surface_dc(&surface->surface, clip, window);
    table().dcs.push_back({dc, window, clip, surface});
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    platform::DCRecord record;
    {
        Lock guard = lock_table();
        auto& dcs = table().dcs;
        auto it = std::find_if(dcs.begin(), dcs.end(), [&](const platform::DCRecord& r) { return r.dc == dc; });
        if (!dc || it == dcs.end()) {
            return 0;
        }
        record = std::move(*it);
        dcs.erase(it);
        drawn_on(record);
    }
    // The surface stays alive until the DC is gone.
    platform::gdi_delete_surface_dc(record.dc);
    return 1;
}
