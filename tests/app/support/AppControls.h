#pragma once
// What the position bar and file list tests share: their solid-colour test skin (built from
// tests/app/skins/appcontrols.json) in a fresh device root, with an Application, the skin's
// properties and the form "FormControls", which writes down the events its controls raise.
#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"
#include "tests/platform/gdi/support/Canvas32.h"
#include "ui/application/Application.h"
#include "ui/forms/Control.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

namespace app_controls_test {

// Events arrive as lines such as "command Select", "value pbPosition 0.25", "state pbPosition".
class RecordingForm : public skinner::Form {
public:
    explicit RecordingForm(skinner::Properties* properties) : Form(nullptr, properties, u"FormControls") {}

    void on_command(const std::u16string& command) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_state_changed(skinner::Control* sender) override;

    // The events since the last call.
    std::vector<std::string> take_events();
    // Runs the window's pending messages, so that what was invalid is painted.
    void settle();
    // The size of the window's invalid area ((0, 0) when nothing waits to be painted).
    skinner::Point invalid_size() const;

private:
    std::vector<std::string> events_;
};

class AppControlsWorld {
public:
    AppControlsWorld();
    ~AppControlsWorld();

    bool ready() const { return form_ != nullptr; }
    RecordingForm& form() { return *form_; }
    const fixtures::DeviceRoot& root() const { return root_; }

private:
    fixtures::DeviceRoot root_;
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> properties_;
    std::unique_ptr<RecordingForm> form_;
};

// The form's area, painted by one control at a time.
class Canvas : public gdi_test::Canvas32 {
public:
    Canvas() : Canvas32(480, 536, 0x808080) {}
    void paint(skinner::Control& control);
    // The pixels of row y from x on, count of them, as runs of colour names:
    // "red*10 green*5"; colours other than the skin's show as hex.
    std::string runs(int y, int x, int count);
};

std::string narrow(const std::u16string& text);

}  // namespace app_controls_test
