#include "tests/ui/menus/support/MenuTesting.h"

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "platform/device/DeviceProfile.h"
#include "platform/menu/MenuTable.h"
#include "platform/window/Modules.h"
#include "platform/window/Window.h"
#include "tests/fixtures/SkinCompiler.h"

namespace menus_test {

namespace {

std::deque<std::function<void()>> pending_steps;
uintptr_t script_timer = 0;

void run_step(HWND, UINT, uintptr_t, DWORD) {
    if (pending_steps.empty()) {
        KillTimer(nullptr, script_timer);
        script_timer = 0;
        return;
    }
    std::function<void()> step = std::move(pending_steps.front());
    pending_steps.pop_front();
    step();
}

}  // namespace

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

const DeviceCase pocket_with_soft_keys{"Pocket PC 5", "pocketpc", "5"};
const DeviceCase pocket_without_soft_keys{"Pocket PC 4", "pocketpc", "4"};
const DeviceCase smartphone{"Smartphone", "smartphone", "5"};

JournalForm::JournalForm(Form* parent, skinner::Properties* properties, const std::u16string& name, Journal* j)
    : Form(parent, properties, name), journal(j) {}

void JournalForm::on_command(const std::u16string& command) { journal->push_back("command " + narrow(command)); }

void JournalForm::on_control_event(Control* sender, const skinner::ButtonEvent& event) {
    journal->push_back("event " + narrow(sender->get_name()) + " " + std::to_string(event.value));
}

void JournalForm::on_check_changed(Control* sender) { journal->push_back("check " + narrow(sender->get_name())); }

void JournalForm::create_menu(MenuItem& menu) {
    journal->push_back("menu " + narrow(menu.command));
    auto it = menus.find(menu.command);
    if (it == menus.end()) return;
    for (const MenuItem& entry : it->second) menu.children.push_back(entry);
}

bool JournalForm::on_keydown(skinner::Key key) {
    journal->push_back("keydown " + std::string(skinner::text_of(key)));
    return handles_keys;
}

bool JournalForm::on_keyup(skinner::Key key) {
    journal->push_back("keyup " + std::string(skinner::text_of(key)));
    return handles_keys;
}

void MenusTest::SetUp() {
    ASSERT_TRUE(fixtures::install_built_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/skins/menus", root.host("skins")));
    // The program's own instance: its resources hold the menu bars.
    application = std::make_unique<skinner::Application>(GetModuleHandleW(nullptr), u"Vantrel");
    properties_ = std::make_unique<skinner::Properties>(u"\\skins\\menus.skin", Point(240, 320), Point(240, 268));
    ASSERT_TRUE(properties_->is_loaded());
}

void MenusTest::TearDown() {
    pump();
    properties_.reset();
    application.reset();
}

std::unique_ptr<JournalForm> MenusTest::make_form(const std::u16string& name, Form* parent) {
    return std::make_unique<JournalForm>(parent, properties_.get(), name, &journal);
}

Journal MenusTest::take_journal() {
    Journal out;
    out.swap(journal);
    return out;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void schedule(std::vector<std::function<void()>> steps) {
    for (auto& s : steps) pending_steps.push_back(std::move(s));
    if (!script_timer) script_timer = SetTimer(nullptr, 0, 10, run_step);
}

void run_script(std::vector<std::function<void()>> steps) {
    schedule(std::move(steps));
    finish_script();
}

void finish_script() {
    while (script_timer) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    pump();
}

std::string menu_items(HMENU menu) {
    std::string out;
    const std::vector<platform::menu::Item> items = platform::menu::items_of(menu).value_or(std::vector<platform::menu::Item>{});
    for (const platform::menu::Item& item : items) {
        if (!out.empty()) out += ", ";
        if (item.separator()) {
            out += "|";
            continue;
        }
        out += item.submenu ? narrow(item.text) + "[" + menu_items(item.submenu) + "]"
                            : std::to_string(item.id) + " " + narrow(item.text);
        if (item.checked()) out += " *";
        if (!item.enabled()) out += " ~";
    }
    return out;
}

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::string render(const MenuItem& item) {
    std::string out = narrow(item.text) + "=" + narrow(item.command);
    if (item.checked) out += "*";
    if (!item.enabled) out += "-";
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

LanguageFile::LanguageFile(const std::string& name, const std::string& text)
    : path_(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/" + name) {
    fixtures::write_file(path_, text);
}

LanguageFile::~LanguageFile() { std::filesystem::remove(path_); }

}  // namespace menus_test
