#pragma once
// What the older build's tests share: language files in the program folder (where the
// program lists them), a menu written out as text, and the older program run in this process
// from its built skin archive in a fresh device root.
#include <functional>
#include <string>

#include "app/Startup.h"
#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
class MenuItem;
}

namespace app {
class FormMain;
}

namespace legacy_test {

// A language file beside the test program, removed again at the end of the scope.
class ProgramLanguageFile {
public:
    ProgramLanguageFile(const std::string& name, const std::string& text);
    ~ProgramLanguageFile();
    ProgramLanguageFile(const ProgramLanguageFile&) = delete;
    ProgramLanguageFile& operator=(const ProgramLanguageFile&) = delete;

private:
    std::string path_;
};

// "text=command" with "*" when checked, children in brackets, "|" for a separator after.
std::string render(const skinner::MenuItem& item);

// The settings file's text (UTF-16LE after its mark) in ASCII.
std::string settings_text(const std::string& host_path);

// The older program in this process, its skin the built archive copied into the root.
class LegacyRun {
public:
    explicit LegacyRun(const fixtures::DeviceRoot& root);
    ~LegacyRun();
    LegacyRun(const LegacyRun&) = delete;
    LegacyRun& operator=(const LegacyRun&) = delete;

    // Runs the program to its end; once its main form shows, with_form runs on it, and the
    // form is closed afterwards.
    void run(std::function<void(app::FormMain&)> with_form);

    app::StartupPaths paths;
    std::string settings_host_path;
};

}  // namespace legacy_test
