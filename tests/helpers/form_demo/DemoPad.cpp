#include "tests/helpers/form_demo/DemoPad.h"

#include "ui/graphics/Alignment.h"
#include "ui/graphics/Painter.h"

namespace form_demo {

using skinner::Point;

DemoPad::DemoPad(skinner::FormBase* form, const std::u16string& name) : Control(form, name, KIND_SKIN) {
    load_pad_properties();
}

void DemoPad::load_pad_properties() {
    background_ = get_picture_property(u"Background", skinner::Picture());
    font_ = get_font_property(u"Ink", skinner::Font());
    ink_ = get_color_property(u"Ink", skinner::Color{0, 0, 0, 255});
    border_ = get_point_property(u"BorderMin", Point());
}

void DemoPad::reload_properties() {
    Control::reload_properties();
    load_pad_properties();
}

void DemoPad::paint(skinner::Painter& painter, Point clip_origin, Point clip_size) {
    background_.draw(painter, get_position(), get_size());
    painter.push_clip(get_position(), get_size());
    // Each stroke three pixels wide, so that it reads at both skin scales.
    HPEN pen = CreatePen(PS_SOLID, 1, ink_.to_colorref());
    HGDIOBJ old = SelectObject(painter.dc(), pen);
    for (const auto& stroke : strokes_) {
        for (int offset = -1; offset <= 1; ++offset) {
            std::vector<POINT> line;
            for (const Point& p : stroke) line.push_back(POINT{p.x, p.y + offset});
            Polyline(painter.dc(), line.data(), static_cast<int>(line.size()));
        }
    }
    SelectObject(painter.dc(), old);
    DeleteObject(pen);
    const Point text_origin = get_position() + border_;
    font_.draw_text(painter, ink_, text_, text_origin, get_size() - border_ - border_,
                    static_cast<int>(skinner::HAlignment::LEFT), static_cast<int>(skinner::VAlignment::TOP));
    painter.pop_clip();
    Control::paint(painter, clip_origin, clip_size);
}

void DemoPad::add_point(Point point) {
    if (strokes_.empty()) return;
    strokes_.back().push_back(point);
    invalidate();
}

void DemoPad::on_mouse_down(Point point, bool) {
    drawing_ = true;
    strokes_.emplace_back();
    add_point(point);
}

void DemoPad::on_mouse_move(Point point) {
    if (drawing_) add_point(point);
}

void DemoPad::on_mouse_up(Point point, bool) {
    if (!drawing_) return;
    add_point(point);
    drawing_ = false;
}

bool DemoPad::on_text(const std::u16string& text) {
    for (char16_t c : text) {
        if (c >= 32) text_.push_back(c);
    }
    invalidate();
    on_text_changed(this);
    return true;
}

bool DemoPad::on_keydown(skinner::Key key) {
    if (key != skinner::Key::Backspace) return false;
    if (!text_.empty()) text_.pop_back();
    invalidate();
    on_text_changed(this);
    return true;
}

void DemoPad::clear() {
    strokes_.clear();
    text_.clear();
    invalidate();
    on_text_changed(this);
}

}  // namespace form_demo
