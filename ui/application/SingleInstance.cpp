// The single-instance check: a named mutex orders two starting instances, and the one that
// finds a running instance hands its command line over through WM_COPYDATA.
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/kernel/Core.h"
#include "platform/window/Mutex.h"
#include "ui/application/Application.h"
#include "ui/skin/FrameworkVariant.h"

namespace skinner {

namespace {

// User-interface thread only.
struct SingleInstanceState {
    HANDLE mutex = nullptr;
    bool found = false;
    std::u16string command_line;
    std::u16string name;
    std::u16string class_name;
};

SingleInstanceState& single_instance() {
    static SingleInstanceState state;
    return state;
}

std::u16string window_number(HWND window) {
    std::u16string text;
    text << static_cast<long long>(reinterpret_cast<intptr_t>(window));
    return text;
}

}  // namespace

bool Application::show_running_instance_open_bracket(const std::u16string& command_line, const std::u16string& name) {
    Log::instance() << u"Application::show_running_instance_open_bracket cmd_line=" << command_line << u"\n";
    SingleInstanceState& state = single_instance();
    state.name = name;
    state.class_name = u"SkinnerClass_" + name;
    state.command_line = command_line;
    state.found = false;
    if (!state.mutex) {
        state.mutex = CreateMutexW(nullptr, FALSE, state.class_name.c_str());
    }
    if (!state.mutex) {
        Log::instance() << u"Application::show_running_instance_open_bracket mutex==0\n";
        return false;
    }
    // Blocks while another instance is still building its main window.
    WaitForSingleObject(state.mutex, INFINITE);
    EnumWindows(&Application::EnumProc, 0);
    return state.found;
}

void Application::show_running_instance_close_bracket() {
    SingleInstanceState& state = single_instance();
    if (state.mutex) {
        ReleaseMutex(state.mutex);
        CloseHandle(state.mutex);
        state.mutex = nullptr;
    }
}

BOOL Application::EnumProc(HWND window, LPARAM) {
    SingleInstanceState& state = single_instance();
    // Room for one character more than the class looked for, so a longer class never
    // compares equal after being cut.
    std::vector<WCHAR> buffer(std::max<size_t>(39, state.class_name.size() + 2), 0);
    int length = GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
    std::u16string class_name(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
    if (GetParent(window)) {
        return TRUE;
    }
    if (class_name == state.class_name) {
        Log::instance() << u"Application::EnumProc window found hwnd=" << window_number(window) << u" 1\n";
        state.found = true;
        std::u16string text = state.command_line.empty() ? std::u16string(empty_command_line) : state.command_line;
        COPYDATASTRUCT data;
        data.dwData = 0;
        data.cbData = static_cast<DWORD>(text.size() * 2);
        data.lpData = text.data();
        SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        Log::instance() << u"Application::EnumProc window found 2\n";
        return FALSE;
    }
    if (class_name == framework_variant().dialog_class()) {
        WCHAR title[261] = {};
        int title_length = GetWindowTextW(window, title, 261);
        if (std::u16string(title, title_length > 0 ? static_cast<size_t>(title_length) : 0) == state.name) {
            Log::instance() << u"Application::EnumProc window found 2\n";
            state.found = true;
            SetForegroundWindow(window);
            return FALSE;
        }
    }
    return TRUE;
}

bool Application::read_handed_over_command_line(const COPYDATASTRUCT* data, std::u16string& out) {
    if (!data || data->dwData != 0 || data->cbData > max_command_line_bytes || (data->cbData > 1 && !data->lpData)) {
        return false;
    }
    const size_t characters = data->cbData / 2;
    std::u16string text(characters, u'\0');
    if (characters > 0) {
        std::memcpy(text.data(), data->lpData, characters * 2);
    }
    out = std::move(text);
    return true;
}

}  // namespace skinner
