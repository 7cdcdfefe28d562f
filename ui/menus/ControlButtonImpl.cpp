#include "ui/menus/ControlButtonImpl.h"

#include "base/Log.h"
#include "platform/window/Window.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuItem.h"
#include "ui/menus/SoftKeys.h"

namespace skinner {

namespace {

HWND form_window(const ControlButtonBase& button) {
    Form* root = button.get_form_root();
    return root ? root->get_hwnd() : nullptr;
}

FormImpl* form_impl(const ControlButtonBase& button) {
    Form* root = button.get_form_root();
    return root ? root->get_window() : nullptr;
}

void post_close(const ControlButtonBase& button) {
    if (HWND window = form_window(button)) PostMessageW(window, WM_CLOSE, 0, 0);
}

void set_smartphone_title(const ControlButtonBase& button, const std::u16string& text) {
    HWND window = form_window(button);
    Log::instance() << u"Setting gext of hwnd=" << long(reinterpret_cast<intptr_t>(window)) << u" to {" << text << u"\n";
    SetWindowTextW(window, text.c_str());
    // Without a task bar the message would go to this thread's own queue.
    if (HWND tray = FindWindowW(u"tray", u"tray")) PostMessageW(tray, WM_USER, 4, 0);
}

}  // namespace

ControlButtonImplCaptionPocket::ControlButtonImplCaptionPocket(ControlButtonBase& button)
    : ControlButtonImpl(button, false, false) {
    on_text_changed(button.get_text());
}

void ControlButtonImplCaptionPocket::on_text_changed(const std::u16string& text) {
    SetWindowTextW(form_window(button()), text.c_str());
}

ControlButtonCaptionSmartphone::ControlButtonCaptionSmartphone(ControlButtonBase& button)
    : ControlButtonImpl(button, false, false) {
    set_smartphone_title(button, button.get_text());
}

void ControlButtonCaptionSmartphone::on_text_changed(const std::u16string& text) { set_smartphone_title(button(), text); }

ControlButtonImplOKPocket::ControlButtonImplOKPocket(ControlButtonBase& button, bool solid)
    : ControlButtonImpl(button, solid, solid) {
    Log::instance() << u"ControlButtonImplOKPocket solid=" << solid << u"\n";
    if (FormImpl* window = form_impl(button)) window->register_button_ok(&button);
}

ControlButtonImplOKPocket::~ControlButtonImplOKPocket() {
    if (FormImpl* window = form_impl(button())) window->unregister_button_ok(&button());
}

ControlButtonImplClosePocket::ControlButtonImplClosePocket(ControlButtonBase& button)
    : ControlButtonImpl(button, true, true) {}

void ControlButtonImplClosePocket::on_fired(const ButtonEvent&) {
    Log::instance() << u"ControlButtonImplClosePocket WM_CLOSE sent\n";
    post_close(button());
}

ControlButtonSoftKey::ControlButtonSoftKey(ControlButtonBase& button, const std::u16string& placement, bool drawn,
                                           bool focusable)
    : ControlButtonImpl(button, drawn, focusable), placement_(placement) {
    set_registered(button.is_visible());
}

ControlButtonSoftKey::~ControlButtonSoftKey() { set_registered(false); }

void ControlButtonSoftKey::on_text_changed(const std::u16string&) { refresh_menus(); }

void ControlButtonSoftKey::on_visibility_changed(bool visible) { set_registered(visible); }

void ControlButtonSoftKey::on_enabled_changed(bool) { refresh_menus(); }

void ControlButtonSoftKey::fill_menu_item(MenuItem& item) {
    item = MenuItem(button().get_name(), button().get_text());
    item.enabled = button().is_enabled();
    item.target = &button();
}

bool ControlButtonSoftKey::opens_menu() { return false; }

std::u16string ControlButtonSoftKey::placement() { return placement_; }

int32_t ControlButtonSoftKey::order() { return button().get_z_order() + order_after_menu_controls; }

void ControlButtonSoftKey::refresh_menus() {
    if (Form* root = button().get_form_root()) root->refresh_menus();
}

void ControlButtonSoftKey::set_registered(bool registered) {
    set_soft_button_registered(button().get_form_root(), this, registered_, registered);
}

ControlButtonCloseSmartphone::ControlButtonCloseSmartphone(ControlButtonBase& button)
    : ControlButtonSoftKey(button, u"") {}

void ControlButtonCloseSmartphone::on_fired(const ButtonEvent&) {
    Log::instance() << u"ControlButtonCloseSmartphone WM_CLOSE sent\n";
    post_close(button());
}

ControlButtonOKSmartphone::ControlButtonOKSmartphone(ControlButtonBase& button, bool solid)
    : ControlButtonSoftKey(button, placement_ok, solid, solid) {
    if (FormImpl* window = form_impl(button)) window->register_button_ok(&button);
}

ControlButtonOKSmartphone::~ControlButtonOKSmartphone() {
    if (FormImpl* window = form_impl(button())) window->unregister_button_ok(&button());
}

ControlCheckBoxSoftKey::ControlCheckBoxSoftKey(ControlCheckBoxImpl& check_box)
    : ControlButtonSoftKey(check_box, u""), check_box_(check_box) {}

void ControlCheckBoxSoftKey::on_checked_changed(bool) { refresh_menus(); }

void ControlCheckBoxSoftKey::fill_menu_item(MenuItem& item) {
    ControlButtonSoftKey::fill_menu_item(item);
    item.checked = check_box_.is_checked();
}

}  // namespace skinner
