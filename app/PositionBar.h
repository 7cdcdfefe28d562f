#pragma once
// PositionBar: the file as a bar with two markers, the start and a second one (the play
// position while the start and finish are picked, the finish afterwards). It holds no playback
// position of its own: the main form sets the markers on every tick, and a tap or a drag
// reports the fraction under the pen through on_value_changed, which the form turns into a seek.
#include <cstdint>
#include <string>

#include "ui/forms/Control.h"

namespace app {

class PositionBar : public skinner::Control {
public:
    // The main form's bar is "pbPosition".
    PositionBar(skinner::FormBase* form, const std::u16string& name);

    // Both clamped to [0, 1]; a change raises on_state_changed, and repaints when it moves a picture.
    void set_markers(double start, double second);
    // The markers as fractions of low..high; both 0 when the range is empty.
    void set_marker_range(double low, double high, double first, double second);
    // 0 left of the inner area, 1 at or right of its right edge (and 0 when it has no width).
    double fraction_at(skinner::Point point) const;

    void on_mouse_down(skinner::Point point, bool double_click) override;
    void on_mouse_move(skinner::Point point) override;
    void on_mouse_up(skinner::Point point, bool double_click) override;
    void on_enabled_changed(bool enabled) override;
    void on_visibility_changed(bool visible) override;
    void paint(skinner::Painter& painter, skinner::Point clip_origin, skinner::Point clip_size) override;
    void reload_properties() override;

    // Where the left and the middle picture go for the current markers, in form coordinates
    // (the right one covers the whole control). No part has a negative size.
    struct Parts {
        skinner::Point left_position, left_size;
        skinner::Point middle_position, middle_size;
    };
    Parts layout_parts() const;

    double get_start_marker() const { return start_; }
    double get_second_marker() const { return second_; }
    bool is_dragging() const { return dragging_; }

private:
    void load_properties();
    // The control's size less both borders.
    skinner::Point inner_size() const;

    skinner::Picture middle_;
    skinner::Picture left_;
    skinner::Picture right_;
    skinner::Point border_min_;
    skinner::Point border_max_;
    int32_t track_width_ = 0;
    double start_ = 0.0;
    double second_ = 0.0;
    bool dragging_ = false;
};

}  // namespace app
