#include "app/RepeatButton.h"

#include <algorithm>

namespace app {

RepeatButton::RepeatButton(skinner::FormBase* form, const std::u16string& name, int32_t kind)
    : ControlButton(form, name, kind), timer_(*this) {}

void RepeatButton::set_delays(double first, double repeat, double factor) {
    first_ = first;
    repeat_ = repeat;
    factor_ = factor;
    current_ = first;
}

void RepeatButton::notify_state_changed() {
    ControlButton::notify_state_changed();
    const bool pressed = is_pressed();
    if (pressed == was_pressed_) return;
    was_pressed_ = pressed;
    if (pressed) {
        on_pressed();
    } else {
        on_released();
    }
}

void RepeatButton::on_pressed() {
    if (!is_enabled()) return;
    current_ = first_;
    timer_.start(current_);
}

void RepeatButton::on_timer(skinner::Timer&) {
    if (!is_enabled()) return;
    fired_ = true;
    on_control_event(this, skinner::ButtonEvent{});
    current_ = std::clamp(current_ * factor_, std::min(first_, repeat_), std::max(first_, repeat_));
    timer_.start(current_);
}

void RepeatButton::on_released() {
    timer_.cancel();
    if (!fired_) return;
    fired_ = false;
    on_control_event(this, skinner::ButtonEvent{});
}

}  // namespace app
