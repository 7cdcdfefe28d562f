#pragma once
// FormYesNo: a modal question. "btnYes" (or Enter) answers yes; "btnNo", Esc or any other way
// of closing it leaves the answer no.
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/Form.h"

namespace app {

class FormYesNo : public skinner::Form {
public:
    FormYesNo(skinner::Form* parent, skinner::Properties* properties, const std::u16string& text);
    ~FormYesNo() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    bool yes() const { return yes_; }
    const std::u16string& get_text() const { return question_.get_text(); }

private:
    skinner::ControlMenuMainImpl menu_;
    skinner::ControlButton yes_button_;
    skinner::ControlButton no_button_;
    skinner::ControlLabelImpl question_;
    bool yes_ = false;
};

}  // namespace app
