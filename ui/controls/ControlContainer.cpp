#include "ui/controls/ControlContainer.h"

#include "ui/graphics/Painter.h"

namespace skinner {

ControlContainer::ControlContainer(FormBase* form, const std::u16string& name, int32_t kind, Properties* properties)
    : Control(form, name, kind),
      form_(form->get_root(), properties ? properties : form->get_properties(), get_string_property(u"FormTemplate", u""),
            FormBase::KIND_SKIN, this) {
    load_backgrounds();
    ControlContainer::set_rect(get_position(), get_size());
    form_.create_auto_controls();
}

ControlContainer::~ControlContainer() = default;

void ControlContainer::request_focus() {
    get_form()->set_focus(this);
    get_form()->request_focus();
}

bool ControlContainer::on_form_activated() { return form_.on_form_activated(); }

void ControlContainer::on_focus_gained() {
    invalidate();
    form_.show(true);
}

void ControlContainer::on_focus_lost(Control*) {
    form_.show(false);
    invalidate();
}

void ControlContainer::on_visibility_changed(bool visible) { form_.set_shown(visible); }

bool ControlContainer::get_gestures(Point point) { return form_.wants_gestures_at(point); }

void ControlContainer::on_enabled_changed(bool enabled) { form_.set_enabled(enabled); }

void ControlContainer::paint(Painter& painter, Point clip_origin, Point clip_size) {
    (is_focused() ? background_focus_ : background_).draw(painter, get_position(), get_size());
    form_.paint(painter, clip_origin, clip_size);
    Control::paint(painter, clip_origin, clip_size);
}

bool ControlContainer::hit_test(Point point) {
    if (form_.is_over_control(point)) return true;
    if (!Control::hit_test(point)) return false;
    return !background_.is_transparent_at(point, get_position(), get_size());
}

void ControlContainer::on_mouse_move(Point point) { form_.on_mouse_move(point); }
void ControlContainer::on_mouse_leave() { form_.on_mouse_leave(); }
void ControlContainer::on_mouse_down(Point point, bool double_click) { form_.on_mouse_down(point, double_click); }
void ControlContainer::on_mouse_up(Point point, bool double_click) { form_.on_mouse_up(point, double_click); }
void ControlContainer::on_mouse_down_2(Point point, bool double_click) { form_.on_mouse_down_2(point, double_click); }
void ControlContainer::on_mouse_up_2(Point point, bool double_click) { form_.on_mouse_up_2(point, double_click); }
void ControlContainer::on_mouse_down_1(Point point, bool double_click) { form_.on_mouse_down_1(point, double_click); }
void ControlContainer::on_mouse_up_1(Point point, bool double_click) { form_.on_mouse_up_1(point, double_click); }
void ControlContainer::on_wheel(Point point, int delta) { form_.on_wheel(point, delta); }
bool ControlContainer::on_text(const std::u16string& text) { return form_.on_text(text); }
bool ControlContainer::on_keydown(Key key) { return form_.on_keydown(key); }
bool ControlContainer::on_keyup(Key key) { return form_.on_keyup(key); }

void ControlContainer::dispatch_timer(uint32_t id) {
    Control::dispatch_timer(id);
    form_.on_timer(id);
}

void ControlContainer::set_rect(Point position, Point size) {
    Control::set_rect(position, size);
    form_.set_rect(position, size);
}

void ControlContainer::set_rect_without_layout(Point position, Point size) {
    Control::set_rect(position, size);
    form_.set_position_and_size(position, size);
}

Point ControlContainer::get_preferred_size() { return max_point(Control::get_preferred_size(), form_.get_minimum_size()); }

void ControlContainer::reload_properties() {
    Control::reload_properties();
    form_.set_form_name(get_string_property(u"FormTemplate", u""));
    form_.reload_properties();
    load_backgrounds();
}

FormBase* ControlContainer::get_embedded_form() { return &form_; }

void ControlContainer::load_backgrounds() {
    const bool has_template = !form_.get_form_name().empty();
    background_ = get_picture_property(u"Background", Picture());
    if (has_template) background_ = form_.get_picture_property(u"Background", background_);
    background_focus_ = get_picture_property(u"BackgroundFocus", background_);
    if (has_template) background_focus_ = form_.get_picture_property(u"BackgroundFocus", background_focus_);
}

}  // namespace skinner
