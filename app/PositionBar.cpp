#include "app/PositionBar.h"

#include <algorithm>
#include <cmath>

#include "base/Strings.h"

namespace app {

using skinner::Point;

namespace {

// A marker that is not a number stands at the start.
double clamp_marker(double value) { return std::isfinite(value) ? skinner::clamp(value, 0.0, 1.0) : 0.0; }

}  // namespace

PositionBar::PositionBar(skinner::FormBase* form, const std::u16string& name) : Control(form, name, KIND_SKIN) {
    load_properties();
}

void PositionBar::load_properties() {
    middle_ = get_picture_property(u"Middle", skinner::Picture());
    left_ = get_picture_property(u"Left", skinner::Picture());
    right_ = get_picture_property(u"Right", left_);
    border_min_ = get_point_property(u"BorderMin", Point(0, 0));
    border_max_ = get_point_property(u"BorderMax", border_min_);
    track_width_ = get_scaled_int_property(u"TrackWidth", 0);
}

void PositionBar::reload_properties() {
    Control::reload_properties();
    load_properties();
}

Point PositionBar::inner_size() const { return get_size() - border_min_ - border_max_; }

void PositionBar::set_markers(double start, double second) {
    start = clamp_marker(start);
    second = clamp_marker(second);
    if (start == start_ && second == second_) return;
    const Parts before = layout_parts();
    start_ = start;
    second_ = second;
    on_state_changed(this);
    // The play position moves less than a pixel a tick on a long file: redraw only what moved.
    const Parts after = layout_parts();
    if (after.left_size != before.left_size || after.middle_position != before.middle_position ||
        after.middle_size != before.middle_size) {
        invalidate();
    }
}

void PositionBar::set_marker_range(double low, double high, double first, double second) {
    if (!(high > low)) {
        set_markers(0.0, 0.0);
        return;
    }
    const double span = high - low;
    set_markers((first - low) / span, (second - low) / span);
}

double PositionBar::fraction_at(Point point) const {
    const int64_t width = inner_size().x;
    const int64_t x = int64_t(point.x) - get_position().x - border_min_.x;
    if (width <= 0 || x < 0) return 0.0;
    if (x >= width) return 1.0;
    return double(x) / double(width);
}

void PositionBar::on_mouse_down(Point point, bool) {
    dragging_ = true;
    on_value_changed(this, fraction_at(point));
}

void PositionBar::on_mouse_move(Point point) {
    if (dragging_) on_value_changed(this, fraction_at(point));
}

void PositionBar::on_mouse_up(Point, bool) { dragging_ = false; }

// A bar that is switched off under the pen stops seeking, even before the pen is lifted.
void PositionBar::on_enabled_changed(bool enabled) {
    if (!enabled) dragging_ = false;
}

void PositionBar::on_visibility_changed(bool visible) {
    if (!visible) dragging_ = false;
}

PositionBar::Parts PositionBar::layout_parts() const {
    const Point inner = max_point(inner_size(), Point(0, 0));
    const Point origin = get_position() + border_min_;
    const double start_x = inner.x * start_;
    const double second_x = inner.x * second_;
    const double half = track_width_ * 0.5;
    Parts parts;
    parts.left_position = origin;
    parts.left_size = {int32_t(start_x + 0.5), inner.y};
    const int32_t a = int32_t(start_x - half + 0.5);
    const int32_t b = track_width_ + int32_t(second_x - half + 0.5);
    parts.middle_position = {origin.x + a, origin.y};
    // Right after a seek the play position can lag the start marker: then there is no middle.
    parts.middle_size = {std::max(b - a, 0), inner.y};
    return parts;
}

void PositionBar::paint(skinner::Painter& painter, Point, Point) {
    right_.draw(painter, get_position(), get_size());
    const Parts parts = layout_parts();
    left_.draw(painter, parts.left_position, parts.left_size);
    middle_.draw(painter, parts.middle_position, parts.middle_size);
}

}  // namespace app
