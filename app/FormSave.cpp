#include "app/FormSave.h"

#include "app/FormReport.h"
#include "app/RingtoneName.h"
#include "platform/window/Window.h"

namespace app {

using skinner::Control;

FormSave::FormSave(skinner::Form* parent, skinner::Properties* properties, const std::u16string& prompt,
                   const std::u16string& proposed_name, const std::u16string& folder)
    : Form(parent, properties, u"FormSave"),
      menu_(this, u"MenuMain", Control::KIND_SKIN),
      ok_(this, u"btnOk", Control::KIND_SKIN),
      cancel_(this, u"btnCancel", Control::KIND_SKIN),
      prompt_(this, u"frmReport", Control::KIND_SKIN),
      edit_(this, u"edtName", Control::KIND_SKIN),
      folder_(folder) {
    prompt_.set_text(prompt);
    edit_.set_text(proposed_name);
    edit_.set_selection(0, static_cast<int32_t>(proposed_name.size()));
    edit_.set_focus();
    add_default_button(&ok_);
    add_cancel_button(&cancel_);
}

FormSave::~FormSave() {
    remove_default_button(&ok_);
    remove_cancel_button(&cancel_);
}

void FormSave::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == &cancel_) {
        close();
    } else if (sender == &ok_) {
        accept();
        close();
    }
}

void FormSave::accept() {
    const std::u16string typed = edit_.get_text();
    const NameCheck check = check_typed_name(folder_, typed);
    if (check == NameCheck::Accepted) {
        name_ = typed;
        return;
    }
    name_.clear();
    // The report is narrower than this form, which closes after it anyway: left standing, its
    // frame would show either side of the report.
    ShowWindow(get_hwnd(), SW_HIDE);
    show_report(this, get_properties(), name_check_key(check));
}

}  // namespace app
