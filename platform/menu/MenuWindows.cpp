#include "platform/menu/MenuWindows.h"

#include <mutex>

#include "platform/kernel/Time.h"
#include "platform/window/Input.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowTable.h"

namespace platform::menu {

HWND top_level(HWND window) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* w = top_level_of(find_window(window));
    return w ? w->handle : nullptr;
}

bool post_input(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* w = find_window(window);
    std::shared_ptr<ThreadQueue> q = w ? find_queue(w->thread_id) : nullptr;
    if (!q) {
        return false;
    }
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    msg.pt = pen_position();
    return q->post_input(msg);
}

}  // namespace platform::menu
