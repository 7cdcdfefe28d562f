#pragma once
// What the bar and the menus ask of the window system.
#include "platform/Types.h"

namespace platform::menu {

// The top-level window a window belongs to, or null.
HWND top_level(HWND window);
// Queues a message among the window's pen and key input, as the display gives input, so it
// keeps its place; false when the window is gone.
bool post_input(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::menu
