#pragma once
// What the controls' tests share: the test skin (built from its sources beside the tests) in a
// device root, with the application object and the skin's properties; a form of that skin
// that writes down the events its controls raise; and a canvas to paint controls on.
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/gdi/support/Canvas32.h"
#include "ui/forms/Control.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

namespace controls_test {

// The skin's properties; the skin is built at the first call.
skinner::Properties& properties();

// "FormControls" of the test skin. Events arrive as lines such as "fire btnStates 0 30 20",
// "state btnStates", "value pbLeftToRight 0.25", "command x".
class TestForm : public skinner::Form {
public:
    explicit TestForm(const std::u16string& form_name = u"FormControls");

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    void on_state_changed(skinner::Control* sender) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_command(const std::u16string& command) override;

    // The events since the last call.
    std::vector<std::string> take_events();
    // Runs the window's pending messages, so that what was invalid is painted.
    void settle();
    skinner::Point invalid_size() const;

private:
    std::vector<std::string> events_;
};

// A canvas of the form's size filled with one colour, with the form's controls' painting at hand.
class Canvas : public gdi_test::Canvas32 {
public:
    explicit Canvas(uint32_t fill = 0x808080);
    void paint(skinner::Control& control);
    // The colours of a row (or column) from start for count pixels as runs: "ff0000x50 00ff00x10".
    std::string row_runs(int y, int x, int count);
    std::string column_runs(int x, int y, int count);
    int differences(Canvas& other);
};

std::string narrow(const std::u16string& text);

}  // namespace controls_test
