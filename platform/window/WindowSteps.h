#pragma once
// The steps the window calls share, each taken in the window table's lock: the table itself,
// classes by name, raising, hiding, activating, placing and showing a window, its timers, the
// destruction of a window with those it owns, and texts copied in and out.
#include <mutex>
#include <string>

#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace platform::window_steps {

inline constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
inline constexpr DWORD ERROR_INVALID_INDEX = 1413;
inline constexpr UINT USER_TIMER_MINIMUM = 10;

using Lock = std::unique_lock<std::recursive_mutex>;

Lock lock_table();

WindowTable& table();

void unsupported(const char* what, long long value);

bool same_class_name(const std::u16string& a, const std::u16string& b);

platform::WindowClass* find_class(const std::u16string& name);

LPARAM make_lparam(int low, int high);

void screen_changed();

void windows_changed();

// The queue of the thread that owns a window, poked so a waiting GetMessageW looks again.
void poke_owner(DWORD thread_id);

// Raises a top-level window, and the visible windows it owns above it.
void raise(HWND window);

HWND focus_fallback_after_hide(WindowData* hidden);

// Hides a window; an active one hands activation to its owner or the next window.
bool hide(HWND window);

void activate(HWND window);

void kill_window_timers(WindowData* w);

// WM_DESTROY to a window, then to its children; then they leave the table.
void destroy_tree(HWND window);

std::u16string text_of(LPCWSTR text);

int copy_text(const std::u16string& text, LPWSTR buffer, int capacity);

void resize_surface(WindowData* w);

// Moves and sizes a window; WM_SIZE follows at once when asked.
bool place(HWND window, int x, int y, int width, int height, bool send_size);

bool show(HWND window, bool activating);

}  // namespace platform::window_steps
