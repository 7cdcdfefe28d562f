// The Back key's shell calls: handing it to the focused edit window, and stepping back.
#include <cstdio>

#include "platform/display/Display.h"
#include "platform/menu/MenuBar.h"
#include "platform/menu/MenuWindows.h"
#include "platform/window/Keys.h"
#include "platform/window/Window.h"

void SHSendBackToFocusWindow(UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_HOTKEY) {
        std::fprintf(stderr, "platform: SHSendBackToFocusWindow of message 0x%x is not supported\n", message);
        return;
    }
    // An edit window deletes with Backspace, so that is the key it gets.
    bool up = (lParam & MOD_KEYUP) != 0;
    HWND focus = GetFocus();
    platform::menu::post_input(focus ? focus : GetActiveWindow(), up ? WM_KEYUP : WM_KEYDOWN, VK_BACK,
                               up ? static_cast<LPARAM>(1 | (LPARAM(3) << 30)) : 1);
}

void SHNavigateBack() {
    platform::display_go_back();
}
