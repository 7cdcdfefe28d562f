#include "platform/window/WindowSteps.h"

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/window/ThreadQueue.h"

namespace platform::window_steps {

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

}  // namespace platform::window_steps
