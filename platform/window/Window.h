#pragma once
// The window system, as the program calls it:
// - messages and queues (Messages.h): PostMessageW, PostThreadMessageW, SendMessageW,
//   GetMessageW, PeekMessageW, PostQuitMessage, TranslateMessage, DispatchMessageW
// - keys (Keys.h): VK_ codes, GetKeyState
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
