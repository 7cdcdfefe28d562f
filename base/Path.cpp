#include "base/Path.h"

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/kernel/Module.h"
#include "platform/shell/Shell.h"

namespace skinner {

namespace {

constexpr DWORD app_path_capacity = 1024;

bool is_separator(char16_t c) {
    return c == u'\\' || c == u'/';
}

size_t last_separator(std::u16string_view path) {
    return path.find_last_of(u"\\/");
}

// The program file's full path; false when it does not fit the buffer.
bool read_app_path(std::u16string& path) {
    WCHAR buffer[app_path_capacity] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, app_path_capacity);
    if (length >= app_path_capacity) {
        return false;
    }
    path.assign(buffer, length);
    return true;
}

// The three program values, computed at the first expansion and kept.
struct ProgramValues {
    bool fits = false;
    std::u16string full_name;
    std::u16string path;
    std::u16string name;
};

const ProgramValues& program_values() {
    static const ProgramValues values = [] {
        ProgramValues v;
        v.fits = read_app_path(v.full_name);
        v.path = remove_trailing_separator(get_directory(v.full_name));
        v.name = get_file_name(v.full_name);
        return v;
    }();
    // Outside the one-time set-up: the fatal error may make the log, whose name expands
    // "%app_name%" again.
    if (!values.fits) {
        gluck(u"path is more then MAX_PATH long", u"get_app_path()");
    }
    return values;
}

}  // namespace

std::u16string expand_path_macros(std::u16string_view path) {
    const ProgramValues& program = program_values();
    struct Macro {
        std::u16string_view text;
        int csidl;  // 0: a program value
        const std::u16string* value;
    };
    const Macro macros[] = {
        {u"%app_full_name%", 0, &program.full_name},
        {u"%app_path%", 0, &program.path},
        {u"%app_name%", 0, &program.name},
        {u"%my_documents%", CSIDL_PERSONAL, nullptr},
        {u"%windows%", CSIDL_WINDOWS, nullptr},
        {u"%startup%", CSIDL_STARTUP, nullptr},
        {u"%programs%", CSIDL_PROGRAMS, nullptr},
        {u"%start_menu%", CSIDL_STARTMENU, nullptr},
        {u"%program_files%", CSIDL_PROGRAM_FILES, nullptr},
    };
    std::u16string result;
    size_t start = 0;
    for (const Macro& macro : macros) {
        if (path.substr(0, macro.text.size()) == macro.text) {
            result = macro.value ? *macro.value : get_special_folder(macro.csidl);
            start = macro.text.size();
            break;
        }
    }
    result.reserve(result.size() + path.size() - start);
    for (size_t i = start; i < path.size(); ++i) {
        result += path[i] == u'/' ? u'\\' : path[i];
    }
    return result;
}

std::u16string expand_path(std::u16string_view path) {
    return expand_path_macros(path);
}

std::u16string get_app_path() {
    std::u16string path;
    if (!read_app_path(path)) {
        gluck(u"path is more then MAX_PATH long", u"get_app_path()");
    }
    return path;
}

std::u16string get_special_folder(int csidl) {
    WCHAR buffer[app_path_capacity] = {};
    if (!SHGetSpecialFolderPath(nullptr, buffer, csidl, FALSE)) {
        return {};
    }
    return std::u16string(buffer);
}

size_t find_extension_dot(std::u16string_view path) {
    size_t dot = path.rfind(u'.');
    size_t separator = last_separator(path);
    if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && separator > dot)) {
        return std::u16string_view::npos;
    }
    return dot;
}

std::u16string get_directory(std::u16string_view path) {
    size_t separator = last_separator(path);
    return separator == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, separator + 1));
}

std::u16string get_file_name(std::u16string_view path) {
    size_t separator = last_separator(path);
    return std::u16string(separator == std::u16string_view::npos ? path : path.substr(separator + 1));
}

std::u16string get_extension(std::u16string_view path) {
    size_t dot = find_extension_dot(path);
    return dot == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(dot + 1));
}

std::u16string remove_extension(std::u16string_view path) {
    size_t dot = find_extension_dot(path);
    return std::u16string(dot == std::u16string_view::npos ? path : path.substr(0, dot));
}

std::u16string get_file_title(std::u16string_view path) {
    return remove_extension(get_file_name(path));
}

std::u16string remove_trailing_separator(std::u16string_view path) {
    if (!path.empty() && is_separator(path.back())) {
        path.remove_suffix(1);
    }
    return std::u16string(path);
}

std::u16string get_parent_directory(std::u16string_view path) {
    return get_directory(remove_trailing_separator(path));
}

std::u16string join_path(std::u16string_view folder, std::u16string_view name) {
    if (folder.empty()) {
        return std::u16string(name);
    }
    std::u16string result = remove_trailing_separator(folder);
    result += u'\\';
    result += name;
    return result;
}

std::u16string normalize_path(std::u16string_view path) {
    return to_lower(remove_trailing_separator(expand_path(path)));
}

bool paths_equal(std::u16string_view a, std::u16string_view b) {
    return normalize_path(a) == normalize_path(b);
}

bool is_path_prefix(std::u16string_view folder, std::u16string_view path) {
    if (folder.size() > path.size()) {
        return false;
    }
    return paths_equal(path.substr(0, folder.size()), folder);
}

std::u16string get_path_root(std::u16string_view path) {
    std::u16string expanded = expand_path(path);
    size_t separator = expanded.find(u'\\');
    return separator == std::u16string::npos ? std::u16string() : expanded.substr(0, separator + 1);
}

bool split_prefix(std::u16string_view text, std::u16string_view prefix, std::u16string& rest) {
    if (text.substr(0, prefix.size()) != prefix) {
        return false;
    }
    rest = std::u16string(text.substr(prefix.size()));
    return true;
}

std::u16string replace_all(std::u16string_view text, std::u16string_view what, std::u16string_view with) {
    std::u16string result(text);
    if (what.empty()) {
        return result;
    }
    // Searching the replacement again ends only while replacements do not grow the text.
    bool rescan = with.size() <= what.size() && with != what;
    size_t position = result.find(what);
    while (position != std::u16string::npos) {
        result.replace(position, what.size(), with);
        position = result.find(what, rescan ? position : position + with.size());
    }
    return result;
}

}  // namespace skinner
