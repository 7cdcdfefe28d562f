#pragma once
// The input state the window system keeps: the pen's last screen position and which keys are
// held (for GetKeyState), and the character a key produces (TranslateMessage).
#include "platform/Types.h"

namespace platform {

POINT pen_position();
void set_pen_position(POINT screen);
void set_key_down(UINT virtual_key, bool down);
bool key_is_down(UINT virtual_key);
// The character TranslateMessage makes of a key-down, or 0 for none.
WCHAR character_of_key(UINT virtual_key);

// Input from the display: the pen goes to the capture window or the window under it (pressing
// activates that window's top-level window); keys go to the focus window, else the active one.
// Disabled windows get nothing. Returns whether a window took it.
enum class PenAction { Down, Move, Up };
bool inject_pen(PenAction action, POINT screen);
// A held key repeats as more key-downs, with no key-up between.
bool inject_key(UINT virtual_key, bool down, bool repeat);
// A character typed without a device key of its own (punctuation from the desktop keyboard, as
// the input panel gives it): WM_CHAR to the focus window, else the active one.
bool inject_char(WCHAR character);
// Whether a key-down of some device key makes this character through TranslateMessage, so the
// host's text for it is not sent again.
bool is_key_character(WCHAR character);
bool pen_is_down();

}  // namespace platform
