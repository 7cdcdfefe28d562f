#include "platform/clipboard/Clipboard.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/display/Display.h"
#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"

namespace {

struct ClipboardState {
    std::mutex lock;
    DWORD open_thread = 0;     // lock; 0 while closed
    HLOCAL text = nullptr;     // lock; owned (taken over from LocalAlloc)
    bool changed = false;      // lock; emptied or set since it was opened
    std::u16string exchanged;  // lock; the text last given to or taken from the desktop
};

ClipboardState& state() {
    static auto* instance = new ClipboardState;
    return *instance;
}

bool is_open_here(const ClipboardState& s) {
    return s.open_thread != 0 && s.open_thread == GetCurrentThreadId();
}

void drop_text(ClipboardState& s) {
    if (s.text) {
        platform::local_memory_release(s.text);
        s.text = nullptr;
    }
}

HLOCAL block_of(const std::u16string& text) {
    HLOCAL memory = platform::local_text_block(text);
    if (memory) {
        platform::local_memory_take_over(memory);
    }
    return memory;
}

// Text another desktop program copied replaces ours (none when it copied something else).
void adopt_desktop_text(ClipboardState& s) {
    std::u16string desktop;
    if (s.changed || !platform::read_desktop_clipboard(desktop) || desktop == s.exchanged) {
        return;
    }
    drop_text(s);
    if (!desktop.empty()) {
        s.text = block_of(desktop);
    }
    s.exchanged = desktop;
}

bool refuse_unless_open(const ClipboardState& s) {
    if (is_open_here(s)) {
        return false;
    }
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return true;
}

}  // namespace

BOOL OpenClipboard(HWND) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    if (s.open_thread != 0 && s.open_thread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s.open_thread = GetCurrentThreadId();
    return TRUE;
}

BOOL CloseClipboard() {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    if (refuse_unless_open(s)) {
        return FALSE;
    }
    if (s.changed) {
        std::u16string text = platform::local_text(s.text);
        if (platform::write_desktop_clipboard(text)) {
            s.exchanged = text;
        }
        s.changed = false;
    }
    s.open_thread = 0;
    return TRUE;
}

BOOL EmptyClipboard() {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    if (refuse_unless_open(s)) {
        return FALSE;
    }
    drop_text(s);
    s.changed = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE memory) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    if (refuse_unless_open(s)) {
        return nullptr;
    }
    if (format != CF_UNICODETEXT || !memory) {
        std::fprintf(stderr, "platform: SetClipboardData of format %u%s is not supported\n", format,
                     memory ? "" : " rendered later");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (memory != s.text && !platform::local_memory_take_over(memory)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (memory != s.text) {
        drop_text(s);
        s.text = memory;
    }
    s.changed = true;
    return memory;
}

HANDLE GetClipboardData(UINT format) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    if (refuse_unless_open(s)) {
        return nullptr;
    }
    if (format != CF_UNICODETEXT) {
        return nullptr;
    }
    adopt_desktop_text(s);
    return s.text;
}
