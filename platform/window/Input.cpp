#include "platform/window/Input.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>

#include "platform/kernel/Time.h"
#include "platform/threads/Threads.h"
#include "platform/window/Keys.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

std::atomic<int32_t> pen_x{0};
std::atomic<int32_t> pen_y{0};
std::array<std::atomic<bool>, 256> keys_down{};
std::atomic<bool> pen_down{false};

constexpr DWORD double_tap_milliseconds = 500;
constexpr int double_tap_distance = 8;

// The last press, for telling a double tap (guarded by the window table's lock).
struct LastPress {
    HWND window = nullptr;
    DWORD time = 0;
    POINT where;
    bool valid = false;
};
LastPress last_press;

LPARAM point_lparam(POINT p) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(p.x)) |
                               (static_cast<DWORD>(static_cast<WORD>(p.y)) << 16));
}

bool usable(WindowData* w) {
    for (WindowData* d = w; d; d = d->is_child() ? find_window(d->parent) : nullptr) {
        if (!d->enabled() || d->destroying) {
            return false;
        }
    }
    return w != nullptr;
}

bool post_input_to(WindowData* w, const MSG& msg) {
    auto q = find_queue(w->thread_id);
    return q && q->post_input(msg);
}

}  // namespace

bool pen_is_down() {
    return pen_down.load();
}

bool inject_pen(PenAction action, POINT screen) {
    set_pen_position(screen);
    if (action == PenAction::Move && !pen_down.load()) {
        return false;  // a pen has no hover
    }
    pen_down.store(action != PenAction::Up);
    WindowTable& t = window_table();
    std::unique_lock guard(t.lock);
    WindowData* target = t.capture ? find_window(t.capture) : window_at(screen);
    if (!usable(target)) {
        return false;
    }
    HWND handle = target->handle;
    if (action == PenAction::Down && !t.capture) {
        HWND top = top_level_of(target)->handle;
        if (t.active != top) {
            guard.unlock();
            SetForegroundWindow(top);
            guard.lock();
            target = find_window(handle);
            if (!usable(target)) {
                return false;
            }
        }
    }
    POINT origin = screen_origin(target);
    POINT client{screen.x - origin.x, screen.y - origin.y};
    MSG msg;
    msg.hwnd = handle;
    msg.lParam = point_lparam(client);
    msg.time = GetTickCount();
    msg.pt = screen;
    switch (action) {
    case PenAction::Down: {
        bool dbl = (target->class_style & 0x0008u) && last_press.valid && last_press.window == handle &&
                   msg.time - last_press.time <= double_tap_milliseconds &&
                   std::abs(screen.x - last_press.where.x) <= double_tap_distance &&
                   std::abs(screen.y - last_press.where.y) <= double_tap_distance;
        msg.message = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        msg.wParam = MK_LBUTTON;
        // A third tap starts a new pair.
        last_press = dbl ? LastPress{} : LastPress{handle, msg.time, screen, true};
        break;
    }
    case PenAction::Move:
        msg.message = WM_MOUSEMOVE;
        msg.wParam = MK_LBUTTON;
        break;
    case PenAction::Up:
        msg.message = WM_LBUTTONUP;
        msg.wParam = 0;
        break;
    }
    return post_input_to(target, msg);
}

bool inject_char(WCHAR character) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* target = find_window(t.focus ? t.focus : t.active);
    if (!usable(target)) {
        return false;
    }
    MSG msg;
    msg.hwnd = target->handle;
    msg.message = WM_CHAR;
    msg.wParam = character;
    msg.lParam = 1;
    msg.time = GetTickCount();
    msg.pt = pen_position();
    return post_input_to(target, msg);
}

bool inject_text(std::u16string_view text) {
    bool taken = !text.empty();
    for (WCHAR c : text) {
        taken = inject_char(c) && taken;
    }
    return taken;
}

bool inject_wheel(POINT screen, int delta) {
    set_pen_position(screen);
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* target = window_at(screen);
    if (!usable(target)) {
        return false;
    }
    WPARAM keys = (key_is_down(VK_SHIFT) ? MK_SHIFT : 0) | (key_is_down(VK_CONTROL) ? MK_CONTROL : 0);
    auto clamped = static_cast<int16_t>(std::clamp(delta, -32768, 32767));
    MSG msg;
    msg.hwnd = target->handle;
    msg.message = WM_MOUSEWHEEL;
    msg.wParam = (static_cast<WPARAM>(static_cast<WORD>(clamped)) << 16) | keys;
    msg.lParam = point_lparam(screen);
    msg.time = GetTickCount();
    msg.pt = screen;
    return post_input_to(target, msg);
}

bool inject_key(UINT virtual_key, bool down, bool repeat, bool text_follows) {
    bool was_down = key_is_down(virtual_key);
    set_key_down(virtual_key, down);
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* target = find_window(t.focus ? t.focus : t.active);
    if (!usable(target)) {
        return false;
    }
    MSG msg;
    msg.hwnd = target->handle;
    msg.message = down ? WM_KEYDOWN : WM_KEYUP;
    msg.wParam = virtual_key;
    DWORD flags = 1;  // repeat count
    LPARAM lparam = flags | (text_follows ? key_text_follows : 0);
    if (!down || repeat || was_down) {
        lparam |= key_was_down_flag;
    }
    if (!down) {
        lparam |= LPARAM{1} << 31;  // the key goes up
    }
    msg.lParam = lparam;
    msg.time = GetTickCount();
    msg.pt = pen_position();
    auto q = find_queue(target->thread_id);
    return q && q->post_key(msg, virtual_key, down);
}

POINT pen_position() {
    return POINT{pen_x.load(), pen_y.load()};
}

void set_pen_position(POINT screen) {
    pen_x.store(screen.x);
    pen_y.store(screen.y);
}

void set_key_down(UINT virtual_key, bool down) {
    if (virtual_key < keys_down.size()) {
        keys_down[virtual_key].store(down);
    }
    if (auto q = find_queue(GetCurrentThreadId())) {
        q->set_key_held(virtual_key, down);
    }
}

bool key_is_held(UINT vk) {
    auto q = find_queue(GetCurrentThreadId());
    if (!q) {
        return key_is_down(vk);
    }
    if (vk == VK_SHIFT) {
        return q->key_held(VK_SHIFT) || q->key_held(VK_LSHIFT) || q->key_held(VK_RSHIFT);
    }
    return q->key_held(vk);
}

bool key_is_down(UINT virtual_key) {
    if (virtual_key == VK_SHIFT) {
        return keys_down[VK_SHIFT].load() || keys_down[VK_LSHIFT].load() || keys_down[VK_RSHIFT].load();
    }
    return virtual_key < keys_down.size() && keys_down[virtual_key].load();
}

WCHAR character_of_key(UINT vk) {
    bool shift = key_is_held(VK_SHIFT);
    // With Ctrl a letter is its control character (Ctrl+C is 3): a shortcut, not text.
    if (key_is_held(VK_CONTROL) && vk != VK_BACK && vk != VK_RETURN && vk != VK_ESCAPE) {
        return vk >= 'A' && vk <= 'Z' ? static_cast<WCHAR>(vk - 'A' + 1) : 0;
    }
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return static_cast<WCHAR>(vk);
    }
    switch (vk) {
    case VK_BACK: return u'\b';
    case VK_TAB: return u'\t';
    case VK_RETURN: return u'\r';
    case VK_ESCAPE: return 0x1B;
    case VK_SPACE: return u' ';
    case VK_STAR: return u'*';
    case VK_POUND: return u'#';
    default: return 0;
    }
}

}  // namespace platform

SHORT GetKeyState(int virtual_key) {
    return platform::key_is_held(static_cast<UINT>(virtual_key)) ? static_cast<SHORT>(0x8000) : 0;
}
