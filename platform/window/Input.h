#pragma once
// The input state the window system keeps: the pen's last screen position and which keys are
// held (for GetKeyState), and the character a key produces (TranslateMessage).
#include <string_view>

#include "platform/Types.h"

namespace platform {

POINT pen_position();
void set_pen_position(POINT screen);
// The keyboard as it is now; a test's set_key_down also holds the key for the calling thread.
void set_key_down(UINT virtual_key, bool down);
bool key_is_down(UINT virtual_key);
// The key as the calling thread sees it (GetKeyState): as of the last key message it took from
// its queue; as it is now for a thread without a queue.
bool key_is_held(UINT virtual_key);
// The character TranslateMessage makes of a key-down, or 0 for none.
WCHAR character_of_key(UINT virtual_key);

// Input from the display: the pen goes to the capture window or the window under it (pressing
// activates that window's top-level window); keys go to the focus window, else the active one.
// Disabled windows get nothing. Returns whether a window took it.
enum class PenAction { Down, Move, Up };
bool inject_pen(PenAction action, POINT screen);
// A held key repeats as more key-downs, with no key-up between. A key of the desktop keyboard
// comes with text_follows: the desktop types its characters itself (inject_text, so layouts,
// dead keys and input methods work), and TranslateMessage then makes none but control
// characters of it.
bool inject_key(UINT virtual_key, bool down, bool repeat, bool text_follows = false);
// The lParam bit that marks such a key message (one of the bits the device leaves unused).
constexpr LPARAM key_text_follows = LPARAM(1) << 25;
// A character typed without a device key of its own (as the input panel gives it): WM_CHAR to
// the focus window, else the active one.
bool inject_char(WCHAR character);
// Text typed on the desktop: a WM_CHAR for each UTF-16 code unit (a surrogate pair is two).
bool inject_text(std::u16string_view text);
// A turn of the mouse wheel: WM_MOUSEWHEEL to the window under the pointer.
bool inject_wheel(POINT screen, int delta);
bool pen_is_down();

}  // namespace platform
