// One instance of a program named "Vantrel" for the single-instance tests.
//   instance_app first FOLDER   takes the instance mutex, shows a window of the program's class,
//                               writes FOLDER/ready, waits for FOLDER/go, releases the mutex
//                               (the close bracket), then pumps until a command line is handed
//                               over; prints "received=TEXT" and "foreground=0|1"
//   instance_app second FOLDER [COMMAND_LINE]
//                               the open bracket; writes FOLDER/second-returned when it
//                               returns; exit 0 when a running instance took the command line
//   instance_app second-application
//                               constructs a second Application (a fatal error)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "base/Strings.h"
#include "platform/window/Window.h"
#include "ui/application/Application.h"

namespace {

using skinner::Application;

std::u16string received;
bool got_command_line = false;

LRESULT form_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        std::u16string text;
        if (Application::read_handed_over_command_line(reinterpret_cast<const COPYDATASTRUCT*>(lParam), text)) {
            received = text;
            got_command_line = true;
            // What the form's bring_to_front does with a handed-over command line.
            ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void touch(const std::string& path) {
    std::ofstream(path) << "x";
}

void pump_for(std::chrono::milliseconds span, bool (*done)()) {
    auto deadline = std::chrono::steady_clock::now() + span;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string folder;
bool go_given() {
    return std::filesystem::exists(folder + "/go");
}
bool handed_over() {
    return got_command_line;
}

int first() {
    if (Application::show_running_instance_open_bracket(u"", u"Vantrel")) {
        std::printf("not first\n");
        return 1;
    }
    Application application(nullptr, u"Vantrel");
    WNDCLASSW form_class;
    form_class.lpfnWndProc = &form_proc;
    form_class.lpszClassName = application.get_class_name().c_str();
    RegisterClassW(&form_class);
    HWND form = CreateWindowExW(0, application.get_class_name().c_str(), u"Vantrel", WS_VISIBLE, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    // Another window on top, so that coming to the front is seen.
    HWND other = CreateWindowExW(0, application.get_class_name().c_str(), u"Other", WS_VISIBLE | WS_POPUP, 0, 0,
                                 10, 10, form, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    touch(folder + "/ready");
    pump_for(std::chrono::seconds(20), &go_given);
    Application::show_running_instance_close_bracket();
    pump_for(std::chrono::seconds(20), &handed_over);
    std::string text;
    skinner::narrow(received, text);
    std::printf("received=%s\nforeground=%d\n", text.c_str(), GetForegroundWindow() == form ? 1 : 0);
    DestroyWindow(other);
    DestroyWindow(form);
    return got_command_line ? 0 : 1;
}

int second(const char* command_line) {
    std::u16string line;
    skinner::widen(command_line, std::strlen(command_line), line);
    bool found = Application::show_running_instance_open_bracket(line, u"Vantrel");
    touch(folder + "/second-returned");
    return found ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "second-application") == 0) {
        Application first_application(nullptr, u"Fatal");
        Application second_application(nullptr, u"Fatal");
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: instance_app first|second FOLDER [COMMAND_LINE]\n");
        return 2;
    }
    folder = argv[2];
    if (std::strcmp(argv[1], "first") == 0) {
        return first();
    }
    if (std::strcmp(argv[1], "second") == 0) {
        return second(argc > 3 ? argv[3] : "");
    }
    return 2;
}
