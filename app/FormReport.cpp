#include "app/FormReport.h"

#include "ui/skin/Properties.h"

namespace app {

using skinner::Control;

FormReport::FormReport(skinner::Form* parent, skinner::Properties* properties, const std::u16string& text)
    : Form(parent, properties, u"FormReport"),
      menu_(this, u"MenuMain", Control::KIND_SKIN),
      ok_(this, u"btnOk", Control::KIND_SKIN),
      message_(this, u"frmReport", Control::KIND_SKIN) {
    message_.set_text(text);
    add_default_button(&ok_);
    add_cancel_button(&ok_);
}

FormReport::~FormReport() {
    remove_default_button(&ok_);
    remove_cancel_button(&ok_);
}

void FormReport::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == &ok_) {
        close();
    }
}

void show_report(skinner::Form* parent, skinner::Properties* properties, const std::u16string& key) {
    FormReport report(parent, properties, properties->get_string(key));
    report.do_modal();
}

}  // namespace app
