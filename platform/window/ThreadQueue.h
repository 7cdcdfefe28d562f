#pragma once
// The message queue of one thread: posted, input and sent messages, the quit request and
// the thread's timers. Other threads add to it under its lock and wake it.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window/Messages.h"

namespace platform {

class ThreadQueue;

// Events from outside the process that a thread waits for beside its messages (the desktop
// window's, on the display's thread), so that it sleeps until either comes.
class HostEvents {
public:
    virtual ~HostEvents() = default;
    // Sleeps until a host event is waiting, wake is called, or milliseconds pass (INFINITE: no
    // limit). A wake that came before the wait began ends it at once.
    virtual void wait(DWORD milliseconds) = 0;
    // From any thread.
    virtual void wake() = 0;
};

// A SendMessageW from another thread, waiting for its reply.
struct SentMessage {
    MSG msg;
    std::shared_ptr<ThreadQueue> sender;
    LRESULT result = 0;  // guarded by sender->lock
    bool done = false;   // guarded by sender->lock
};

struct ThreadTimer {
    HWND window = nullptr;
    uintptr_t id = 0;
    DWORD interval = 0;
    DWORD due = 0;
    TIMERPROC proc = nullptr;
};

class ThreadQueue {
public:
    explicit ThreadQueue(DWORD thread_id) : thread_id(thread_id) {}

    // Each returns false when the thread has ended and the message was dropped.
    bool post(const MSG& msg);
    bool post_input(const MSG& msg);
    // A key message of a key that went down or up: posted as input, and the thread's key state
    // follows at once when no key message is waiting before it.
    bool post_key(const MSG& msg, UINT virtual_key, bool down);
    // The thread's key state (GetKeyState), set where no key message is waiting.
    void set_key_held(UINT virtual_key, bool down);
    // The thread took a message out of its queue: a key message moves its key state (lock held).
    void took(const MSG& msg);
    bool key_held(UINT virtual_key);
    bool post_sent(const std::shared_ptr<SentMessage>& sent);
    // Something outside the queue changed (an invalidated window, a new timer): look again.
    void poke();
    // Wakes a reader waiting for a change (lock held).
    void changed_locked();

    const DWORD thread_id;

    std::mutex lock;
    std::condition_variable wake;
    uint64_t generation = 0;  // lock: grows at every change a waiting reader must see
    std::deque<MSG> posted;   // lock
    std::deque<MSG> input;    // lock
    std::deque<std::shared_ptr<SentMessage>> sent;  // lock
    std::vector<ThreadTimer> timers;                // lock
    bool quit_pending = false;                      // lock
    int quit_code = 0;                              // lock
    bool closed = false;                            // lock
    // The owner thread also waits for these (lock); host_waiting while it does.
    HostEvents* host = nullptr;
    bool host_waiting = false;
    // The keys held as of the last key message the thread took (lock), so that a key read
    // while handling a message is as it was then, however far the keyboard has gone since.
    std::array<bool, 256> keys_held{};
    // The message last retrieved, for GetMessagePos and GetMessageTime (owner thread only).
    MSG last_message;
};

// The calling thread's queue, made on first use and closed when the thread ends.
std::shared_ptr<ThreadQueue> current_queue();
// The queue of a running thread that has one, else null.
std::shared_ptr<ThreadQueue> find_queue(DWORD thread_id);

// Completes a sent message with its result and wakes its sender.
void complete_sent(const std::shared_ptr<SentMessage>& sent, LRESULT result);

// Called before a thread blocks for messages; returns how long it may sleep (INFINITE: until
// woken). The display backend uses it to present the screen and poll host input.
using IdleHook = DWORD (*)();
void set_idle_hook(IdleHook hook);
IdleHook idle_hook();

}  // namespace platform
