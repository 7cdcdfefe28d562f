#include "platform/window/WindowTable.h"

#include <algorithm>
#include <atomic>

#include <unistd.h>

namespace platform {

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

bool is_descendant(HWND window, HWND ancestor) {
    for (WindowData* w = find_window(window); w; w = (w->style & 0x40000000u) ? find_window(w->parent) : nullptr) {
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
        if (w->thread_id == thread_id && w->has_update && w->visible && !w->destroying &&
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
}

}  // namespace platform
