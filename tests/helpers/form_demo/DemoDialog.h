#pragma once
// The demo's dialog: modal over the form that opens it; "Again" opens one more over it.
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/Form.h"

namespace form_demo {

class DemoDialog : public skinner::Form {
public:
    DemoDialog(skinner::Form* parent, skinner::Properties* properties, int level);
    ~DemoDialog() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    skinner::ControlButton& close_button() { return close_; }
    skinner::ControlButton& again_button() { return again_; }
    int level() const { return level_; }

private:
    int level_;
    skinner::ControlLabelImpl level_label_;
    skinner::ControlLabelImpl message_;
    skinner::ControlButton close_;
    skinner::ControlButton again_;
    // Its own bar: on a device with soft keys Close is the right key.
    skinner::ControlMenuMainImpl menu_main_;
};

}  // namespace form_demo
