#pragma once
// The headless display's test interface: pen and key input as a user would give it, the clock,
// and the screen's pixels.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

namespace platform::headless {

void pen_down(int x, int y);
void pen_move(int x, int y);
void pen_up(int x, int y);
void tap(int x, int y);
void key_down(UINT virtual_key);
// One more key-down of a held key, as the device repeats it.
void key_repeat(UINT virtual_key);
void key_up(UINT virtual_key);
void key_press(UINT virtual_key);
// Text as a user types it: small letters, digits, space, '*' and '#' as key presses, anything
// else (capitals, punctuation) as characters of their own, as the input panel gives them.
void type_text(const std::u16string& text);
// A key of the desktop keyboard that types text, as the SDL display gives it: the key goes down
// (no character of its own), the text arrives as characters, the key goes up. A virtual key of
// 0 is text without a device key (a dead key's accent, an input method's result).
void desktop_type(UINT virtual_key, std::u16string_view text);
// The mouse wheel turned by notches (positive away from the user) with the pointer at (x, y).
void wheel(int x, int y, int notches);
// The screen turns a quarter, as the desktop's turn key does.
void turn_screen();
// A desktop clipboard that tests play the other programs on: off at first (as with no
// desktop); desktop_copy is another program copying text; desktop_clipboard what it holds.
void use_desktop_clipboard(bool on);
void desktop_copy(const std::u16string& text);
std::u16string desktop_clipboard();

// GetTickCount then returns start and moves only by step_clock; release_clock gives it back.
void use_test_clock(DWORD start);
void step_clock(DWORD milliseconds);
void release_clock();

// How often the program asked to step back to the desktop (SHNavigateBack).
int go_back_count();

// The composed screen (0x00RRGGBB), made afresh for each call; screen_pixels holds every row,
// top first, screen width pixels each.
uint32_t screen_pixel(int x, int y);
std::vector<uint32_t> screen_pixels();
// The screen as it was last composed, without composing it afresh.
std::vector<uint32_t> composed_pixels();
bool save_screen_png(const std::string& path);

}  // namespace platform::headless
