#include "platform/window/Messages.h"

#include <chrono>

#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"
#include "platform/kernel/Time.h"
#include "platform/window/Input.h"
#include "platform/window/Remote.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

bool in_range(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool is_due(DWORD now, DWORD due) {
    return static_cast<int32_t>(now - due) >= 0;
}

MSG make_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    msg.pt = pen_position();
    return msg;
}

// Takes the first message of the list that passes both filters.
bool take_first(std::deque<MSG>& list, MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (in_range(it->message, low, high) && passes_window_filter(it->hwnd, filter)) {
            *out = *it;
            if (remove) {
                list.erase(it);
            }
            return true;
        }
    }
    return false;
}

// The most overdue timer that passes the filters; sets *wait to the time until the next one.
bool take_due_timer(ThreadQueue& q, MSG* out, HWND filter, bool remove, DWORD* wait) {
    DWORD now = GetTickCount();
    ThreadTimer* best = nullptr;
    for (auto& t : q.timers) {
        if (!passes_window_filter(t.window, filter)) {
            continue;
        }
        if (is_due(now, t.due)) {
            if (!best || static_cast<int32_t>(t.due - best->due) < 0) {
                best = &t;
            }
        } else {
            DWORD left = t.due - now;
            if (left < *wait) {
                *wait = left;
            }
        }
    }
    if (!best) {
        return false;
    }
    *out = make_message(best->window, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc));
    if (remove) {
        // Ticks missed while the thread was busy coalesce into this one.
        best->due = now + best->interval;
    }
    return true;
}

enum class Scan { Nothing, Message, Quit };

Scan scan_queue(ThreadQueue& q, MSG* out, HWND filter, UINT low, UINT high, bool remove, DWORD* wait) {
    if (take_first(q.posted, out, filter, low, high, remove)) {
        return Scan::Message;
    }
    if (q.quit_pending) {
        *out = make_message(nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0);
        if (remove) {
            q.quit_pending = false;
        }
        return Scan::Quit;
    }
    if (take_first(q.input, out, filter, low, high, remove)) {
        return Scan::Message;
    }
    if (in_range(WM_PAINT, low, high)) {
        if (HWND w = find_window_to_paint(q.thread_id, filter)) {
            *out = make_message(w, WM_PAINT, 0, 0);
            return Scan::Message;
        }
    }
    if (in_range(WM_TIMER, low, high) && take_due_timer(q, out, filter, remove, wait)) {
        return Scan::Message;
    }
    return Scan::Nothing;
}

// Runs the messages that other threads sent to this one, in the order they came.
void deliver_sent_messages(ThreadQueue& q) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard guard(q.lock);
            if (q.sent.empty()) {
                return;
            }
            sent = q.sent.front();
            q.sent.pop_front();
        }
        const MSG& m = sent->msg;
        complete_sent(sent, call_window(m.hwnd, m.message, m.wParam, m.lParam));
    }
}

// Shared by GetMessageW (block) and PeekMessageW: 1 for a message, 0 for WM_QUIT,
// -2 when nothing is waiting and the caller does not block.
int retrieve(MSG* out, HWND filter, UINT low, UINT high, bool remove, bool block) {
    std::shared_ptr<ThreadQueue> q = current_queue();
    for (;;) {
        DWORD wait = INFINITE;
        if (IdleHook hook = idle_hook()) {
            wait = hook();
        }
        deliver_sent_messages(*q);
        uint64_t seen = 0;
        {
            WindowTable& t = window_table();
            std::lock_guard window_guard(t.lock);
            std::lock_guard queue_guard(q->lock);
            if (!q->sent.empty()) {
                continue;
            }
            seen = q->generation;
            Scan found = scan_queue(*q, out, filter, low, high, remove, &wait);
            if (found != Scan::Nothing) {
                if (remove) {
                    q->last_message = *out;
                    q->took(*out);
                }
                return found == Scan::Quit ? 0 : 1;
            }
        }
        if (!block) {
            return -2;
        }
        // A clock stepped without waking the queue is still noticed soon.
        constexpr DWORD longest_timer_wait = 100;
        if (wait != INFINITE && wait > longest_timer_wait) {
            wait = longest_timer_wait;
        }
        std::unique_lock lock(q->lock);
        auto woken = [&] { return q->generation != seen; };
        if (q->host) {
            // Host events come without a change to the queue: the host's wait covers both.
            if (!woken()) {
                q->host_waiting = true;
                lock.unlock();
                q->host->wait(wait);
                lock.lock();
                q->host_waiting = false;
            }
        } else if (wait == INFINITE) {
            q->wake.wait(lock, woken);
        } else {
            q->wake.wait_for(lock, std::chrono::milliseconds(wait), woken);
        }
    }
}

bool valid_filter(HWND filter) {
    if (!filter || filter == reinterpret_cast<HWND>(intptr_t(-1))) {
        return true;
    }
    std::lock_guard guard(window_table().lock);
    WindowData* w = find_window(filter);
    return w && w->thread_id == GetCurrentThreadId();
}

// Waits for the reply to a message sent to another thread, handling what is sent to this
// thread meanwhile so that two threads sending to each other do not deadlock.
void wait_for_reply(ThreadQueue& me, const std::shared_ptr<SentMessage>& sent) {
    for (;;) {
        deliver_sent_messages(me);
        std::unique_lock lock(me.lock);
        me.wake.wait(lock, [&] { return sent->done || !me.sent.empty(); });
        if (sent->done) {
            return;
        }
    }
}

}  // namespace

LRESULT call_window(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        std::lock_guard guard(window_table().lock);
        WindowData* w = find_window(window);
        if (!w || w->thread_id != GetCurrentThreadId()) {
            return 0;
        }
        proc = w->proc;
    }
    return proc ? proc(window, message, wParam, lParam) : 0;
}

}  // namespace platform

using platform::ThreadQueue;

BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> q = platform::find_queue(thread_id);
    if (!q || !q->post(platform::make_message(nullptr, message, wParam, lParam))) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    DWORD owner = 0;
    {
        std::lock_guard guard(platform::window_table().lock);
        owner = platform::window_thread(window);
    }
    std::shared_ptr<ThreadQueue> q = owner ? platform::find_queue(owner) : nullptr;
    if (!q || !q->post(platform::make_message(window, message, wParam, lParam))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD owner = 0;
    {
        std::lock_guard guard(platform::window_table().lock);
        owner = platform::window_thread(window);
    }
    if (!owner) {
        if (platform::is_remote_window(window)) {
            return platform::remote_send_message(window, message, wParam, lParam);
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (owner == GetCurrentThreadId()) {
        return platform::call_window(window, message, wParam, lParam);
    }
    std::shared_ptr<ThreadQueue> target = platform::find_queue(owner);
    std::shared_ptr<ThreadQueue> me = platform::current_queue();
    auto sent = std::make_shared<platform::SentMessage>();
    sent->msg = platform::make_message(window, message, wParam, lParam);
    sent->sender = me;
    if (!target || !target->post_sent(sent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    platform::wait_for_reply(*me, sent);
    std::lock_guard guard(me->lock);
    return sent->result;
}

BOOL GetMessageW(MSG* msg, HWND window, UINT filter_min, UINT filter_max) {
    if (!msg || !platform::valid_filter(window)) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    return platform::retrieve(msg, window, filter_min, filter_max, true, true);
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT filter_min, UINT filter_max, UINT remove) {
    if (!msg || (remove & ~PM_REMOVE) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!platform::valid_filter(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return platform::retrieve(msg, window, filter_min, filter_max, remove == PM_REMOVE, false) != -2;
}

void PostQuitMessage(int exit_code) {
    std::shared_ptr<ThreadQueue> q = platform::current_queue();
    std::lock_guard guard(q->lock);
    q->quit_pending = true;
    q->quit_code = exit_code;
    q->changed_locked();
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    WCHAR ch = platform::character_of_key(static_cast<UINT>(msg->wParam));
    // The desktop keyboard sends the characters it types on their own.
    if (!ch || ((msg->lParam & platform::key_text_follows) && ch >= 32)) {
        return FALSE;
    }
    MSG c = platform::make_message(msg->hwnd, WM_CHAR, ch, msg->lParam);
    return platform::current_queue()->post(c) ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    return platform::call_window(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD GetMessagePos() {
    const MSG& m = platform::current_queue()->last_message;
    return (static_cast<DWORD>(static_cast<WORD>(m.pt.y)) << 16) | static_cast<WORD>(m.pt.x);
}

LONG GetMessageTime() {
    return static_cast<LONG>(platform::current_queue()->last_message.time);
}
