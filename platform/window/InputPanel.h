#pragma once
// The shell's pen helpers: the input panel (SHSipPreference, SHSipInfo), the tap-and-hold
// recogniser (SHRecognizeGesture) and the caption's OK button (SHDoneButton).
#include "platform/window/Messages.h"

struct SIPINFO {
    DWORD cbSize = 0;
    DWORD fdwFlags = 0;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize = 0;
    LPVOID pvImData = nullptr;
};

constexpr DWORD SIPF_ON = 0x00000001;

enum SIPSTATE { SIP_UP = 0, SIP_DOWN = 1, SIP_FORCEDOWN = 2, SIP_UNCHANGED = 3 };

struct SHRGINFO {
    DWORD cbSize = 0;
    HWND hwndClient = nullptr;
    POINT ptDown;
    DWORD dwFlags = 0;
};

constexpr DWORD SHRG_RETURNCMD = 0x00000001;
constexpr DWORD GN_CONTEXTMENU = 1000;

constexpr DWORD SHDB_SHOW = 1;
constexpr DWORD SHDB_HIDE = 2;

// Raises or lowers the input panel; the top-level windows then get WM_SETTINGCHANGE
// with SPI_SETSIPINFO.
BOOL SHSipPreference(HWND window, SIPSTATE state);
// SPI_GETSIPINFO into a SIPINFO whose cbSize is set.
BOOL SHSipInfo(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);
// Called on a pen-down: GN_CONTEXTMENU when the pen stays down, without moving, for about half
// a second; 0 when it lifts or moves first. The pen's later messages stay in the queue.
DWORD SHRecognizeGesture(SHRGINFO* info);
BOOL SHDoneButton(HWND window, DWORD state);

namespace platform {

bool input_panel_up();
// The panel's rectangle on the screen (empty while it is down).
RECT input_panel_rect();
// How often the panel has come up: each time it does, its keyboard starts afresh.
unsigned input_panel_raises();

}  // namespace platform
