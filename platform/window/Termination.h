#pragma once
// The host's requests to end the program: SIGTERM, SIGINT and SIGHUP end the display thread's
// message loops as a WM_QUIT posted to it does (each modal loop, message box and menu in
// turn), so that the program goes through its own shut-down, as its Exit does. A second such
// signal, once the first has been handed on, ends the process at once.
#include "platform/Types.h"

namespace platform {

// From the thread whose loops the signals end; once per process (later calls do nothing). A
// signal the process was started with ignored (nohup) stays ignored.
void quit_thread_on_termination_signals(DWORD thread_id);

}  // namespace platform
