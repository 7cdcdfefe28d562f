// A running instance for the single-instance tests: holds the named mutex while it "starts",
// shows a window of class "InstanceTest", and writes what reaches it into a folder.
//   window_instance DIR HOLD_MS
// DIR/ready holds the window handle once the window stands; DIR/received gets one line per
// WM_COPYDATA ("data_word byte_count text"), "activated" when the window is brought forward;
// a WM_COPYDATA carrying "quit" ends the process.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/kernel/Core.h"
#include "platform/window/Mutex.h"
#include "platform/window/Window.h"

namespace {

std::string folder;
HWND main_window = nullptr;

void append(const std::string& line) {
    if (FILE* f = std::fopen((folder + "/received").c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string narrow(const char16_t* text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out.push_back(text[i] < 128 ? static_cast<char>(text[i]) : '?');
    }
    return out;
}

LRESULT instance_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::string text = narrow(static_cast<const char16_t*>(data->lpData), data->cbData / 2);
        append(std::to_string(data->dwData) + " " + std::to_string(data->cbData) + " " + text);
        if (text == "quit") {
            PostQuitMessage(0);
        }
        return 1;
    }
    if (message == WM_ACTIVATE && wParam != WA_INACTIVE && lParam && window == main_window) {
        append("activated");
    }
    if (message == WM_TIMER && wParam == 1) {
        KillTimer(window, 1);
        HANDLE mutex = reinterpret_cast<HANDLE>(GetWindowLongW(window, GWL_USERDATA));
        ReleaseMutex(mutex);  // the close bracket: the main form stands
    }
    if (message == WM_TIMER && wParam == 2) {
        PostQuitMessage(3);  // nobody came
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    folder = argv[1];
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"VantrelInstanceTest");
    if (!mutex || WaitForSingleObject(mutex, 5000) != WAIT_OBJECT_0) {
        return 4;
    }
    WNDCLASSW wc;
    wc.lpfnWndProc = instance_proc;
    wc.lpszClassName = u"InstanceTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"InstanceTest", u"Instance", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    main_window = window;
    // Another window on top, so that bringing the instance's window forward is seen.
    CreateWindowExW(0, u"InstanceTest", u"Other", WS_POPUP | WS_VISIBLE, 0, 60, 50, 50, nullptr, nullptr, nullptr,
                    nullptr);
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(mutex));
    SetTimer(window, 1, static_cast<UINT>(std::atoi(argv[2])), nullptr);
    SetTimer(window, 2, 20000, nullptr);
    if (FILE* f = std::fopen((folder + "/ready.new").c_str(), "w")) {
        std::fprintf(f, "%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        std::fclose(f);
        std::rename((folder + "/ready.new").c_str(), (folder + "/ready").c_str());
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
