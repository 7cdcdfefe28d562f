#include "ui/controls/ControlCheckBox.h"

#include "ui/application/Application.h"
#include "ui/device/DeviceCapability.h"

namespace skinner {

ControlCheckBoxImpl::ControlCheckBoxImpl(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlButtonBase(form, name, kind) {
    load_check_box_properties();
    rebuild_behaviour();
}

ControlCheckBoxImpl::~ControlCheckBoxImpl() = default;

void ControlCheckBoxImpl::load_check_box_properties() {
    checked_ = get_int_property(u"Checked", checked_ ? 1 : 0) != 0;
    checked_styles_ = ButtonStyles::read(*this, u"Checked");
    // Without a "Text" the normal text stays, even when the checked one is showing.
    normal_text_ = get_string_property(u"Text", normal_text_);
    checked_text_ = get_string_property(u"CheckedText", u"");
    if (checked_text_.empty()) checked_text_ = normal_text_;
}

void ControlCheckBoxImpl::rebuild_behaviour() {
    // The old soft key leaves the form's list before the new one joins it.
    set_behaviour(nullptr);
    set_behaviour(create_impl(*this));
}

void ControlCheckBoxImpl::set_text(const std::u16string& text) {
    normal_text_ = text;
    checked_text_ = text;
    ControlButtonBase::set_text(text);
}

void ControlCheckBoxImpl::set_state_text(const std::u16string& text, bool for_checked) {
    (for_checked ? checked_text_ : normal_text_) = text;
    show_state_text();
}

const ButtonStyles& ControlCheckBoxImpl::get_styles() const {
    return checked_ ? checked_styles_ : ControlButtonBase::get_styles();
}

void ControlCheckBoxImpl::fire(const ButtonEvent& event) {
    set_checked(!checked_);
    ControlButtonBase::fire(event);
}

void ControlCheckBoxImpl::set_checked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (ControlButtonImpl* behaviour = get_behaviour()) behaviour->on_checked_changed(checked_);
    if (normal_text_ != checked_text_) show_state_text();
    invalidate();
    notify_check_changed();
}

void ControlCheckBoxImpl::notify_check_changed() { on_check_changed(this); }

void ControlCheckBoxImpl::reload_properties() {
    ControlButtonBase::reload_properties();
    load_check_box_properties();
    // The button's reload put the normal text back; a checked box keeps showing its own.
    show_state_text();
    rebuild_behaviour();
}

void ControlCheckBoxImpl::show_state_text() { ControlButtonBase::set_text(checked_ ? checked_text_ : normal_text_); }

}  // namespace skinner
