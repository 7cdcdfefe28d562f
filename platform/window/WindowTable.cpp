#include "platform/window/WindowTable.h"

#include <algorithm>
#include <atomic>

#include <unistd.h>

#include "platform/Rects.h"
#include "platform/device/DeviceProfile.h"

namespace platform {

WindowSurface::WindowSurface(int width, int height)
    : pixels(static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0), 0) {
    surface.pixels = pixels.empty() ? nullptr : pixels.data();
    surface.width = width > 0 ? width : 0;
    surface.height = height > 0 ? height : 0;
    surface.stride = surface.width;
}

WindowTable& window_table() {
    static WindowTable* instance = new WindowTable;  // threads may end after static destruction
    return *instance;
}

HWND make_window_handle() {
    static std::atomic<uint32_t> counter{0x100};
    uint64_t value = (static_cast<uint64_t>(getpid()) << 32) | counter.fetch_add(2);
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

DWORD process_of_window(HWND window) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(window) >> 32);
}

WindowData* find_window(HWND window) {
    if (!window) {
        return nullptr;
    }
    for (auto& w : window_table().windows) {
        if (w->handle == window) {
            return w.get();
        }
    }
    return nullptr;
}

WindowData* top_level_of(WindowData* window) {
    while (window && window->is_child()) {
        WindowData* parent = find_window(window->parent);
        if (!parent) {
            break;
        }
        window = parent;
    }
    return window;
}

POINT screen_origin(const WindowData* window) {
    POINT p{window->rect.left, window->rect.top};
    while (window->is_child()) {
        window = find_window(window->parent);
        if (!window) {
            break;
        }
        p.x += window->rect.left;
        p.y += window->rect.top;
    }
    return p;
}

bool is_shown(const WindowData* window) {
    while (window) {
        if (!window->visible()) {
            return false;
        }
        if (!window->is_child()) {
            return true;
        }
        window = find_window(window->parent);
    }
    return false;
}

void screen_changed() {
    screen_area_changed(RECT{0, 0, whole_screen, whole_screen});
}

void screen_area_changed(RECT area) {
    WindowTable& t = window_table();
    ++t.screen_version;
    if (rect_empty(area)) {
        return;
    }
    RECT& d = t.screen_dirty;
    d = rect_empty(d) ? area : rect_bounds(d, area);
}

RECT take_screen_dirty(int width, int height) {
    WindowTable& t = window_table();
    RECT d = t.screen_dirty;
    t.screen_dirty = RECT{};
    d = RECT{std::max<LONG>(d.left, 0), std::max<LONG>(d.top, 0), std::min<LONG>(d.right, width),
             std::min<LONG>(d.bottom, height)};
    return d.right > d.left && d.bottom > d.top ? d : RECT{};
}

std::shared_ptr<WindowSurface> screen_surface() {
    WindowTable& t = window_table();
    const DeviceProfile& p = device_profile();
    // Tests reload the profile with another screen: the screen follows it.
    if (!t.screen || t.screen->surface.width != p.screen_width || t.screen->surface.height != p.screen_height) {
        t.screen = std::make_shared<WindowSurface>(p.screen_width, p.screen_height);
    }
    return t.screen;
}

namespace {

WindowData* deepest_child_at(WindowData* window, POINT local) {
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
        WindowData* child = find_window(*it);
        if (child && child->visible() && rect_contains(child->rect, local)) {
            return deepest_child_at(child, POINT{local.x - child->rect.left, local.y - child->rect.top});
        }
    }
    return window;
}

}  // namespace

WindowData* window_at(POINT screen) {
    for (HWND h : window_table().z_order) {
        WindowData* w = find_window(h);
        if (w && w->visible() && !w->destroying && rect_contains(w->rect, screen)) {
            return deepest_child_at(w, POINT{screen.x - w->rect.left, screen.y - w->rect.top});
        }
    }
    return nullptr;
}

bool is_descendant(HWND window, HWND ancestor) {
    for (WindowData* w = find_window(window); w; w = w->is_child() ? find_window(w->parent) : nullptr) {
        if (w->handle == ancestor) {
            return true;
        }
    }
    return false;
}

void remove_window(HWND window) {
    WindowTable& t = window_table();
    if (WindowData* w = find_window(window)) {
        if (WindowData* parent = find_window(w->parent)) {
            std::erase(parent->children, window);
        }
    }
    std::erase_if(t.windows, [&](const auto& w) { return w->handle == window; });
    std::erase(t.z_order, window);
    if (t.active == window) {
        t.active = nullptr;
    }
    if (t.focus == window) {
        t.focus = nullptr;
    }
    if (t.capture == window) {
        t.capture = nullptr;
    }
}

bool passes_window_filter(HWND msg_window, HWND filter) {
    if (!filter) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(intptr_t(-1))) {
        return msg_window == nullptr;
    }
    return msg_window && is_descendant(msg_window, filter);
}

HWND find_window_to_paint(DWORD thread_id, HWND filter) {
    for (auto& w : window_table().windows) {
        if (w->thread_id == thread_id && w->has_update && is_shown(w.get()) && !w->destroying &&
            passes_window_filter(w->handle, filter)) {
            return w->handle;
        }
    }
    return nullptr;
}

DWORD window_thread(HWND window) {
    WindowData* w = find_window(window);
    return w ? w->thread_id : 0;
}

WNDPROC window_procedure(HWND window) {
    WindowData* w = find_window(window);
    return w ? w->proc : nullptr;
}

void forget_thread_windows(DWORD thread_id) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    std::vector<HWND> gone;
    for (auto& w : t.windows) {
        if (w->thread_id == thread_id) {
            gone.push_back(w->handle);
        }
    }
    for (HWND h : gone) {
        remove_window(h);
    }
    if (!gone.empty()) {
        screen_changed();
        ++t.windows_version;
    }
}

}  // namespace platform
