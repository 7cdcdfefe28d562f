#pragma once
// The framework's own key numbering (0 to 64), independent of the device's virtual keys,
// with the key-name table that the log prints.
#include <cstdint>
#include <string_view>

namespace skinner {

enum class Key : int32_t {
    None = 0, Shift, Ctrl, Alt, Left, Right, Up, Down, Esc, Enter, Space, Backspace, Del, Insert, Home, End,
    PageDown, PageUp, Tab, ContextMenu,
    A = 20, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    Digit0 = 46, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    Star = 56, Pound, CALL_MAKE, CALL_END, SLIDE, SOFT_LEFT, SOFT_RIGHT, VOLUME_UP, VOLUME_DOWN,
};

struct KeyName {
    Key code;
    const char* name;  // null in the row that ends the table
};

// One row per key in the table's own order (58 and 59 come before 56 and 57), then the end row.
extern const KeyName key_names[];

// The name of the first row with the key's code; empty when no row has it.
std::string_view text_of(Key key);

// The device's virtual key as a Key; None for keys without one.
Key key_from_virtual_key(uint32_t virtual_key);
// Shift, Ctrl and Alt as the platform reports them; every other key is up.
bool is_key_down(Key key);
// The key that activates buttons and grid items: Enter.
Key activation_key();

}  // namespace skinner
