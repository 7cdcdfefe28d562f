#include "ui/controls/ControlPicture.h"

#include <algorithm>

namespace skinner {

PicturePlacement place_picture(Point picture_size, Point position, Point size, HAlignment h_alignment, VAlignment v_alignment) {
    const Point p = picture_size;
    if (p.x <= 0 || p.y <= 0) return {position, Point()};
    const double sx = size.x < p.x ? double(size.x) / p.x : 1.0;
    const double sy = size.y < p.y ? double(size.y) / p.y : 1.0;
    // A rectangle of no room gives nothing to draw rather than a negative extent.
    const double s = std::max(0.0, std::min(sx, sy));
    const Point drawn(int32_t(p.x * s), int32_t(p.y * s));
    return {{position.x + align_offset(h_alignment, size.x - drawn.x), position.y + align_offset(v_alignment, size.y - drawn.y)},
            drawn};
}

ControlPicture::ControlPicture(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlButton(form, name, kind) {
    set_want_focus(false);
    load_properties();
}

ControlPicture::~ControlPicture() = default;

void ControlPicture::load_properties() {
    h_alignment_ = h_alignment_of(get_string_property(u"PictureHAlignment", u""));
    v_alignment_ = v_alignment_of(get_string_property(u"PictureVAlignment", u""));
    picture_ = get_picture_property(u"Picture", picture_);
}

void ControlPicture::reload_properties() {
    ControlButton::reload_properties();
    load_properties();
}

void ControlPicture::set_picture(const Picture& picture) {
    picture_ = picture;
    invalidate();
}

bool ControlPicture::hit_test(Point) { return false; }

void ControlPicture::paint(Painter& painter, Point, Point) {
    const PicturePlacement placed = place_picture(picture_.get_size(), get_position(), get_size(), h_alignment_, v_alignment_);
    picture_.draw(painter, placed.position, placed.size);
}

}  // namespace skinner
