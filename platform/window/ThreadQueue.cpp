#include "platform/window/ThreadQueue.h"

#include <atomic>
#include <unordered_map>

#include "platform/threads/Threads.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

struct QueueRegistry {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& registry() {
    static QueueRegistry* instance = new QueueRegistry;  // outlives threads that end during exit
    return *instance;
}

std::atomic<IdleHook> current_idle_hook{nullptr};

void close_queue(const std::shared_ptr<ThreadQueue>& queue) {
    {
        QueueRegistry& r = registry();
        std::lock_guard guard(r.lock);
        auto it = r.queues.find(queue->thread_id);
        if (it != r.queues.end() && it->second == queue) {
            r.queues.erase(it);
        }
    }
    forget_thread_windows(queue->thread_id);
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard guard(queue->lock);
        queue->closed = true;
        unanswered.swap(queue->sent);
        queue->posted.clear();
        queue->input.clear();
        queue->timers.clear();
    }
    // Senders waiting on a thread that is gone get 0 rather than waiting for ever.
    for (auto& sent : unanswered) {
        complete_sent(sent, 0);
    }
}

// Closes the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) {
            close_queue(queue);
        }
    }
};

thread_local QueueHolder holder;

}  // namespace

bool ThreadQueue::post(const MSG& msg) {
    std::lock_guard guard(lock);
    if (closed) {
        return false;
    }
    posted.push_back(msg);
    changed_locked();
    return true;
}

bool ThreadQueue::post_input(const MSG& msg) {
    std::lock_guard guard(lock);
    if (closed) {
        return false;
    }
    // Pen moves coalesce: a reader that falls behind sees only the latest position.
    if (msg.message == WM_MOUSEMOVE && !input.empty() && input.back().message == WM_MOUSEMOVE &&
        input.back().hwnd == msg.hwnd) {
        input.back() = msg;
    } else {
        input.push_back(msg);
    }
    changed_locked();
    return true;
}

namespace {

bool is_key_message(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool key_waiting(const std::deque<MSG>& input) {
    for (const MSG& m : input) {
        if (is_key_message(m.message)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ThreadQueue::post_key(const MSG& msg, UINT virtual_key, bool down) {
    std::lock_guard guard(lock);
    if (closed) {
        return false;
    }
    if (!key_waiting(input) && virtual_key < keys_held.size()) {
        keys_held[virtual_key] = down;
    }
    input.push_back(msg);
    changed_locked();
    return true;
}

void ThreadQueue::set_key_held(UINT virtual_key, bool down) {
    std::lock_guard guard(lock);
    if (!key_waiting(input) && virtual_key < keys_held.size()) {
        keys_held[virtual_key] = down;
    }
}

void ThreadQueue::took(const MSG& msg) {
    if (is_key_message(msg.message) && msg.wParam < keys_held.size()) {
        keys_held[msg.wParam] = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    }
}

bool ThreadQueue::key_held(UINT virtual_key) {
    std::lock_guard guard(lock);
    return virtual_key < keys_held.size() && keys_held[virtual_key];
}

bool ThreadQueue::post_sent(const std::shared_ptr<SentMessage>& message) {
    std::lock_guard guard(lock);
    if (closed) {
        return false;
    }
    sent.push_back(message);
    changed_locked();
    return true;
}

void ThreadQueue::poke() {
    std::lock_guard guard(lock);
    changed_locked();
}

void ThreadQueue::changed_locked() {
    ++generation;
    wake.notify_all();
    if (host_waiting) {
        host_waiting = false;  // one wake ends the wait
        host->wake();
    }
}

std::shared_ptr<ThreadQueue> current_queue() {
    if (!holder.queue) {
        auto queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
        QueueRegistry& r = registry();
        std::lock_guard guard(r.lock);
        r.queues[queue->thread_id] = queue;
        holder.queue = queue;
    }
    return holder.queue;
}

std::shared_ptr<ThreadQueue> find_queue(DWORD thread_id) {
    QueueRegistry& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.queues.find(thread_id);
    return it == r.queues.end() ? nullptr : it->second;
}

void complete_sent(const std::shared_ptr<SentMessage>& sent, LRESULT result) {
    ThreadQueue& sender = *sent->sender;
    std::lock_guard guard(sender.lock);
    sent->result = result;
    sent->done = true;
    sender.changed_locked();
}

void set_idle_hook(IdleHook hook) {
    current_idle_hook.store(hook);
}

IdleHook idle_hook() {
    return current_idle_hook.load();
}

void ensure_message_queue() {
    current_queue();
}

void wake_all_message_queues() {
    std::vector<std::shared_ptr<ThreadQueue>> all;
    {
        QueueRegistry& r = registry();
        std::lock_guard guard(r.lock);
        for (auto& [id, queue] : r.queues) {
            all.push_back(queue);
        }
    }
    for (auto& queue : all) {
        queue->poke();
    }
}

}  // namespace platform
