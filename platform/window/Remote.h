#pragma once
// Windows of other running instances: their handles carry the other process's id.
#include "platform/window/Messages.h"

namespace platform {

bool is_remote_window(HWND window);
// Only WM_COPYDATA crosses processes; anything else returns 0.
LRESULT remote_send_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
