#pragma once
// MessageBoxW: a nested modal loop over a top-level window of class "Dialog" titled with the
// caption, drawn by the platform, its owner disabled while it is up. A loop-ending message that
// arrives meanwhile (WM_QUIT, or WM_USER+33 that ends a form's modal loop) ends the box and is
// posted again, so the loop it was meant for still gets it. The MB_ICON* flags put their icon
// before the text: a red disc with a cross (hand), a blue disc with "?" (question) or "i"
// (asterisk), an amber triangle with "!" (exclamation).
#include "platform/Types.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_APPLMODAL = 0x0;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;

constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The button pressed (IDOK, IDCANCEL, IDYES, IDNO); 0 when the box could not be shown or was
// ended by a loop-ending message.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
