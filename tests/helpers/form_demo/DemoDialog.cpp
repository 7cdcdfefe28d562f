#include "tests/helpers/form_demo/DemoDialog.h"

#include <string>

namespace form_demo {

DemoDialog::DemoDialog(skinner::Form* parent, skinner::Properties* properties, int level)
    : Form(parent, properties, u"DemoDialog"),
      level_(level),
      level_label_(this, u"frmLevel", skinner::Control::KIND_SKIN),
      message_(this, u"frmMessage", skinner::Control::KIND_SKIN),
      close_(this, u"btnClose", skinner::Control::KIND_SKIN),
      again_(this, u"btnAgain", skinner::Control::KIND_SKIN),
      menu_main_(this, u"MenuMain", skinner::Control::KIND_CODE) {
    const std::string text = "Dialog level " + std::to_string(level);
    level_label_.set_text(std::u16string(text.begin(), text.end()));
    add_default_button(&close_);
    add_cancel_button(&close_);
}

DemoDialog::~DemoDialog() {
    remove_default_button(&close_);
    remove_cancel_button(&close_);
}

void DemoDialog::on_control_event(skinner::Control* sender, const skinner::ButtonEvent&) {
    if (sender == &close_) {
        close();
    } else if (sender == &again_) {
        DemoDialog next(this, get_properties(), level_ + 1);
        next.do_modal();
    }
}

}  // namespace form_demo
