#include "ui/controls/ControlTrackBar.h"

#include <cmath>

#include "base/Strings.h"

namespace skinner {

ControlTrackBarImpl::ControlTrackBarImpl(FormBase* form, const std::u16string& name, int32_t kind)
    : Control(form, name, kind) {
    load_track_properties();
}

ControlTrackBarImpl::~ControlTrackBarImpl() = default;

void ControlTrackBarImpl::load_track_properties() {
    background_ = get_picture_property(u"Background", Picture());
    track_ = get_picture_property(u"Track", Picture());
    track_disabled_ = get_picture_property(u"TrackDisabled", Picture());
}

void ControlTrackBarImpl::reload_properties() {
    Control::reload_properties();
    load_track_properties();
}

void ControlTrackBarImpl::set_position(double value) {
    const double v = std::isfinite(value) ? clamp(value, 0.0, 1.0) : 0.0;
    if (v == value_) return;
    value_ = v;
    notify_state_changed();
    invalidate();
}

void ControlTrackBarImpl::notify_value_changed(double value) { on_value_changed(this, value); }

void ControlTrackBarImpl::notify_state_changed() { on_state_changed(this); }

void ControlTrackBarImpl::on_mouse_down(Point point, bool double_click) {
    if (double_click) return;
    pressed_ = true;
    notify_value_changed(value_at(point));
}

void ControlTrackBarImpl::on_mouse_move(Point point) {
    if (pressed_) notify_value_changed(value_at(point));
}

void ControlTrackBarImpl::on_mouse_up(Point, bool) { pressed_ = false; }

}  // namespace skinner
