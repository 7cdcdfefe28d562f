#include "ui/controls/ControlProgressBar.h"

#include "base/Strings.h"

namespace skinner {

namespace {

int32_t trunc_of(double v) { return int32_t(v); }

}  // namespace

BarRect BarGeometry::fill(double f, int32_t o) const {
    const int32_t x = position.x, y = position.y, w = size.x, h = size.y, t = track_size;
    switch (o) {
        case TOP_TO_BOTTOM: return {{x, y}, {w, trunc_of(double(h - t) * f)}};
        case RIGHT_TO_LEFT: return {{x + trunc_of(double(w - t) * (1 - f)), y}, {trunc_of(double(w - t) * f), h}};
        case BOTTOM_TO_TOP: return {{x, y + trunc_of(double(h - t) * (1 - f))}, {w, trunc_of(double(h - t) * f)}};
        case LEFT_TO_RIGHT: return {{x, y}, {trunc_of(double(w - t) * f), h}};
        default: return {};
    }
}

BarRect BarGeometry::thumb(double v) const {
    const int32_t x = position.x, y = position.y, w = size.x, h = size.y, t = track_size;
    switch (orientation) {
        case TOP_TO_BOTTOM: return {{x, y + trunc_of(double(h - t) * v)}, {w, t}};
        case RIGHT_TO_LEFT: return {{x + trunc_of(double(w - t) * (1 - v)), y}, {t, h}};
        case BOTTOM_TO_TOP: return {{x, y + trunc_of(double(h - t) * (1 - v))}, {w, t}};
        case LEFT_TO_RIGHT: return {{x + trunc_of(double(w - t) * v), y}, {t, h}};
        default: return {};
    }
}

double BarGeometry::value_at(Point p) const {
    const int32_t x = position.x, y = position.y, w = size.x, h = size.y, t = track_size;
    int32_t along = 0;
    int32_t room = 0;
    switch (orientation) {
        case TOP_TO_BOTTOM: along = p.y - t / 2 - y, room = h - t; break;
        case RIGHT_TO_LEFT: along = (w - t / 2) - p.x + x, room = w - t; break;
        case BOTTOM_TO_TOP: along = (h - t / 2) - p.y + y, room = h - t; break;
        case LEFT_TO_RIGHT: along = p.x - t / 2 - x, room = w - t; break;
        default: return 0.0;
    }
    // A bar with no room for the thumb to travel has only the value 0.
    if (room <= 0) return 0.0;
    return clamp(double(along) / double(room), 0.0, 1.0);
}

ControlProgressBarImpl::ControlProgressBarImpl(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlTrackBarImpl(form, name, kind) {
    load_progress_properties();
}

ControlProgressBarImpl::~ControlProgressBarImpl() = default;

void ControlProgressBarImpl::load_progress_properties() {
    orientation_ = get_int_property(u"Orientation", LEFT_TO_RIGHT);
    progress_ = get_picture_property(u"Progress", Picture());
    track_size_ = get_scaled_int_property(u"TrackSize", 0);
}

void ControlProgressBarImpl::reload_properties() {
    ControlTrackBarImpl::reload_properties();
    load_progress_properties();
}

BarGeometry ControlProgressBarImpl::geometry() const { return {get_position(), get_size(), orientation_, track_size_}; }

double ControlProgressBarImpl::value_at(Point point) const { return geometry().value_at(point); }

void ControlProgressBarImpl::paint(Painter& painter, Point clip_origin, Point clip_size) {
    const BarGeometry g = geometry();
    const double v = get_value();
    // The fill runs from the zero end up to the thumb in every orientation: the two far-end
    // orientations draw the fill whole and cover its far part with the background.
    auto draw = [&](const Picture& picture, const BarRect& r) { picture.draw(painter, r.position, r.size); };
    switch (orientation_) {
        case TOP_TO_BOTTOM:
        case LEFT_TO_RIGHT:
            draw(get_background(), {get_position(), get_size()});
            draw(progress_, g.fill(v, orientation_));
            break;
        case BOTTOM_TO_TOP:
            draw(progress_, {get_position(), get_size()});
            draw(get_background(), g.fill(1 - v, TOP_TO_BOTTOM));
            break;
        case RIGHT_TO_LEFT:
            draw(progress_, {get_position(), get_size()});
            draw(get_background(), g.fill(1 - v, LEFT_TO_RIGHT));
            break;
        default:
            draw(get_background(), {get_position(), get_size()});
            break;
    }
    draw(get_thumb(), g.thumb(v));
    Control::paint(painter, clip_origin, clip_size);
}

}  // namespace skinner
