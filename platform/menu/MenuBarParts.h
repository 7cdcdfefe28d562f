#pragma once
// The menu bar's own parts, shared by its message handling (MenuBar.cpp), its layout
// (MenuBarLayout.cpp) and its painting (MenuBarPainting.cpp): the buttons and image tiles of a
// bar, the process's table of bars, and where each button stands.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/menu/MenuBar.h"
#include "platform/window/Window.h"

namespace platform::menu::menu_bar {

struct Button {
    int image = I_IMAGENONE;
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = 0;
    uintptr_t data = 0;
    std::u16string text;

    bool separator() const { return (style & TBSTYLE_SEP) != 0; }
    bool hidden() const { return (state & TBSTATE_HIDDEN) != 0; }
    bool usable() const { return (state & TBSTATE_ENABLED) && !(state & TBSTATE_INDETERMINATE) && !separator(); }
    bool drops_down() const { return (style & TBSTYLE_DROPDOWN) != 0; }
};

// One image of a strip, as straight RGBA rows.
struct Tile {
    std::vector<uint8_t> rgba;
};

struct Bar {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::vector<Button> buttons;
    std::vector<Tile> images;
    int image_width = 0;
    int image_height = 0;
    WORD back_flags = 0;  // SHMBOF_ flags for the Back key
    int pressed = -1;     // the button held down by the pen or a soft key
    bool pressed_by_key = false;
    bool pen_over = false;  // the pen that pressed it is still over it
};

// The bars of the process, newest last. Taken before the window table's lock, never across a
// call into a window procedure.
struct BarTable {
    std::recursive_mutex lock;
    std::vector<std::shared_ptr<Bar>> bars;
};

using BarLock = std::unique_lock<std::recursive_mutex>;

BarTable& bars();

std::shared_ptr<Bar> find_bar(HWND window);

bool has_soft_keys();

bool has_image(const Bar& bar, const Button& b);

// The buttons a bar shows, in order, leaving out hidden ones.
std::vector<int> shown_buttons(const Bar& bar);

// Two text buttons on a soft-key device are the soft keys: the left and right halves of the bar.
bool soft_key_layout(const Bar& bar);

// The button behind soft key 0 (left) or 1 (right), or -1.
int soft_key_button(const Bar& bar, int key);

int bar_width();

// Each button's rectangle in the bar's client coordinates; empty for hidden ones.
std::vector<RECT> lay_out(const Bar& bar);

int button_at(const Bar& bar, POINT client);

// Draws the bar's window: its buttons in the soft-key or tool-bar look.
void paint(HWND window);

}  // namespace platform::menu::menu_bar
