#pragma once
// Window messages and the per-thread message queue: MSG, the WM_ numbers, PostMessageW,
// PostThreadMessageW, SendMessageW, GetMessageW, PeekMessageW, PostQuitMessage,
// TranslateMessage, DispatchMessageW, GetMessagePos/GetMessageTime.
//
// A thread gets a queue when it first creates a window or reads its queue. Retrieval order:
// sent messages (handled inside the call), posted messages, WM_QUIT, input, WM_PAINT for an
// invalid window, WM_TIMER for a due timer.
#include "platform/Types.h"

using LONG_PTR = intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_TIMEOUT = 1460;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_IME_COMPOSITION = 0x010F;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSELAST = 0x0209;
// wParam: the signed delta in its high word (WHEEL_DELTA per notch, positive away from the
// user) and the MK_ keys held in its low word; lParam: the pointer in screen coordinates.
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_USER = 0x0400;

// Wave-out notifications, delivered as thread or window messages.
constexpr UINT MM_WOM_OPEN = 0x03BB;
constexpr UINT MM_WOM_CLOSE = 0x03BC;
constexpr UINT MM_WOM_DONE = 0x03BD;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

struct COPYDATASTRUCT {
    uintptr_t dwData = 0;
    DWORD cbData = 0;
    LPVOID lpData = nullptr;
};

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// > 0 for a message, 0 for WM_QUIT, -1 when the window filter names no window of this thread.
BOOL GetMessageW(MSG* msg, HWND window, UINT filter_min, UINT filter_max);
BOOL PeekMessageW(MSG* msg, HWND window, UINT filter_min, UINT filter_max, UINT remove);
void PostQuitMessage(int exit_code);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
DWORD GetMessagePos();
LONG GetMessageTime();

namespace platform {

// Gives the calling thread its message queue now, so that thread messages posted to it
// before it first reads the queue are kept (the wave-out device's notifications).
void ensure_message_queue();

// Wakes every waiting queue; called when the injected clock steps, so due timers fire.
void wake_all_message_queues();

}  // namespace platform
