#pragma once
// How the platform draws its menu bar and menus, in the colours of the program's skin: the
// font (DejaVu Sans, sized to the bar height of the device) and the drawing steps both share.
#include <string>

#include "platform/gdi/Gdi.h"

namespace platform::menu {

namespace look {
constexpr COLORREF bar = RGB(0x1D, 0x2D, 0x3D);
constexpr COLORREF bar_edge = RGB(0x3C, 0x5A, 0x78);
constexpr COLORREF bar_text = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF bar_pressed = RGB(0xF0, 0xC0, 0x40);
constexpr COLORREF bar_pressed_text = RGB(0x13, 0x20, 0x2E);
constexpr COLORREF bar_checked = RGB(0x3C, 0x5A, 0x78);
constexpr COLORREF bar_disabled_text = RGB(0x8A, 0x94, 0x9E);
constexpr COLORREF menu = RGB(0xF4, 0xF6, 0xF8);
constexpr COLORREF menu_border = RGB(0x1D, 0x2D, 0x3D);
constexpr COLORREF menu_text = RGB(0x13, 0x20, 0x2E);
constexpr COLORREF menu_highlight = RGB(0x3C, 0x5A, 0x78);
constexpr COLORREF menu_highlight_text = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF menu_disabled_text = RGB(0x8A, 0x94, 0x9E);
constexpr COLORREF menu_separator = RGB(0xB8, 0xC2, 0xCC);
constexpr COLORREF menu_check = RGB(0x2A, 0x8A, 0x3A);
}  // namespace look

// The em height of menu text for the device's bar height.
int text_height();
// The shared font at that height (made once per height).
HFONT font();

void fill(HDC dc, RECT r, COLORREF colour);
// One line of text; '&' marks a mnemonic, "&&" is an ampersand.
void draw_text(HDC dc, const std::u16string& text, RECT r, UINT format, COLORREF colour);
int text_width(HDC dc, const std::u16string& text);
// A check mark filling the square r, and small triangles pointing right or up.
void draw_check(HDC dc, RECT r, COLORREF colour);
void draw_arrow_right(HDC dc, RECT r, COLORREF colour);
void draw_arrow_up(HDC dc, RECT r, COLORREF colour);

}  // namespace platform::menu
