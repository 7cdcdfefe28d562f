#include "tests/ui/forms/support/FormTesting.h"

#include <cstdlib>
#include <filesystem>

#include "platform/display/Headless.h"
#include "platform/window/Input.h"
#include "platform/window/Keys.h"
#include "tests/ui/support/ModalScript.h"
#include "ui/graphics/Painter.h"

namespace forms_test {

namespace {

std::string narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::string key_text(Key key) { return std::string(skinner::text_of(key)); }

}  // namespace

std::string text(Point p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

Probe::Probe(FormBase* form, const std::u16string& name, Journal* j, int32_t kind)
    : Control(form, name, kind), label(narrow(name)), journal(j) {}

Probe::~Probe() = default;

void Probe::note(const std::string& what) {
    if (journal) journal->push_back(label + " " + what);
}

void Probe::on_focus_gained() {
    note("focus");
    Control::on_focus_gained();
}

void Probe::on_focus_lost(Control* next) {
    note("blur");
    Control::on_focus_lost(next);
}

void Probe::on_visibility_changed(bool visible) { note(visible ? "shown" : "hidden"); }
void Probe::on_enabled_changed(bool enabled) { note(enabled ? "enabled" : "disabled"); }

void Probe::paint(skinner::Painter& painter, Point clip_origin, Point clip_size) {
    note("paint " + text(clip_origin) + " " + text(clip_size));
    painter.fill_rect(get_position(), get_size(),
                      skinner::Color{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 255});
    Control::paint(painter, clip_origin, clip_size);
}

void Probe::on_mouse_enter() { note("enter"); }
void Probe::on_mouse_move(Point p) { note("move " + text(p)); }
void Probe::on_mouse_leave() { note("leave"); }
void Probe::on_mouse_down(Point p, bool dbl) { note("down0 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_mouse_up(Point p, bool dbl) { note("up0 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_mouse_down_1(Point p, bool dbl) { note("down1 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_mouse_up_1(Point p, bool dbl) { note("up1 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_mouse_down_2(Point p, bool dbl) { note("down2 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_mouse_up_2(Point p, bool dbl) { note("up2 " + text(p) + (dbl ? " double" : "")); }
void Probe::on_wheel(Point p, int delta) { note("wheel " + text(p) + " " + std::to_string(delta)); }

bool Probe::on_text(const std::u16string& t) {
    note("text " + narrow(t));
    return consumes_text;
}

bool Probe::on_keydown(Key key) {
    note("keydown " + key_text(key));
    return handles_keys;
}

bool Probe::on_keyup(Key key) {
    note("keyup " + key_text(key));
    return handles_keys;
}

void Probe::on_timer(uint32_t id) { note("timer " + std::to_string(id)); }

JournalForm::JournalForm(Form* parent, skinner::Properties* properties, const std::u16string& name, Journal* j)
    : Form(parent, properties, name), journal(j) {}

void JournalForm::on_control_event(Control* sender, const skinner::ButtonEvent& event) {
    journal->push_back(narrow(get_form_name()) + " event " + narrow(sender->get_name()) + " " + std::to_string(event.value));
}

void JournalForm::on_command(const std::u16string& command) {
    journal->push_back(narrow(get_form_name()) + " command " + narrow(command));
}

bool JournalForm::can_close() {
    journal->push_back(narrow(get_form_name()) + " can_close");
    return allow_close;
}

void JournalForm::bring_to_front(const std::u16string& command_line) {
    journal->push_back(narrow(get_form_name()) + " bring_to_front " + narrow(command_line));
    Form::bring_to_front(command_line);
}

void JournalForm::on_activate() { journal->push_back(narrow(get_form_name()) + " activate"); }

void FormsTest::SetUp() {
    const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "tests/skins/forms";
    std::filesystem::create_directories(root.host("skins"));
    for (const auto& entry : std::filesystem::directory_iterator(built)) {
        std::filesystem::copy_file(entry.path(), root.host("skins/" + entry.path().filename().string()));
    }
    application = std::make_unique<skinner::Application>(nullptr, u"Vantrel");
    properties_ = std::make_unique<skinner::Properties>(u"\\skins\\forms.skin", Point(480, 640), Point(480, 536));
    ASSERT_TRUE(properties_->is_loaded());
}

void FormsTest::TearDown() {
    pump();
    properties_.reset();
    application.reset();
    for (UINT vk : {VK_SHIFT, VK_CONTROL, VK_MENU}) platform::set_key_down(vk, false);
}

void pump() { ui_test::pump(); }

void run_modal(Form& form, std::vector<std::function<void()>> steps) { ui_test::run_modal(form, std::move(steps)); }

POINT on_screen(const Form& form, Point client) {
    POINT p{client.x, client.y};
    ClientToScreen(form.get_hwnd(), &p);
    return p;
}

bool near_colour(uint32_t got, uint32_t wanted) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((got >> shift) & 0xFF) - int((wanted >> shift) & 0xFF)) > 8) return false;
    }
    return true;
}

}  // namespace forms_test
