#pragma once
// The demo's name screen: a skinned edit field to type a name into, select it with the pen or
// the keys, and cut, copy and paste through its context menu (a tap and hold, or the menu
// key); a status line follows the text, and Close (or Enter, or Esc) ends the screen.
#include "ui/controls/ControlButton.h"
#include "ui/edit/ControlEdit.h"
#include "ui/controls/ControlLabel.h"
#include "ui/forms/Form.h"

namespace form_demo {

class DemoName : public skinner::Form {
public:
    DemoName(skinner::Form* parent, skinner::Properties* properties);
    ~DemoName() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    void on_text_changed(skinner::Control* sender) override;

    skinner::ControlEditImpl& name() { return name_; }

private:
    skinner::ControlLabelImpl title_;
    skinner::ControlLabelImpl help_;
    skinner::ControlEditImpl name_;
    skinner::ControlLabelImpl status_;
    skinner::ControlButton close_;
};

}  // namespace form_demo
