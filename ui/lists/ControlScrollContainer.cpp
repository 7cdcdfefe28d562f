#include "ui/lists/ControlScrollContainer.h"

#include <algorithm>

namespace skinner {

ControlScrollContainer::ControlScrollContainer(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlContainer(form, name, kind),
      vertical_bar_(&form_, get_string_property(u"KindScroll", u""), KIND_TEMPLATE),
      horizontal_bar_(&form_, get_string_property(u"KindHScroll", u""), KIND_TEMPLATE) {
    vertical_bar_.set_want_focus(false);
    horizontal_bar_.set_want_focus(false);
    load_properties();
}

ControlScrollContainer::~ControlScrollContainer() = default;

void ControlScrollContainer::load_properties() {
    scroll_width_ = get_scaled_int_property(u"ScrollWidth", 0);
    scroll_height_ = get_scaled_int_property(u"ScrollHeight", scroll_width_);
    border_min_ = get_point_property(u"BorderMin", {0, 0});
    border_max_ = get_point_property(u"BorderMax", border_min_);
    scroll_border_min_ = get_point_property(u"ScrollBorderMin", {0, 0});
    scroll_border_max_ = get_point_property(u"ScrollBorderMax", scroll_border_min_);
}

void ControlScrollContainer::reload_properties() {
    ControlContainer::reload_properties();
    load_properties();
}

void ControlScrollContainer::fit_client(Control* content, Point content_size) {
    const int32_t bar_width = scroll_border_max_.x + scroll_border_min_.x + scroll_width_;
    const int32_t bar_height = scroll_border_max_.y + scroll_border_min_.y + scroll_height_;
    client_position_ = get_position() + border_min_;
    client_size_ = get_size() - border_min_ - border_max_;
    bool vertical = false;
    bool horizontal = false;
    if (content_size.y > client_size_.y) {
        client_size_.x -= bar_width;
        vertical = true;
    }
    if (content_size.x > client_size_.x) {
        client_size_.y -= bar_height;
        horizontal = true;
    }
    if (!vertical && content_size.y > client_size_.y) {
        client_size_.x -= bar_width;
        vertical = true;
    }
    // A container smaller than its borders and bars leaves an empty client, never a negative one.
    client_size_ = max_point(client_size_, {0, 0});
    content->set_rect(client_position_, client_size_);
    vertical_bar_.set_visible(vertical);
    horizontal_bar_.set_visible(horizontal);
}

void ControlScrollContainer::place_bars() {
    vertical_bar_.set_rect({client_position_.x + client_size_.x + scroll_border_min_.x, client_position_.y + scroll_border_min_.y},
                           {scroll_width_, std::max(client_size_.y - scroll_border_max_.y - scroll_border_min_.y, 0)});
    horizontal_bar_.set_rect({client_position_.x + scroll_border_min_.x, client_position_.y + client_size_.y + scroll_border_min_.y},
                             {std::max(client_size_.x - scroll_border_min_.x - scroll_border_max_.x, 0), scroll_height_});
}

}  // namespace skinner
