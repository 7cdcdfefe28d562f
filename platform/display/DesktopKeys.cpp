#include "platform/display/DesktopKeys.h"

#include "platform/window/Keys.h"
#include "platform/window/Messages.h"

namespace platform {

UINT device_key(SDL_Keycode key, Uint16 modifiers, DeviceType device) {
    bool shift = (modifiers & KMOD_SHIFT) != 0;
    if (shift && key == SDLK_8) {
        return VK_STAR;
    }
    if (shift && key == SDLK_3) {
        return VK_POUND;
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<UINT>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        // Shifted digits are punctuation: those arrive as text.
        return shift ? 0 : static_cast<UINT>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return static_cast<UINT>('1' + (key - SDLK_KP_1));
    }
    switch (key) {
    case SDLK_KP_0: return '0';
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;  // the device's Back key
    // A Smartphone has no backspace: its Back key deletes in a text field.
    case SDLK_BACKSPACE: return device == DeviceType::Smartphone ? VK_ESCAPE : VK_BACK;
    case SDLK_F1: return VK_TSOFT1;
    case SDLK_F2: return VK_TSOFT2;
    case SDLK_F3: return VK_F3;
    case SDLK_F4: return VK_F4;
    case SDLK_ASTERISK:
    case SDLK_KP_MULTIPLY: return VK_STAR;
    case SDLK_HASH: return VK_POUND;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

}  // namespace platform
