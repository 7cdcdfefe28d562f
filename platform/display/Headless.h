#pragma once
// The headless display's test interface: pen and key input as a user would give it, the clock,
// and the screen's pixels.
#include <cstdint>
#include <string>
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

// GetTickCount then returns start and moves only by step_clock; release_clock gives it back.
void use_test_clock(DWORD start);
void step_clock(DWORD milliseconds);
void release_clock();

// The composed screen (0x00RRGGBB), made afresh for each call; screen_pixels holds every row,
// top first, screen width pixels each.
uint32_t screen_pixel(int x, int y);
std::vector<uint32_t> screen_pixels();
bool save_screen_png(const std::string& path);

}  // namespace platform::headless
