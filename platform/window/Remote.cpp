#include "platform/window/Remote.h"

#include <unistd.h>

#include "platform/kernel/Core.h"
#include "platform/window/WindowTable.h"

namespace platform {

bool is_remote_window(HWND window) {
    DWORD pid = process_of_window(window);
    return window && pid != 0 && pid != static_cast<DWORD>(getpid());
}

LRESULT remote_send_message(HWND, UINT, WPARAM, LPARAM) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

}  // namespace platform
