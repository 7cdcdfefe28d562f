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

}  // namespace platform
