#pragma once
// What the menus' tests share: the kinds of device (fixtures::Device chooses one), the compiled
// test skin in a fresh device root with the Application, a form that writes down the events,
// commands and keys that reach it and fills the menus it is asked for, menu records written out
// as text, and a script of steps run from a timer (so that they also run inside a menu's loop).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "tests/fixtures/Device.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace menus_test {

using skinner::Control;
using skinner::Form;
using skinner::MenuItem;
using skinner::Point;

using Journal = std::vector<std::string>;

std::string narrow(const std::u16string& text);

using fixtures::Device;

// The three kinds of device the framework tells apart.
struct DeviceCase {
    const char* name;
    const char* kind;
    const char* os_major;
};
extern const DeviceCase pocket_with_soft_keys;
extern const DeviceCase pocket_without_soft_keys;
extern const DeviceCase smartphone;

// A form of the test skin that records what reaches it: "command X", "event NAME VALUE",
// "check NAME", "keydown KEY", "keyup KEY", "menu COMMAND".
class JournalForm : public Form {
public:
    JournalForm(Form* parent, skinner::Properties* properties, const std::u16string& name, Journal* journal);

    void on_command(const std::u16string& command) override;
    void on_control_event(Control* sender, const skinner::ButtonEvent& event) override;
    void on_check_changed(Control* sender) override;
    void create_menu(MenuItem& menu) override;
    bool on_keydown(skinner::Key key) override;
    bool on_keyup(skinner::Key key) override;

    // The entries create_menu appends to a menu, by its command.
    std::map<std::u16string, std::vector<MenuItem>> menus;
    bool handles_keys = false;
    Journal* journal;
};

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    skinner::Properties& skin() { return *properties_; }
    std::unique_ptr<JournalForm> make_form(const std::u16string& name, Form* parent = nullptr);
    // The events since the last call.
    Journal take_journal();

    fixtures::DeviceRoot root;
    std::unique_ptr<skinner::Application> application;
    Journal journal;

private:
    std::unique_ptr<skinner::Properties> properties_;
};

// Handles every message waiting for this thread.
void pump();
// Runs the steps one per timer tick from the next message loop on (a menu's, or pump's), and
// pumps until they have all run.
void run_script(std::vector<std::function<void()>> steps);
void schedule(std::vector<std::function<void()>> steps);
// Runs messages until every scheduled step has run.
void finish_script();

// A menu's items: "id text" with " *" when checked and " ~" when grayed, "text[...]" for a
// submenu and "|" for a separator.
std::string menu_items(HMENU menu);

// The centre of a rectangle.
POINT centre(const RECT& r);

// A record as text: its text, "=" and its command, "*" when checked, "-" when disabled, "|"
// after it when a separator follows, and its children in brackets: "Menu=#FakeId#[A=a,B=b|]".
std::string render(const MenuItem& item);

// A language file beside the test program (the program folder); removed with the object.
class LanguageFile {
public:
    LanguageFile(const std::string& name, const std::string& text);
    ~LanguageFile();
    LanguageFile(const LanguageFile&) = delete;
    LanguageFile& operator=(const LanguageFile&) = delete;

private:
    std::string path_;
};

}  // namespace menus_test
