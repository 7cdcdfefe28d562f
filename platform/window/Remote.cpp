#include "platform/window/Remote.h"

#include <unistd.h>

#include "platform/kernel/Core.h"
#include "platform/window/WindowTable.h"

namespace platform {

bool is_remote_window(HWND window) {
    DWORD pid = process_of_window(window);
    return window && pid != 0 && pid != static_cast<DWORD>(getpid());
}

std::vector<RemoteWindow> remote_windows() {
    return {};
}

bool find_remote_window(HWND, RemoteWindow*) {
    return false;
}

bool remote_window_exists(HWND) {
    return false;
}

LRESULT remote_send_message(HWND, UINT, WPARAM, LPARAM) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

bool remote_set_foreground(HWND) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

void publish_windows() {}

std::string instance_folder() {
    return {};
}

}  // namespace platform
