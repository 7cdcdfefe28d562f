#include "app/FormAbout.h"

#include "app/MessageBox.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "platform/kernel/Core.h"

namespace app {

using skinner::Control;
using skinner::Log;

namespace {

void log_stage(const char16_t* line) {
    Log::instance() << line;
    Log::instance().flush();
}

}  // namespace

AboutContainer::AboutContainer(skinner::Form* owner_form, const std::u16string& product_title)
    : owner(owner_form),
      product(owner_form, u"frmProduct", Control::KIND_SKIN),
      logo_picture(owner_form, u"frmLOGO", Control::KIND_SKIN),
      logo(owner_form, u"btnLOGO", Control::KIND_SKIN),
      zeph(owner_form, u"btnZEPH", Control::KIND_SKIN),
      title(product_title) {
    log_stage(u"FormAbout 111\n");
    logo.set_want_focus(false);
    zeph.set_want_focus(false);
    product.set_text(title);
}

AboutContainer::~AboutContainer() = default;

void AboutContainer::on_command(Control* control) {
    const char16_t* key = control == &logo ? u"LOGO_URL" : control == &zeph ? u"ZEPH_URL" : nullptr;
    if (key == nullptr) {
        return;
    }
    const std::u16string url = control->get_language_string(key, key);
    if (!skinner::open_url(url)) {
        const DWORD error = GetLastError();
        Log::instance() << u"ERROR: AboutContainer::on_command open_url failed {" << url << u"}\n";
        // The program goes on either way.
        tell_when_no_opener(error, owner->get_hwnd(), *owner->get_properties());
    }
}

FormAbout::FormAbout(skinner::Form* parent, skinner::Properties* dialogs_skin, const std::u16string& form_name,
                     const std::u16string& title)
    : Form(parent, dialogs_skin, form_name),
      container_(this, title),
      menu_(this, u"MenuMain", Control::KIND_SKIN) {
    log_stage(u"FormAbout 1\n");
    container_.close = std::make_unique<skinner::ControlButton>(this, u"btnClose", Control::KIND_SKIN);
    container_.exit = std::make_unique<skinner::ControlButton>(this, u"btnExit", Control::KIND_SKIN);
    container_.close->set_want_focus(false);
    container_.exit->set_want_focus(false);
    // Neither button takes the focus, so keys reach them only as the form's Enter and Esc.
    add_default_button(container_.close.get());
    add_cancel_button(container_.close.get());
    log_stage(u"FormAbout 2\n");
    log_stage(u"FormAbout 3\n");
}

FormAbout::~FormAbout() {
    remove_default_button(container_.close.get());
    remove_cancel_button(container_.close.get());
}

void FormAbout::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == container_.close.get() || sender == container_.exit.get()) {
        close();
    }
    container_.on_command(sender);
}

}  // namespace app
