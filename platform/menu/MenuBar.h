#pragma once
// The shell's menu bar: SHCreateMenuBar makes a bar window along the bottom of the screen, below
// the work area, owned by a window, with the buttons of a tool-bar resource (platform/resource/).
// The bar is driven by tool-bar messages (TB_INSERTBUTTONW, TB_DELETEBUTTON, TB_BUTTONCOUNT,
// TB_GETBUTTON, TB_SETBUTTONINFO), shows images added by CommandBar_AddBitmap (the common
// controls' ordinal 5), and can take over the Back key (SHCMBM_OVERRIDEKEY).
//
// What the bar does: a tap on a button posts WM_COMMAND (its identifier; lParam the bar) to the
// owner; a button with a drop-down (TBSTYLE_DROPDOWN | BTNS_WHOLEDROPDOWN, the popup menu in its
// data) sends WM_INITMENUPOPUP (wParam the menu, low word of lParam the button's identifier) to
// the owner, opens the menu above itself and posts the chosen item's WM_COMMAND. On a device with
// soft keys (a Smartphone, or a Pocket PC of major version 5 and later) a bar of at most two
// buttons without images shows them as the left and right soft keys, which F1 and F2 press.
// Taps and keys do nothing while the owner is disabled. The bar never takes activation.
//
// The Back key's two shell calls: SHSendBackToFocusWindow (aygshell's ordinal 97) and
// SHNavigateBack (its ordinal 183).
#include "platform/Types.h"

struct SHMENUBARINFO {
    DWORD cbSize = 0;
    HWND hwndParent = nullptr;
    DWORD dwFlags = 0;  // only 0
    UINT nToolBarId = 0;
    HINSTANCE hInstRes = nullptr;
    int nBmpId = 0;      // only 0: images come through CommandBar_AddBitmap
    int cBmpImages = 0;  // only 0
    HWND hwndMB = nullptr;
    COLORREF clrBk = 0;
};
// cbSize as the device's 32-bit programs give it; sizeof(SHMENUBARINFO) is taken too.
constexpr DWORD device_menu_bar_info_size = 36;

struct TBBUTTON {
    int iBitmap = 0;
    int idCommand = 0;
    BYTE fsState = 0;
    BYTE fsStyle = 0;
    BYTE bReserved[2] = {};
    uintptr_t dwData = 0;
    intptr_t iString = 0;  // a zero-terminated text, or 0 or -1 for none
};

struct TBBUTTONINFO {
    UINT cbSize = 0;
    DWORD dwMask = 0;
    int idCommand = 0;
    int iImage = 0;
    BYTE fsState = 0;
    BYTE fsStyle = 0;
    WORD cx = 0;
    uintptr_t lParam = 0;
    LPWSTR pszText = nullptr;
    int cchText = 0;  // read up to this many characters when above 0, else up to the zero
};
// cbSize as the device's 32-bit programs give it; sizeof(TBBUTTONINFO) is taken too.
constexpr UINT device_button_info_size = 32;

// The messages answer FALSE (0) for what they cannot do.
constexpr UINT TB_DELETEBUTTON = 0x0400 + 22;   // wParam index
constexpr UINT TB_GETBUTTON = 0x0400 + 23;      // wParam index, lParam TBBUTTON*
constexpr UINT TB_BUTTONCOUNT = 0x0400 + 24;    // the number of buttons, separators included
constexpr UINT TB_SETBUTTONINFO = 0x0400 + 64;  // wParam the button's identifier, lParam TBBUTTONINFO*
constexpr UINT TB_INSERTBUTTONW = 0x0400 + 67;  // wParam index (beyond the end: appended), lParam TBBUTTON*
constexpr UINT TB_INSERTBUTTON = TB_INSERTBUTTONW;
// wParam the key (only VK_ESCAPE, the Back key), lParam MAKELPARAM(mask, values) of SHMBOF_ flags.
// SHMBOF_NOTIFY: the owner gets WM_HOTKEY (wParam the key, lParam MAKELPARAM(modifiers, key),
// MOD_KEYUP on release) for each press and release; SHMBOF_NODEFAULT: the key goes nowhere else.
constexpr UINT SHCMBM_OVERRIDEKEY = 0x0400 + 403;

constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;

constexpr BYTE TBSTYLE_BUTTON = 0x00;
constexpr BYTE TBSTYLE_SEP = 0x01;
constexpr BYTE TBSTYLE_DROPDOWN = 0x08;  // only with BTNS_WHOLEDROPDOWN
constexpr BYTE TBSTYLE_AUTOSIZE = 0x10;
constexpr BYTE BTNS_WHOLEDROPDOWN = 0x80;

constexpr DWORD TBIF_IMAGE = 0x01;
constexpr DWORD TBIF_TEXT = 0x02;
constexpr DWORD TBIF_STATE = 0x04;
constexpr DWORD TBIF_STYLE = 0x08;
constexpr DWORD TBIF_LPARAM = 0x10;
constexpr DWORD TBIF_COMMAND = 0x20;

constexpr int I_IMAGENONE = -2;

constexpr WORD SHMBOF_NODEFAULT = 0x0001;
constexpr WORD SHMBOF_NOTIFY = 0x0002;
constexpr WORD MOD_KEYUP = 0x1000;

BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// Adds `count` images of width x height, side by side in the module's bitmap resource, to the
// bar's strip; the index of the first, or -1. Every strip of a bar has the same image size.
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmap_id, int count, int width, int height);

// Hands a Back key that a menu bar turned into WM_HOTKEY to the focus window as the key it
// edits with: a Backspace press, or its release when lParam carries MOD_KEYUP.
void SHSendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam);
// Steps back from the program to the one before it: the desktop (the SDL window is minimised);
// the program's windows stay as they are.
void SHNavigateBack();

namespace platform::menu {

// A key from the display: F1 and F2 press the soft keys of the active window's bar, and a Back
// key that the bar took over becomes the owner's WM_HOTKEY. True when the bar took the key.
bool route_key(UINT virtual_key, bool down, bool repeat);

// A button's rectangle on the screen (empty for a hidden or unknown one), for tests and demos.
RECT button_rect(HWND bar, int index);

}  // namespace platform::menu
