#include "ui/lists/ControlScrollBar.h"

#include <algorithm>

namespace skinner {

ControlScrollPart::ControlScrollPart(FormBase* form, const std::u16string& kind_name, ControlScrollBar* bar,
                                     double repeat_interval)
    : ControlButton(form, kind_name, KIND_TEMPLATE), bar_(bar), repeat_interval_(repeat_interval) {
    set_want_focus(false);
}

void ControlScrollPart::on_mouse_down(Point point, bool double_click) {
    if (repeat_interval_ != 0) {
        repeat_countdown_ = ControlScrollBar::repeat_delay_ticks;
        set_timer(repeat_interval_);
    }
    drag_offset_ = point - get_position();
    bar_->step_by(this);
    ControlButton::on_mouse_down(point, double_click);
}

void ControlScrollPart::on_timer(uint32_t) {
    // A release that never arrived must not leave the bar stepping for ever.
    if (!is_pressed()) {
        kill_timer();
        return;
    }
    --repeat_countdown_;
    if (repeat_countdown_ < 0 && is_enabled()) bar_->step_by(this);
}

void ControlScrollPart::on_mouse_move(Point point) {
    ControlButton::on_mouse_move(point);
    if (is_pressed()) bar_->drag_track(this, point - drag_offset_);
}

void ControlScrollPart::on_mouse_up(Point point, bool double_click) {
    kill_timer();
    ControlButton::on_mouse_up(point, double_click);
}

ControlScrollBar::ControlScrollBar(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlContainer(form, name, kind),
      min_button_(&form_, get_string_property(u"KindMin", u""), this, repeat_interval),
      max_button_(&form_, get_string_property(u"KindMax", u""), this, repeat_interval),
      space_before_(&form_, get_string_property(u"KindSpace", u""), this, repeat_interval),
      space_after_(&form_, get_string_property(u"KindSpace", u""), this, repeat_interval),
      track_(&form_, get_string_property(u"KindTrack", u""), this, repeat_interval) {
    load_properties();
    ControlScrollBar::set_rect(Control::get_position(), get_size());
}

ControlScrollBar::~ControlScrollBar() = default;

void ControlScrollBar::load_properties() {
    vertical_ = get_int_property(u"Vertical", 0) != 0;
    const int32_t min_size = get_scaled_int_property(u"MinButtonSize", 0);
    const int32_t max_size = get_scaled_int_property(u"MaxButtonSize", 0);
    min_button_size_ = {min_size, min_size};
    max_button_size_ = {max_size, max_size};
    // The range and page belong to the bar's owner, never to the skin.
    check_unsupported_count_property(u"Min");
    check_unsupported_count_property(u"Max");
    check_unsupported_count_property(u"Page");
    set_position(position_, true);
}

void ControlScrollBar::reload_properties() {
    ControlContainer::reload_properties();
    load_properties();
}

void ControlScrollBar::notify_scroll() { on_scroll(this); }

void ControlScrollBar::set_position(int32_t value, bool force) {
    if (max_ < min_) max_ = min_;
    const int64_t range = int64_t(max_) - min_;
    if (page_ > range) page_ = int32_t(range);
    if (page_ < 0) page_ = 0;
    const int32_t old = position_;
    position_ = int32_t(std::min<int64_t>(std::max(value, min_), int64_t(max_) - page_));
    if (position_ != old) {
        notify_scroll();
        set_rect(Control::get_position(), get_size());
    } else if (force) {
        set_rect(Control::get_position(), get_size());
    }
}

void ControlScrollBar::set_range(int32_t min, int32_t max) {
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    set_position(position_, true);
    invalidate();
}

void ControlScrollBar::set_page(int32_t page) {
    if (page == page_) return;
    page_ = page;
    set_position(position_, true);
}

void ControlScrollBar::step_by(ControlScrollPart* part) {
    const int64_t p = position_;
    int64_t target;
    if (part == &min_button_) {
        target = p - step_;
    } else if (part == &max_button_) {
        target = p + step_;
    } else if (part == &space_before_) {
        target = p - page_;
    } else if (part == &space_after_) {
        target = p + page_;
    } else {
        return;
    }
    set_position(int32_t(std::clamp<int64_t>(target, INT32_MIN, INT32_MAX)), false);
}

void ControlScrollBar::drag_track(ControlScrollPart* part, Point point) {
    if (part != &track_) return;
    const Point bar = Control::get_position();
    const Point natural = natural_track_size();
    const int32_t length = vertical_ ? get_size().y - min_button_size_.y - max_button_size_.y - natural.y
                                     : get_size().x - min_button_size_.x - max_button_size_.x - natural.x;
    const int32_t offset = vertical_ ? point.y - min_button_size_.y - bar.y : point.x - min_button_size_.x - bar.x;
    double f = length != 0 ? double(offset) / length : 0.0;
    f = std::max(std::min(f, 1.0), 0.0);
    set_position(int32_t(min_ + int64_t((double(max_) - min_) * f)), false);
}

Point ControlScrollBar::natural_track_size() const {
    return track_.get_styles()[ButtonStyles::Normal].picture.get_border_size();
}

void ControlScrollBar::set_rect(Point position, Point size) {
    set_rect_without_layout(position, size);
    if ((vertical_ ? size.y : size.x) >= 1) {
        layout_along(position, size);
    } else {
        min_button_.set_rect({0, 0}, min_button_size_);
        max_button_.set_rect({0, 0}, max_button_size_);
        space_before_.set_rect({0, 0}, {0, 0});
        track_.set_rect({0, 0}, track_size_);
        space_after_.set_rect({0, 0}, {0, 0});
    }
}

void ControlScrollBar::layout_along(Point position, Point size) {
    // Coordinates along the bar's axis and across it, so that one pass serves both bars.
    auto along = [&](Point p) { return vertical_ ? p.y : p.x; };
    auto across = [&](Point p) { return vertical_ ? p.x : p.y; };
    auto make = [&](int32_t a, int32_t c) { return vertical_ ? Point(c, a) : Point(a, c); };

    const int64_t range = int64_t(max_) - min_;
    const double frac_pos = range != 0 ? double(position_ - int64_t(min_)) / double(range) : 0.0;
    const double frac_page = range != 0 ? double(page_) / double(range) : 1.0;

    const int32_t thickness = across(size);
    min_button_size_ = make(along(min_button_size_), thickness);
    max_button_size_ = make(along(max_button_size_), thickness);
    const int32_t bmin = along(min_button_size_);
    const int32_t bmax = along(max_button_size_);
    const int32_t start = along(position);
    const int32_t end = start + along(size);
    const int32_t cross = across(position);

    const int32_t run_length = std::max(along(size) - bmax - along(natural_track_size()) - bmin, 0);
    const int32_t run_start = start + bmin;
    const int32_t track_start = int32_t(run_length * frac_pos + run_start);
    const int32_t after = int32_t(((1.0 - frac_pos) - frac_page) * run_length);
    const int32_t after_start = end - bmax - after;
    // A bar shorter than its two step buttons leaves the thumb no length, never a negative one.
    const int32_t track_length = std::max(after_start - track_start, 0);

    min_button_.set_rect(make(start, cross), min_button_size_);
    max_button_.set_rect(make(end - bmax, cross), max_button_size_);
    space_before_.set_rect(make(run_start, cross), make(track_start - run_start, thickness));
    track_.set_rect(make(track_start, cross), make(track_length, thickness));
    space_after_.set_rect(make(after_start, cross), make(after, thickness));
    track_size_ = track_.get_size();
}

}  // namespace skinner
