#pragma once
// Virtual-key codes of the device's keys, and GetKeyState.
#include "platform/Types.h"

using SHORT = int16_t;

constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_LSHIFT = 0xA0;
constexpr UINT VK_RSHIFT = 0xA1;
// The phone keypad's '*' and '#' keys.
constexpr UINT VK_STAR = 0x77;
constexpr UINT VK_POUND = 0x78;
// The two soft keys under the screen.
constexpr UINT VK_TSOFT1 = VK_F1;
constexpr UINT VK_TSOFT2 = VK_F2;

// Negative (high bit set) while the key is held.
SHORT GetKeyState(int virtual_key);

namespace platform {

// Bit 30 of a key message's lParam: the key was already down (a held key's repeats, and every
// key-up).
constexpr LPARAM key_was_down_flag = LPARAM{1} << 30;
inline bool key_was_down(LPARAM flags) { return (flags & key_was_down_flag) != 0; }

}  // namespace platform
