// Window classes: RegisterClassW and UnregisterClassW.
#include "platform/window/WindowManager.h"

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/window/WindowSteps.h"

using namespace platform::window_steps;

ATOM RegisterClassW(const WNDCLASSW* window_class) {
    if (!window_class || !window_class->lpszClassName || !window_class->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Lock guard = lock_table();
    std::u16string name = window_class->lpszClassName;
    if (find_class(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    table().classes.push_back({name, window_class->style, window_class->lpfnWndProc, window_class->hInstance});
    return static_cast<ATOM>(0xC000 + table().classes.size());
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE) {
    Lock guard = lock_table();
    std::u16string name = text_of(class_name);
    auto& classes = table().classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](auto& c) { return same_class_name(c.name, name); });
    if (it == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}
