#pragma once
// ControlScrollContainer: a container that holds a vertical and a horizontal scroll bar beside
// a client area and shows each bar only when the content does not fit. The deriving class
// calls fit_client and place_bars from its set_rect.
#include <cstdint>
#include <string>

#include "ui/controls/ControlContainer.h"
#include "ui/lists/ControlScrollBar.h"

namespace skinner {

class ControlScrollContainer : public ControlContainer {
public:
    // The bars are built from the skin kinds named by "KindScroll" and "KindHScroll".
    ControlScrollContainer(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlScrollContainer() override;

    void reload_properties() override;

    void load_properties();
    // Gives the content control the client area left by the borders and by the bars that a
    // content of this size needs, and shows just those bars.
    void fit_client(Control* content, Point content_size);
    // Places the bars beside the client area that fit_client left.
    void place_bars();

    Point get_client_position() const { return client_position_; }
    Point get_client_size() const { return client_size_; }
    ControlScrollBar& get_vertical_bar() { return vertical_bar_; }
    ControlScrollBar& get_horizontal_bar() { return horizontal_bar_; }

protected:
    Point client_position_;
    Point client_size_;
    int32_t scroll_width_ = 0;
    int32_t scroll_height_ = 0;
    Point border_min_;
    Point border_max_;
    Point scroll_border_min_;
    Point scroll_border_max_;
    ControlScrollBar vertical_bar_;
    ControlScrollBar horizontal_bar_;
};

}  // namespace skinner
