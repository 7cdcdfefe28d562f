#include "ui/forms/WindowHook.h"

#include <algorithm>
#include <map>
#include <vector>

namespace skinner {

namespace {

struct HookedWindow {
    WNDPROC previous = nullptr;
    std::vector<WindowHook*> hooks;  // in order of attachment
};

// User-interface thread only.
std::map<HWND, HookedWindow>& window_hooks() {
    static std::map<HWND, HookedWindow> table;
    return table;
}

bool is_attached(HWND window, WindowHook* hook) {
    auto entry = window_hooks().find(window);
    if (entry == window_hooks().end()) {
        return false;
    }
    const std::vector<WindowHook*>& hooks = entry->second.hooks;
    return std::find(hooks.begin(), hooks.end(), hook) != hooks.end();
}

}  // namespace

LRESULT WindowHook::window_proc(UINT, WPARAM, LPARAM, HookFlags&) {
    return 0;
}

WindowHook::~WindowHook() {
    detach();
}

void WindowHook::attach(HWND window) {
    detach();
    window_ = window;
    auto [entry, added] = window_hooks().try_emplace(window);
    if (added) {
        entry->second.previous = reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_WNDPROC));
        SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&hook_window_proc));
    }
    entry->second.hooks.push_back(this);
}

void WindowHook::detach() {
    if (!window_) {
        return;
    }
    auto entry = window_hooks().find(window_);
    if (entry != window_hooks().end()) {
        std::vector<WindowHook*>& hooks = entry->second.hooks;
        hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
        if (hooks.empty()) {
            SetWindowLongW(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(entry->second.previous));
            window_hooks().erase(entry);
        }
    }
    window_ = nullptr;
}

LRESULT hook_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto entry = window_hooks().find(window);
    if (entry == window_hooks().end()) {
        return 0;
    }
    // Copies: a hook may go away while a message is handled (the entry with it).
    const WNDPROC previous = entry->second.previous;
    const std::vector<WindowHook*> hooks = entry->second.hooks;
    bool consumed = false;
    LRESULT result = 0;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (!is_attached(window, *it)) {
            continue;
        }
        HookFlags flags;
        flags.wParam = wParam;
        flags.lParam = lParam;
        LRESULT answer = (*it)->window_proc(message, wParam, lParam, flags);
        if (!flags.default_processing) {
            consumed = true;
            result = answer;
        }
    }
    if (message == WM_DESTROY) {
        auto left = window_hooks().find(window);
        while (left != window_hooks().end() && !left->second.hooks.empty()) {
            left->second.hooks.back()->detach();
            left = window_hooks().find(window);
        }
    }
    if (consumed) {
        return result;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

bool window_has_hooks(HWND window) {
    return window_hooks().count(window) != 0;
}

}  // namespace skinner
