#pragma once
// Windows of other running instances: their handles carry the other process's id. Each process
// with top-level windows publishes them (class, caption, owner) in the instance folder and
// listens on a socket there, so WM_COPYDATA and SetForegroundWindow reach it.
#include <string>
#include <vector>

#include "platform/window/Messages.h"

namespace platform {

struct RemoteWindow {
    HWND handle = nullptr;
    HWND parent = nullptr;
    std::u16string class_name;
    std::u16string text;
};

bool is_remote_window(HWND window);
// The other instances' top-level windows, each process's in its own Z order.
std::vector<RemoteWindow> remote_windows();
bool find_remote_window(HWND window, RemoteWindow* out);
bool remote_window_exists(HWND window);
// Only WM_COPYDATA crosses processes; anything else fails and returns 0.
LRESULT remote_send_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool remote_set_foreground(HWND window);
// Rewrites this process's published list (after its top-level windows changed).
void publish_windows();

// The folder shared by the instances that run on one device: the user's runtime folder, or a
// private one under the temporary folder, with a subfolder per VANTREL_ROOT.
std::string instance_folder();

}  // namespace platform
