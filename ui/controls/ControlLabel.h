#pragma once
// The label: a text on an optional background picture, on one line or broken at word
// boundaries to the control's width, aligned by the skin, shortened with an ellipsis when
// asked, and able to report the size its text needs. It takes no focus and no pointer input.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/graphics/Alignment.h"
#include "ui/forms/Control.h"

namespace skinner {

using TextWidth = std::function<int32_t(std::u16string_view)>;

// The lines of a wrapped text: a line feed ends a line; a line that would grow wider than
// width breaks after its last blank, control character or zero-width space, else before the
// character that overflows; a blank that would start a line is dropped.
std::vector<std::u16string> wrap_text(std::u16string_view text, int32_t width, const TextWidth& text_width);

class ControlLabelImpl : public Control {
public:
    ControlLabelImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlLabelImpl() override;

    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    // Taps go to whatever lies below the label.
    bool hit_test(Point point) override;
    void set_rect(Point position, Point size) override;
    Point get_preferred_size() override;
    void reload_properties() override;
    // Rebuilds the lines and the preferred text size.
    virtual void layout_text(const std::u16string& text);

    void set_text(const std::u16string& text);

    const std::u16string& get_text() const { return text_; }
    const std::vector<std::u16string>& get_lines() const { return lines_; }
    Point get_preferred_text_size() const { return preferred_text_size_; }
    const Font& get_font() const { return font_; }
    Point get_border_min() const { return border_min_; }
    Point get_border_max() const { return border_max_; }

private:
    void load_label_properties();
    void paint_one_line(Painter& painter, Color color);
    void paint_lines(Painter& painter, Color color);

    Point border_min_;
    Point border_max_;
    Picture background_;
    Font font_;
    Color normal_color_;
    Color disabled_color_;
    std::u16string text_;
    HAlignment h_alignment_ = HAlignment::CENTER;
    VAlignment v_alignment_ = VAlignment::VCENTER;
    Point preferred_text_size_;
    std::vector<std::u16string> lines_;
    bool wrap_ = false;
    bool auto_size_ = false;
    bool ellipsis_ = false;
};

}  // namespace skinner
