#pragma once
// The window system, as the program calls it:
// - Messages.h: MSG, WM_ numbers, PostMessageW, PostThreadMessageW, SendMessageW, GetMessageW,
//   PeekMessageW, PostQuitMessage, TranslateMessage, DispatchMessageW
// - WindowManager.h: RegisterClassW, CreateWindowExW, DestroyWindow, DefWindowProcW,
//   Get/SetWindowLongW, CallWindowProcW, MoveWindow, SetWindowPos, window and client rectangles,
//   text, ShowWindow, EnableWindow, EnumWindows, FindWindowW, activation (SetForegroundWindow),
//   focus (SetFocus), capture (SetCapture), SetTimer/KillTimer, InvalidateRect, UpdateWindow,
//   BeginPaint/EndPaint, GetDC/ReleaseDC (GetDC(NULL): the screen); implemented by concern in
//   WindowClasses.cpp, WindowLifetime.cpp, WindowPlacement.cpp, WindowLookup.cpp,
//   Activation.cpp, Timers.cpp and Painting.cpp, over the shared steps of WindowSteps.h
// - Keys.h: VK_ codes, GetKeyState
// - SystemInfo.h: GetVersionExW, SystemParametersInfoW (work area, platform type, OEM text)
// - InputPanel.h: SHSipPreference, SHSipInfo, SHRecognizeGesture (tap and hold), SHDoneButton
// - MessageBox.h: MessageBoxW
// - Cursor.h: LoadCursorW, SetCursor, GetCursor
// - Modules.h: LoadLibraryW, GetProcAddressW, FreeLibrary
// - Mutex.h: CreateMutexW, ReleaseMutex (named ones shared between processes)
// Windows of other running instances are listed by EnumWindows and reached by WM_COPYDATA and
// SetForegroundWindow (Remote.h). The screen itself is platform/display/.
#include "platform/window/Cursor.h"
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Messages.h"
#include "platform/window/Modules.h"
#include "platform/window/Mutex.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/WindowManager.h"
