#pragma once
// What the form tests share: the compiled test skin in a device root with an Application,
// probe controls that record what reaches them, a form that records its events, and ways to
// run messages (a pump, and a script of steps run from inside modal loops).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/forms/Control.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormBase.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace forms_test {

using skinner::Control;
using skinner::Form;
using skinner::FormBase;
using skinner::Key;
using skinner::Point;

// Everything the probes and forms report, in order.
using Journal = std::vector<std::string>;

std::string text(Point p);

// A skin control that records its input; paints itself in its colour.
class Probe : public Control {
public:
    Probe(FormBase* form, const std::u16string& name, Journal* journal, int32_t kind = KIND_SKIN);
    ~Probe() override;

    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_visibility_changed(bool visible) override;
    void on_enabled_changed(bool enabled) override;
    void paint(skinner::Painter& painter, Point clip_origin, Point clip_size) override;
    void on_mouse_enter() override;
    void on_mouse_move(Point point) override;
    void on_mouse_leave() override;
    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_up(Point point, bool double_click) override;
    void on_mouse_down_1(Point point, bool double_click) override;
    void on_mouse_up_1(Point point, bool double_click) override;
    void on_mouse_down_2(Point point, bool double_click) override;
    void on_mouse_up_2(Point point, bool double_click) override;
    void on_wheel(Point point, int delta) override;
    bool on_text(const std::u16string& text) override;
    bool on_keydown(Key key) override;
    bool on_keyup(Key key) override;
    void on_timer(uint32_t id) override;

    std::string label;
    Journal* journal;
    bool consumes_text = false;
    bool handles_keys = false;
    uint32_t colour = 0x00C02020;

private:
    void note(const std::string& what);
};

// A top-level form that records its events and may refuse to close.
class JournalForm : public Form {
public:
    JournalForm(Form* parent, skinner::Properties* properties, const std::u16string& name, Journal* journal);
    void on_control_event(Control* sender, const skinner::ButtonEvent& event) override;
    void on_command(const std::u16string& command) override;
    bool can_close() override;
    void bring_to_front(const std::u16string& command_line) override;
    void on_activate() override;
    bool allow_close = true;
    Journal* journal;
};

// The compiled test skin copied into a fresh device root, with the Application of the forms.
class FormsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    skinner::Properties& skin() { return *properties_; }

    fixtures::DeviceRoot root;
    std::unique_ptr<skinner::Application> application;
    Journal journal;

private:
    std::unique_ptr<skinner::Properties> properties_;
};

// Handles every message waiting for this thread, paints included.
void pump();

// Runs the steps one by one from a thread timer, so each runs once every message before it
// was handled; a step may open a modal form, and the following steps then run inside its loop.
// After the last step the form is closed; returns when its do_modal does.
void run_modal(Form& form, std::vector<std::function<void()>> steps);

// A client point of a form's window on the screen.
POINT on_screen(const Form& form, Point client);

// A colour close to the wanted one (the screen keeps 16 bits a pixel).
bool near_colour(uint32_t got, uint32_t wanted);

}  // namespace forms_test
