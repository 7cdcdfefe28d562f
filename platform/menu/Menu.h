#pragma once
// Popup menus: CreatePopupMenu, AppendMenuW, DeleteMenu, DestroyMenu and TrackPopupMenuEx.
// The platform draws an open menu as a window of its own over the screen and tracks it in a
// modal loop of its own on the calling thread: the pen chooses or dismisses, the keys move
// (Up, Down, Right into a submenu, Left out of it), choose (Enter) and close (Esc, Back).
#include "platform/Types.h"

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct TPMPARAMS;

HMENU CreatePopupMenu();
// Flags: MF_GRAYED or MF_DISABLED, MF_CHECKED, and MF_POPUP (item is a submenu, which the menu
// then owns; a submenu has one parent only) or MF_SEPARATOR. Other flags fail.
BOOL AppendMenuW(HMENU menu, UINT flags, uintptr_t id_or_submenu, LPCWSTR text);
// MF_BYPOSITION, or MF_BYCOMMAND (searching submenus too). A submenu item's menu is destroyed.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// Destroys the menu and its submenus; a submenu leaves its parent's list.
BOOL DestroyMenu(HMENU menu);
// x, y in screen coordinates; the alignment flags place the menu's corner or centre there, and
// the menu is moved to stay below the top bar and on the screen. With TPM_RETURNCMD the result
// is the chosen item's identifier, or 0; without it the choice is posted to the window as
// WM_COMMAND and the result is TRUE. The window must belong to the calling thread; one menu
// is tracked at a time; params must be null.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND window, TPMPARAMS* params);
