// The Back key's shell calls: handing it to the focused edit window, and stepping back.
#include <cstdio>

#include "platform/display/Display.h"
#include "platform/kernel/Time.h"
#include "platform/menu/MenuBar.h"
#include "platform/window/Input.h"
#include "platform/window/Keys.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/Window.h"
#include "platform/window/WindowTable.h"

void SHSendBackToFocusWindow(UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_HOTKEY) {
        std::fprintf(stderr, "platform: SHSendBackToFocusWindow of message 0x%x is not supported\n", message);
        return;
    }
    // An edit window deletes with Backspace, so that is the key it gets.
    bool up = (lParam & MOD_KEYUP) != 0;
    platform::WindowTable& t = platform::window_table();
    std::lock_guard guard(t.lock);
    platform::WindowData* w = platform::find_window(t.focus ? t.focus : t.active);
    std::shared_ptr<platform::ThreadQueue> q = w ? platform::find_queue(w->thread_id) : nullptr;
    if (!q) {
        return;
    }
    MSG msg;
    msg.hwnd = w->handle;
    msg.message = up ? WM_KEYUP : WM_KEYDOWN;
    msg.wParam = VK_BACK;
    msg.lParam = up ? static_cast<LPARAM>(1 | (LPARAM(3) << 30)) : 1;
    msg.time = GetTickCount();
    msg.pt = platform::pen_position();
    q->post_input(msg);
}

void SHNavigateBack() {
    platform::display_go_back();
}
