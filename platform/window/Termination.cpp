#include "platform/window/Termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "platform/window/ThreadQueue.h"

namespace platform {

namespace {

constexpr int termination_signals[] = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler (the one thing it may safely do), read by the watcher thread.
int signal_pipe[2] = {-1, -1};

void on_signal(int signal_number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal_number);
    [[maybe_unused]] ssize_t written = write(signal_pipe[1], &byte, 1);
    errno = saved;
}

void restore_default_handlers() {
    for (int signal_number : termination_signals) {
        struct sigaction action{};
        action.sa_handler = SIG_DFL;
        sigaction(signal_number, &action, nullptr);
    }
}

// Hands the first signal to the thread as a quit request; the next one finds the default.
void watch(DWORD thread_id) {
    unsigned char byte = 0;
    ssize_t got = 0;
    do {
        got = read(signal_pipe[0], &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got != 1) {
        return;
    }
    restore_default_handlers();
    std::shared_ptr<ThreadQueue> queue = find_queue(thread_id);
    if (!queue) {
        raise(byte);  // no loop left to end: the signal does what it would have done
        return;
    }
    std::lock_guard guard(queue->lock);
    queue->quit_pending = true;
    queue->quit_code = 0;
    queue->changed_locked();
}

}  // namespace

void quit_thread_on_termination_signals(DWORD thread_id) {
    static std::once_flag once;
    std::call_once(once, [thread_id] {
        if (pipe2(signal_pipe, O_CLOEXEC) != 0) {
            return;
        }
        std::thread(watch, thread_id).detach();
        for (int signal_number : termination_signals) {
            struct sigaction current{};
            if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
                continue;
            }
            struct sigaction action{};
            action.sa_handler = on_signal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            sigaction(signal_number, &action, nullptr);
        }
    });
}

}  // namespace platform
