#pragma once
// The system's single-line "Edit" window class, there without registering it: text with a
// caret and a selection, edited with the keys and the pen as on a desktop (arrows, Home, End,
// Backspace, Delete, typing, Shift to select, Ctrl to move by words, dragging, a double tap
// selecting a word, Ctrl+C/X/V/A and Shift+Del/Shift+Ins/Ctrl+Ins through the clipboard).
// Messages: WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, EM_GETSEL, EM_SETSEL, EM_SETREADONLY,
// EM_SETINPUTMODE; the parent gets WM_COMMAND with EN_CHANGE after every change of the text.
// The Back key handed back by the shell (WM_HOTKEY with VK_ESCAPE going down) deletes backwards.
// Drawn in the default face with an em height of 11 pixels per 96 dpi, the text starting 2
// pixels per 96 dpi inside the border, vertically centred; the selection shows while the edit
// has the focus; the caret, a pixel per 96 dpi wide, blinks.
#include <string_view>

#include "platform/Types.h"

// Styles: an edit scrolls its text sideways (ES_AUTOHSCROLL is required; multi-line, aligned
// and password edits are not supported and fail to be created).
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;

// The selection: wParam and lParam point at DWORDs for its start and end (either may be null);
// the result holds the start in its low word and the end in its high word.
constexpr UINT EM_GETSEL = 0x00B0;
// wParam is the anchor, lParam the caret (the moving end); -1 as the anchor keeps the caret and
// selects nothing, a negative caret or one past the end means the end of the text.
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SETREADONLY = 0x00CF;
// lParam: the phone keypad's input mode, digits or text (other modes fail). The desktop keyboard
// types whatever it types, so the mode is only kept.
constexpr UINT EM_SETINPUTMODE = 0x00DE;
constexpr LPARAM EIM_NUMBERS = 2;
constexpr LPARAM EIM_TEXT = 3;

constexpr WORD EN_CHANGE = 0x0300;

namespace platform {

// Registers the system's own window classes when the name is one of them ("Edit"); whether it
// was. CreateWindowExW asks before it reports an unknown class.
bool register_system_class(std::u16string_view name);

}  // namespace platform
