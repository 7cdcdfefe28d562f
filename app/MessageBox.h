#pragma once
// The program's message boxes go through one call, so that tests can see them instead of
// answering them.
#include <string>

#include "platform/window/MessageBox.h"
#include "platform/window/Window.h"

namespace skinner {
class Properties;
}

namespace app {

using MessageBoxFunction = int (*)(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);

// MessageBoxW, or the function a test put in its place.
int message_box(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);

// Null gives the platform's boxes back.
void set_message_box_function(MessageBoxFunction function);

// After a file or an address failed to open with the given error: when the desktop has nothing
// to open it with, a box over the owner says so ("No_opener"); other failures stay silent.
void tell_when_no_opener(DWORD error, HWND owner, skinner::Properties& properties);

}  // namespace app
