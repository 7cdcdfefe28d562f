#pragma once
// The demo's own control: a pad that keeps the pen's strokes and the typed text, and tells its
// form when the text changes.
#include <string>
#include <vector>

#include "ui/forms/Control.h"

namespace form_demo {

class DemoPad : public skinner::Control {
public:
    DemoPad(skinner::FormBase* form, const std::u16string& name);

    void paint(skinner::Painter& painter, skinner::Point clip_origin, skinner::Point clip_size) override;
    void on_mouse_down(skinner::Point point, bool double_click) override;
    void on_mouse_move(skinner::Point point) override;
    void on_mouse_up(skinner::Point point, bool double_click) override;
    bool on_text(const std::u16string& text) override;
    bool on_keydown(skinner::Key key) override;
    void reload_properties() override;

    void clear();
    const std::u16string& text() const { return text_; }
    size_t stroke_count() const { return strokes_.size(); }

private:
    void load_pad_properties();
    void add_point(skinner::Point point);

    skinner::Picture background_;
    skinner::Font font_;
    skinner::Color ink_;
    skinner::Point border_;
    std::vector<std::vector<skinner::Point>> strokes_;
    std::u16string text_;
    bool drawing_ = false;
};

}  // namespace form_demo
