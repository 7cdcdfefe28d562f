#include "ui/menus/ControlMenuItem.h"

#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"
#include "ui/menus/SoftKeys.h"

namespace skinner {

ControlMenuItemImpl::ControlMenuItemImpl(FormBase* form, const std::u16string& name, const std::u16string& text,
                                         int32_t order, const std::u16string& placement)
    : Control(form, name, KIND_CODE), text_(text), placement_(placement), default_text_(text) {
    set_z_order(order);
    set_want_focus(false);
    translate();
    // A control made inside a hidden panel joins the list when the panel shows.
    set_registered(is_visible());
}

ControlMenuItemImpl::~ControlMenuItemImpl() { set_registered(false); }

void ControlMenuItemImpl::fill_menu_item(MenuItem& item) {
    item = MenuItem(get_name(), text_);
    item.enabled = is_enabled();
    item.separator_after = separator_after_;
    item.checked = checked_;
    item.target = this;
    item.wince_bug_resource_id = image_id_;
}

bool ControlMenuItemImpl::opens_menu() { return false; }

std::u16string ControlMenuItemImpl::placement() { return placement_.empty() ? get_name() : placement_; }

int32_t ControlMenuItemImpl::order() { return get_z_order(); }

void ControlMenuItemImpl::on_visibility_changed(bool visible) { set_registered(visible); }

void ControlMenuItemImpl::on_enabled_changed(bool) { refresh_menus(); }

void ControlMenuItemImpl::reload_properties() {
    translate();
    refresh_menus();
}

void ControlMenuItemImpl::set_checked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    refresh_menus();
}

void ControlMenuItemImpl::set_separator_after(bool separator_after) {
    if (separator_after == separator_after_) return;
    separator_after_ = separator_after;
    refresh_menus();
}

void ControlMenuItemImpl::set_image_id(int32_t image_id) {
    if (image_id == image_id_) return;
    image_id_ = image_id;
    refresh_menus();
}

void ControlMenuItemImpl::translate() {
    // The text given in code is only the default of the language string named like the control;
    // translating from the default each time lets a language switch replace it again.
    if (default_text_.empty()) return;
    Properties* properties = get_properties();
    text_ = properties ? properties->get_string(get_name(), default_text_) : default_text_;
}

void ControlMenuItemImpl::set_registered(bool registered) {
    set_soft_button_registered(get_form_root(), this, registered_, registered);
}

void ControlMenuItemImpl::refresh_menus() {
    if (Form* root = get_form_root()) root->refresh_menus();
}

bool ControlMenuButtonImpl::opens_menu() { return true; }

ControlMenuMainImpl::ControlMenuMainImpl(FormBase* form, const std::u16string& name, int32_t kind)
    : Control(form, name, kind) {
    set_want_focus(false);
    if (Form* root = get_form_root()) root->register_menu_main(this);
}

ControlMenuMainImpl::~ControlMenuMainImpl() {
    if (Form* root = get_form_root()) root->unregister_menu_main(this);
}

}  // namespace skinner
