#include "base/Key.h"

#include <cstring>

#include "platform/window/Keys.h"

namespace skinner {

const KeyName key_names[] = {
    {Key::None, "None"}, {Key::Shift, "Shift"}, {Key::Ctrl, "Ctrl"}, {Key::Alt, "Alt"}, {Key::Left, "Left"},
    {Key::Right, "Right"}, {Key::Up, "Up"}, {Key::Down, "Down"}, {Key::Esc, "Esc"}, {Key::Enter, "Enter"},
    {Key::Space, "Space"}, {Key::Backspace, "Backspace"}, {Key::Del, "Del"}, {Key::Insert, "Insert"},
    {Key::Home, "Home"}, {Key::End, "End"}, {Key::PageDown, "PageDown"}, {Key::PageUp, "PageUp"},
    {Key::Tab, "Tab"}, {Key::ContextMenu, "ContextMenu"},
    {Key::A, "A"}, {Key::B, "B"}, {Key::C, "C"}, {Key::D, "D"}, {Key::E, "E"}, {Key::F, "F"}, {Key::G, "G"},
    {Key::H, "H"}, {Key::I, "I"}, {Key::J, "J"}, {Key::K, "K"}, {Key::L, "L"}, {Key::M, "M"}, {Key::N, "N"},
    {Key::O, "O"}, {Key::P, "P"}, {Key::Q, "Q"}, {Key::R, "R"}, {Key::S, "S"}, {Key::T, "T"}, {Key::U, "U"},
    {Key::V, "V"}, {Key::W, "W"}, {Key::X, "X"}, {Key::Y, "Y"}, {Key::Z, "Z"},
    {Key::Digit0, "0"}, {Key::Digit1, "1"}, {Key::Digit2, "2"}, {Key::Digit3, "3"}, {Key::Digit4, "4"},
    {Key::Digit5, "5"}, {Key::Digit6, "6"}, {Key::Digit7, "7"}, {Key::Digit8, "8"}, {Key::Digit9, "9"},
    {Key::CALL_MAKE, "CALL_MAKE"}, {Key::CALL_END, "CALL_END"}, {Key::Star, "*"}, {Key::Pound, "#"},
    {Key::SLIDE, "SLIDE"}, {Key::SOFT_LEFT, "SOFT_LEFT"}, {Key::SOFT_RIGHT, "SOFT_RIGHT"},
    {Key::VOLUME_UP, "VOLUME_UP"}, {Key::VOLUME_DOWN, "VOLUME_DOWN"},
    {Key::None, nullptr},
};

std::string_view text_of(Key key) {
    for (const KeyName* row = key_names; row->name; ++row) {
        if (row->code == key) {
            return std::string_view(row->name, std::strlen(row->name));
        }
    }
    return {};
}

Key key_from_virtual_key(uint32_t vk) {
    if (vk >= '0' && vk <= '9') {
        return static_cast<Key>(static_cast<int32_t>(Key::Digit0) + static_cast<int32_t>(vk - '0'));
    }
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<Key>(static_cast<int32_t>(Key::A) + static_cast<int32_t>(vk - 'A'));
    }
    switch (vk) {
    case VK_BACK: return Key::Backspace;
    case VK_TAB: return Key::Tab;
    case VK_RETURN: return Key::Enter;
    case VK_SHIFT: return Key::Shift;
    case VK_CONTROL: return Key::Ctrl;
    case VK_MENU: return Key::Alt;
    case VK_ESCAPE: return Key::Esc;
    case VK_SPACE: return Key::Space;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    case VK_END: return Key::End;
    case VK_HOME: return Key::Home;
    case VK_LEFT: return Key::Left;
    case VK_UP: return Key::Up;
    case VK_RIGHT: return Key::Right;
    case VK_DOWN: return Key::Down;
    case VK_INSERT: return Key::Insert;
    case VK_DELETE: return Key::Del;
    case VK_APPS: return Key::ContextMenu;
    case VK_F3: return Key::CALL_MAKE;
    case VK_F4: return Key::CALL_END;
    default: return Key::None;
    }
}

bool is_key_down(Key key) {
    switch (key) {
    case Key::Shift: return GetKeyState(VK_SHIFT) < 0;
    case Key::Ctrl: return GetKeyState(VK_CONTROL) < 0;
    case Key::Alt: return GetKeyState(VK_MENU) < 0;
    default: return false;
    }
}

Key activation_key() {
    return Key::Enter;
}

}  // namespace skinner
