#pragma once
// Running a form's messages from a test: every waiting message at once, or a script of steps
// that run one per tick of a thread timer from inside the form's modal loop (and from inside
// any loop a step opens: a nested form's, a menu's).
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/window/Window.h"
#include "ui/forms/Form.h"

namespace ui_test {

// Handles every message waiting for this thread, paints included.
inline void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace detail {

struct Script {
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    uintptr_t timer = 0;
    HWND form = nullptr;
};

inline Script* script = nullptr;

inline void run_step(HWND, UINT, uintptr_t, DWORD) {
    Script* s = script;
    if (!s) return;
    if (s->next == s->steps.size()) {
        KillTimer(nullptr, s->timer);
        PostMessageW(s->form, WM_CLOSE, 0, 0);
        ++s->next;
        return;
    }
    if (s->next > s->steps.size()) return;
    // Taken before it runs: a step that opens a modal loop runs the next ones from inside it.
    std::function<void()> step = s->steps[s->next++];
    step();
}

}  // namespace detail

// Runs the steps one by one, each once every message before it was handled; after the last
// one the form is closed. Returns when its do_modal does.
inline void run_modal(skinner::Form& form, std::vector<std::function<void()>> steps) {
    detail::Script s;
    s.steps = std::move(steps);
    s.form = form.get_hwnd();
    detail::script = &s;
    s.timer = SetTimer(nullptr, 0, 10, detail::run_step);
    form.do_modal();
    KillTimer(nullptr, s.timer);
    detail::script = nullptr;
}

}  // namespace ui_test
