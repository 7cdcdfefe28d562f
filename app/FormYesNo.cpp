#include "app/FormYesNo.h"

namespace app {

using skinner::Control;

FormYesNo::FormYesNo(skinner::Form* parent, skinner::Properties* properties, const std::u16string& text)
    : Form(parent, properties, u"FormYesNo"),
      menu_(this, u"MenuMain", Control::KIND_SKIN),
      yes_button_(this, u"btnYes", Control::KIND_SKIN),
      no_button_(this, u"btnNo", Control::KIND_SKIN),
      question_(this, u"frmReport", Control::KIND_SKIN) {
    question_.set_text(text);
    add_default_button(&yes_button_);
    add_cancel_button(&no_button_);
}

FormYesNo::~FormYesNo() {
    remove_default_button(&yes_button_);
    remove_cancel_button(&no_button_);
}

void FormYesNo::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == &yes_button_) {
        yes_ = true;
        close();
    } else if (sender == &no_button_) {
        yes_ = false;
        close();
    }
}

}  // namespace app
