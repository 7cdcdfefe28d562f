#include "tests/legacy/support/LegacyTesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "app/FormMain.h"
#include "legacy/LegacyBuild.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"

namespace legacy_test {

namespace fs = std::filesystem;

namespace {

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::function<void(app::FormMain&)>& pending_work() {
    static std::function<void(app::FormMain&)> work;
    return work;
}

// Runs the pending work once the main form is in its modal loop.
void tick(HWND, UINT, uintptr_t, DWORD) {
    if (!pending_work()) return;
    for (skinner::Form* form : skinner::Form::get_open_forms()) {
        if (auto* main = dynamic_cast<app::FormMain*>(form); main && main->is_in_modal()) {
            auto once = std::move(pending_work());
            pending_work() = nullptr;
            once(*main);
            main->close();
            return;
        }
    }
}

}  // namespace

ProgramLanguageFile::ProgramLanguageFile(const std::string& name, const std::string& text)
    : path_(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/" + name) {
    fixtures::write_file(path_, text);
}

ProgramLanguageFile::~ProgramLanguageFile() { fs::remove(path_); }

std::string render(const skinner::MenuItem& item) {
    std::string out = narrow(item.text) + "=" + narrow(item.command);
    if (item.checked) out += "*";
    if (!item.children.empty()) {
        out += "[";
        for (int i = 0; i < item.children.size(); ++i) {
            if (i > 0) out += ",";
            out += render(item.children[i]);
        }
        out += "]";
    }
    if (item.separator_after) out += "|";
    return out;
}

std::string settings_text(const std::string& host_path) {
    const std::string bytes = fixtures::read_file(host_path);
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i + 1] == 0 ? bytes[i] : '?';
    return text;
}

LegacyRun::LegacyRun(const fixtures::DeviceRoot& root) : settings_host_path(root.host("Settings.ini")) {
    const fs::path archive = fs::path(VANTREL_TEST_BINARY_DIR) / "bin" / "legacy" / "skins" / "default" / "default.skin";
    fs::create_directories(root.host("skins/default"));
    fs::copy_file(archive, root.host("skins/default/default.skin"), fs::copy_options::overwrite_existing);
    paths.skin = u"\\skins\\default\\default.skin";
    paths.settings = u"\\Settings.ini";
    app::install_legacy_build();
}

LegacyRun::~LegacyRun() { app::uninstall_legacy_build(); }

void LegacyRun::run(std::function<void(app::FormMain&)> with_form) {
    pending_work() = std::move(with_form);
    const uintptr_t timer = SetTimer(nullptr, 0, 20, &tick);
    EXPECT_EQ(app::run_vantrel(nullptr, u"", paths), 0);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(pending_work()) << "the main form never ran";
    pending_work() = nullptr;
}

}  // namespace legacy_test
