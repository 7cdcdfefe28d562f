#pragma once
// Scroll bars: ControlScrollPart, a button that steps its bar when pressed, repeats while held
// and can be dragged; ControlScrollBar, a container built of five such parts (two step
// buttons, the page areas before and after the thumb, and the thumb) that keeps an integer
// position within a range. Every piece's look comes from the skin kinds the bar names.
#include <cstdint>
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlContainer.h"

namespace skinner {

class ControlScrollBar;

class ControlScrollPart : public ControlButton {
public:
    // A template button of the skin kind; it never takes the focus. An interval of 0 turns
    // repeating off.
    ControlScrollPart(FormBase* form, const std::u16string& kind_name, ControlScrollBar* bar, double repeat_interval);

    void on_mouse_move(Point point) override;
    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_up(Point point, bool double_click) override;
    void on_timer(uint32_t id) override;

private:
    ControlScrollBar* bar_;
    Point drag_offset_;
    double repeat_interval_;
    int32_t repeat_countdown_ = 0;
};

class ControlScrollBar : public ControlContainer {
public:
    // Press steps before a held part starts repeating, one per tick.
    static constexpr int32_t repeat_delay_ticks = 5;
    static constexpr double repeat_interval = 0.1;

    ControlScrollBar(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlScrollBar() override;

    void set_rect(Point position, Point size) override;
    void reload_properties() override;

    // Raises on_scroll with the bar as sender; receivers read the position from the bar.
    virtual void notify_scroll();

    void load_properties();
    // Clamps to [min, max - page]; a change raises on_scroll and lays the bar out again.
    void set_position(int32_t value, bool force);
    void set_range(int32_t min, int32_t max);
    void set_page(int32_t page);
    int32_t get_page() const { return page_; }
    int32_t get_position() const { return position_; }
    int32_t get_min() const { return min_; }
    int32_t get_max() const { return max_; }
    bool is_vertical() const { return vertical_; }

    // Called by a part on its press and on each repeat.
    void step_by(ControlScrollPart* part);
    // Called by a part while it is dragged, with where its top-left corner should be.
    void drag_track(ControlScrollPart* part, Point point);

    ControlScrollPart& get_min_button() { return min_button_; }
    ControlScrollPart& get_max_button() { return max_button_; }
    ControlScrollPart& get_space_before() { return space_before_; }
    ControlScrollPart& get_space_after() { return space_after_; }
    ControlScrollPart& get_track() { return track_; }

private:
    // The shortest length at which the thumb keeps its borders.
    Point natural_track_size() const;
    // The parts placed along the bar's axis; the other axis is the bar's thickness.
    void layout_along(Point position, Point size);

    Point min_button_size_;
    Point max_button_size_;
    Point track_size_;
    ControlScrollPart min_button_;
    ControlScrollPart max_button_;
    ControlScrollPart space_before_;
    ControlScrollPart space_after_;
    ControlScrollPart track_;
    int32_t min_ = 0;
    int32_t max_ = 0;
    int32_t page_ = 1;
    int32_t step_ = 1;
    int32_t position_ = 0;
    bool vertical_ = false;
};

}  // namespace skinner
