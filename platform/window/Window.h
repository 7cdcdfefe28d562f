#pragma once
// The window system, as the program calls it:
// - Messages.h: MSG, WM_ numbers, PostMessageW, PostThreadMessageW, SendMessageW, GetMessageW,
//   PeekMessageW, PostQuitMessage, TranslateMessage, DispatchMessageW
// - WindowManager.h: RegisterClassW, CreateWindowExW, DestroyWindow, DefWindowProcW,
//   Get/SetWindowLongW, CallWindowProcW, MoveWindow, SetWindowPos, window and client rectangles,
//   text, ShowWindow, EnableWindow, EnumWindows, FindWindowW, activation (SetForegroundWindow),
//   focus (SetFocus), capture (SetCapture), SetTimer/KillTimer, InvalidateRect, UpdateWindow,
//   BeginPaint/EndPaint, GetDC/ReleaseDC
// - Keys.h: VK_ codes, GetKeyState
// - SystemInfo.h: GetVersionExW, SystemParametersInfoW (work area, platform type)
// - InputPanel.h: SHSipPreference, SHSipInfo, SHRecognizeGesture, SHDoneButton
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/WindowManager.h"
