#include "tests/helpers/form_demo/DemoName.h"

#include <string>

namespace form_demo {

DemoName::DemoName(skinner::Form* parent, skinner::Properties* properties)
    : Form(parent, properties, u"DemoName"),
      title_(this, u"frmNameTitle", skinner::Control::KIND_SKIN),
      help_(this, u"frmNameHelp", skinner::Control::KIND_SKIN),
      name_(this, u"edtDemoName", skinner::Control::KIND_SKIN),
      status_(this, u"frmNameStatus", skinner::Control::KIND_SKIN),
      close_(this, u"btnNameClose", skinner::Control::KIND_SKIN) {
    add_default_button(&close_);
    add_cancel_button(&close_);
}

DemoName::~DemoName() {
    remove_default_button(&close_);
    remove_cancel_button(&close_);
}

void DemoName::on_control_event(skinner::Control* sender, const skinner::ButtonEvent&) {
    if (sender == &close_) close();
}

void DemoName::on_text_changed(skinner::Control* sender) {
    if (sender != &name_) return;
    const std::u16string text = name_.get_text();
    const std::string count = std::to_string(text.size());
    const std::u16string status = text.empty() ? u"No name yet."
                                               : u"\u201C" + text + u"\u201D, " + std::u16string(count.begin(), count.end()) +
                                                     (text.size() == 1 ? u" character." : u" characters.");
    status_.set_text(status);
}

}  // namespace form_demo
