#include "ui/controls/ControlLabel.h"

#include <algorithm>

#include "ui/graphics/Painter.h"

namespace skinner {

namespace {

bool is_break_opportunity(char16_t c) { return c <= u' ' || c == u'\u200B'; }

}  // namespace

std::vector<std::u16string> wrap_text(std::u16string_view text, int32_t width, const TextWidth& text_width) {
    std::vector<std::u16string> lines;
    size_t start = 0;     // first character of the current line
    size_t breakpos = 0;  // just after the last break opportunity
    auto end_line = [&](size_t end, size_t next) {
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') {
            end_line(i, i + 1);
            breakpos = i + 1;
        } else if (text_width(text.substr(start, i + 1 - start)) > width) {
            // Without a break since the line began, the character begins the next line; one
            // wider than the whole line leaves an empty line above its own.
            if (breakpos != start) {
                end_line(breakpos, breakpos);
            } else {
                end_line(i, i);
            }
            breakpos = start;
        }
        if (is_break_opportunity(c)) {
            breakpos = i + 1;
            if (start == i) start = i + 1;
        }
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

ControlLabelImpl::ControlLabelImpl(FormBase* form, const std::u16string& name, int32_t kind)
    : Control(form, name, kind) {
    set_want_focus(false);
    load_label_properties();
}

ControlLabelImpl::~ControlLabelImpl() = default;

void ControlLabelImpl::load_label_properties() {
    border_min_ = get_point_property(u"BorderMin", Point());
    border_max_ = get_point_property(u"BorderMax", border_min_);
    h_alignment_ = h_alignment_of(get_string_property(u"HAlignment", u""));
    v_alignment_ = v_alignment_of(get_string_property(u"VAlignment", u""));
    background_ = get_picture_property(u"Normal", Picture());
    font_ = get_font_property(u"Normal", Font());
    normal_color_ = get_color_property(u"Normal", Color());
    disabled_color_ = get_color_property(u"Disabled", Color());
    text_ = get_string_property(u"Text", text_);
    wrap_ = get_int_property(u"Wrap", 0) != 0;
    auto_size_ = get_int_property(u"AutoSize", 0) != 0;
    ellipsis_ = get_int_property(u"Ellipsis", 0) != 0;
    layout_text(text_);
}

void ControlLabelImpl::layout_text(const std::u16string& text) {
    const Point insets = border_min_ + border_max_;
    if (wrap_) {
        lines_ = wrap_text(text, get_size().x - insets.x, [this](std::u16string_view t) { return font_.measure_text(t).x; });
    } else {
        lines_.assign(1, text);
    }
    preferred_text_size_ = Point();
    if (auto_size_) {
        for (const std::u16string& line : lines_) {
            const Point extent = font_.measure_text(line);
            preferred_text_size_.x = std::max(preferred_text_size_.x, extent.x);
            preferred_text_size_.y += extent.y;
        }
    }
    preferred_text_size_ = preferred_text_size_ + insets;
}

void ControlLabelImpl::set_text(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    layout_text(text_);
    invalidate();
}

void ControlLabelImpl::set_rect(Point position, Point size) {
    Control::set_rect(position, size);
    layout_text(text_);
}

Point ControlLabelImpl::get_preferred_size() { return max_point(Control::get_preferred_size(), preferred_text_size_); }

void ControlLabelImpl::reload_properties() {
    Control::reload_properties();
    load_label_properties();
}

bool ControlLabelImpl::hit_test(Point) { return false; }

void ControlLabelImpl::paint(Painter& painter, Point clip_origin, Point clip_size) {
    background_.draw(painter, get_position(), get_size());
    const Color color = is_enabled() ? normal_color_ : disabled_color_;
    if (lines_.size() == 1) {
        paint_one_line(painter, color);
    } else {
        paint_lines(painter, color);
    }
    Control::paint(painter, clip_origin, clip_size);
}

void ControlLabelImpl::paint_one_line(Painter& painter, Color color) {
    Point at = get_position() + border_min_;
    Point extent = get_size() - border_min_ - border_max_;
    if (v_alignment_ == VAlignment::VCENTER) {
        // Centred in the band between the smaller of the two insets, not only the text area.
        const int32_t m = std::min(border_min_.y, border_max_.y);
        at.y -= m;
        extent.y += 2 * m;
    }
    if (ellipsis_) {
        font_.draw_text_ellipsis(painter, color, lines_[0], at, extent, int(h_alignment_), int(v_alignment_));
    } else {
        font_.draw_text(painter, color, lines_[0], at, extent, int(h_alignment_), int(v_alignment_));
    }
}

void ControlLabelImpl::paint_lines(Painter& painter, Color color) {
    painter.push_clip(get_position(), get_size());
    std::vector<int32_t> heights;
    int32_t total = 0;
    for (const std::u16string& line : lines_) {
        heights.push_back(font_.measure_text(line).y);
        total += heights.back();
    }
    const int32_t height = get_size().y;
    int32_t top = 0;
    if (v_alignment_ == VAlignment::TOP) {
        top = border_min_.y;
    } else if (v_alignment_ == VAlignment::BOTTOM) {
        top = height - border_max_.y - total;
    } else {
        top = border_min_.y + std::max(0, (height - border_min_.y - border_max_.y - total) / 2);
    }
    const int32_t width = get_size().x - border_min_.x - border_max_.x;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const int32_t h = heights[i];
        const Point at(get_position().x + border_min_.x, get_position().y + top);
        const bool last_that_fits = top + 2 * h > height;
        if (last_that_fits && ellipsis_ && i + 1 < lines_.size()) {
            font_.draw_text_ellipsis(painter, color, lines_[i] + u'\u2026', at, {width, h}, int(h_alignment_), int(VAlignment::TOP));
        } else {
            font_.draw_text(painter, color, lines_[i], at, {width, h}, int(h_alignment_), int(VAlignment::TOP));
        }
        if (last_that_fits) break;
        top += h;
    }
    painter.pop_clip();
}

}  // namespace skinner
