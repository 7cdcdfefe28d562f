#include "platform/shell/Shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/DevicePath.h"
#include "platform/kernel/Unicode.h"

extern char** environ;

namespace {

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

std::string home_folder() {
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? std::string(home) : std::string("/");
}

std::string data_home() {
    const char* data = std::getenv("XDG_DATA_HOME");
    return data && *data == '/' ? std::string(data) : home_folder() + "/.local/share";
}

// XDG_DOCUMENTS_DIR from the environment or from the user-dirs file, else the home folder.
std::string documents_folder() {
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents && *documents == '/') {
        return documents;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string dirs = (config && *config == '/' ? std::string(config) : home_folder() + "/.config") + "/user-dirs.dirs";
    std::ifstream in(dirs);
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0) {
            value = home_folder() + value.substr(5);
        }
        struct stat info;
        if (!value.empty() && value[0] == '/' && stat(value.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return value;
        }
    }
    return home_folder();
}

const char16_t* sandbox_folder(int csidl) {
    switch (csidl) {
    case CSIDL_PERSONAL:
        return u"\\My Documents";
    case CSIDL_WINDOWS:
        return u"\\Windows";
    case CSIDL_STARTUP:
        return u"\\Windows\\StartUp";
    case CSIDL_PROGRAMS:
        return u"\\Windows\\Start Menu\\Programs";
    case CSIDL_STARTMENU:
        return u"\\Windows\\Start Menu";
    case CSIDL_PROGRAM_FILES:
        return u"\\Program Files";
    default:
        return nullptr;
    }
}

std::string host_folder(int csidl) {
    switch (csidl) {
    case CSIDL_PERSONAL:
        return documents_folder();
    case CSIDL_WINDOWS:
        return data_home() + "/vantrel/Windows";
    case CSIDL_STARTUP:
        return data_home() + "/vantrel/Startup";
    case CSIDL_PROGRAMS:
        return data_home() + "/vantrel/Programs";
    case CSIDL_STARTMENU:
        return data_home() + "/vantrel/Start Menu";
    case CSIDL_PROGRAM_FILES:
        return data_home() + "/vantrel/Program Files";
    default:
        return {};
    }
}

// The opener child: reaped by its own thread as soon as it ends, so no zombie is left
// whether or not anyone keeps the handle.
class ProcessObject : public platform::KernelObject {
public:
    DWORD wait(DWORD milliseconds) override {
        std::unique_lock guard(lock);
        auto ended = [this] { return done; };
        if (milliseconds == INFINITE) {
            changed.wait(guard, ended);
        } else if (!changed.wait_for(guard, std::chrono::milliseconds(milliseconds), ended)) {
            return WAIT_TIMEOUT;
        }
        return WAIT_OBJECT_0;
    }

    void mark_ended() {
        std::lock_guard guard(lock);
        done = true;
        changed.notify_all();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
};

bool spawn_opener(const std::string& argument, std::shared_ptr<ProcessObject> process) {
    const char* program = "xdg-open";
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    std::thread([pid, process = std::move(process)] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        process->mark_ended();
    }).detach();
    return true;
}

bool is_browser(std::u16string_view file) {
    size_t separator = file.find_last_of(u"\\/");
    std::u16string_view name = separator == std::u16string_view::npos ? file : file.substr(separator + 1);
    return platform::equal_ignoring_case(name, u"iexplore.exe");
}

}  // namespace

BOOL SHGetSpecialFolderPath(HWND, LPWSTR path, int csidl, BOOL create) {
    if (!path || create) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::u16string folder;
    if (!platform::device_profile().root.empty()) {
        const char16_t* device = sandbox_folder(csidl);
        if (!device) {
            return fail(ERROR_INVALID_PARAMETER);
        }
        folder = device;
    } else {
        std::string host = host_folder(csidl);
        if (host.empty()) {
            return fail(ERROR_INVALID_PARAMETER);
        }
        if (!platform::device_path_of(host, folder)) {
            return fail(ERROR_PATH_NOT_FOUND);
        }
    }
    if (folder.size() >= MAX_PATH) {
        return fail(ERROR_INSUFFICIENT_BUFFER);
    }
    folder.copy(path, folder.size());
    path[folder.size()] = 0;
    return TRUE;
}

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFO) || !info->lpFile ||
        (info->lpVerb && std::u16string_view(info->lpVerb) != u"open") || (info->fMask & ~SEE_MASK_NOCLOSEPROCESS) ||
        info->lpDirectory) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    info->hProcess = nullptr;
    std::u16string_view parameters = info->lpParameters ? info->lpParameters : u"";
    std::string argument;
    if (is_browser(info->lpFile)) {
        if (parameters.empty()) {
            return fail(ERROR_INVALID_PARAMETER);
        }
        argument = platform::utf8_from_utf16(parameters);
    } else {
        if (!parameters.empty()) {
            return fail(ERROR_NOT_SUPPORTED);  // documents take no command line here
        }
        struct stat status;
        if (!platform::host_path_of(info->lpFile, argument)) {
            return FALSE;
        }
        if (stat(argument.c_str(), &status) != 0) {
            return fail(ERROR_FILE_NOT_FOUND);
        }
    }
    auto process = std::make_shared<ProcessObject>();
    if (!spawn_opener(argument, process)) {
        return fail(ERROR_NO_ASSOCIATION);  // the desktop has no opener (xdg-open)
    }
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        info->hProcess = platform::insert_handle(std::move(process));
    }
    info->hInstApp = reinterpret_cast<HINSTANCE>(intptr_t(33));  // above 32: success
    return TRUE;
}
