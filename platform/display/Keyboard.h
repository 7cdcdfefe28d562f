#pragma once
// The on-screen keyboard the input panel shows while it is up: its keys, how it looks (in the
// menu bar's font and colours) and what a pen tap on it types at the focused window.
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/window/Input.h"

namespace platform {

struct PanelKey {
    std::u16string name;   // "q", "shift", "backspace", "123", "abc", "space", "enter", ".", ...
    std::u16string label;  // what the key shows (a letter in capitals while shift is on)
    RECT rect;             // screen coordinates
};

// The keys as the panel shows them now; none while the panel is down.
std::vector<PanelKey> input_panel_keys();

// Draws the whole panel onto the screen (nothing while it is down).
void draw_input_panel(PixelSurface& screen);

// Pen input from the display. A press inside the panel belongs to it until the pen lifts: the
// key under the pen shows pressed, and lifting on it types. True when the panel took the input.
bool input_panel_pen(PenAction action, POINT screen);

}  // namespace platform
