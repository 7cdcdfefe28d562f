#include "ui/lists/ControlGrid.h"

#include <algorithm>
#include <limits>

#include "base/Log.h"
#include "ui/graphics/Painter.h"

namespace skinner {

namespace {

int32_t saturate(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

ControlGrid::Painter::Painter(ControlGrid* grid) : Control(&grid->form_, u"", KIND_CODE), grid_(grid) {}

void ControlGrid::Painter::paint(skinner::Painter& painter, Point, Point) {
    const Point origin = get_position();
    const Point size = get_size();
    painter.push_clip(origin, size);
    const int32_t columns = std::max(grid_->column_count(), 0);
    const std::vector<int32_t>& offsets = grid_->column_offsets_;
    if (offsets.size() != size_t(columns) + 1)
        gluck(u"Number of items in grid " + grid_->get_name() + u" had changed, but no refresh was called",
              u"ControlGrid::Painter::paint");
    const int32_t hpos = grid_->first_x();
    const int32_t hh = grid_->header_height();
    for (int32_t c = 0; c < columns; ++c)
        grid_->draw_header_cell(c, painter, {origin.x + offsets[size_t(c)] - hpos, origin.y},
                                {offsets[size_t(c) + 1] - offsets[size_t(c)], hh});
    const int32_t rows = grid_->row_count();
    const int32_t rh = grid_->row_height(0);
    if (rh > 0) {
        int32_t row = grid_->first_row();
        for (int64_t y = hh; row < rows && y < size.y; y += rh, ++row) {
            for (int32_t c = 0; c < columns; ++c)
                grid_->draw_cell(c, row, painter, {origin.x + offsets[size_t(c)] - hpos, origin.y + int32_t(y)},
                                 {offsets[size_t(c) + 1] - offsets[size_t(c)], rh}, grid_->is_selected(c, row),
                                 grid_->is_highlighted(c, row));
        }
    }
    painter.pop_clip();
}

void ControlGrid::Painter::highlight_at(Point point) {
    const CellHit hit = grid_->hit_cell(point);
    if (hit.band == BAND_ITEMS)
        grid_->set_highlight(hit.column, hit.row);
    else
        grid_->set_highlight(-1, -1);
}

void ControlGrid::Painter::on_mouse_move(Point point) {
    highlight_at(point);
    if (press_band_ == BAND_ITEMS) {
        const CellHit hit = grid_->hit_cell(point);
        grid_->on_cell_drag(hit.column, hit.row, hit.offset, point, this);
    }
}

void ControlGrid::Painter::on_mouse_leave() { grid_->set_highlight(-1, -1); }

void ControlGrid::Painter::on_mouse_down(Point point, bool) {
    const CellHit hit = grid_->hit_cell(point);
    if (hit.column == 0 && hit.offset.x < grid_->leading_width(hit.row)) {
        grid_->on_leading_click({hit.column, hit.row, hit.offset, point, 0});
        return;
    }
    press_band_ = hit.band;
    if (press_band_ == BAND_ITEMS) grid_->on_cell_down(hit.column, hit.row, hit.offset, point, this);
}

void ControlGrid::Painter::on_mouse_up(Point point, bool) {
    const CellHit hit = grid_->hit_cell(point);
    const int32_t pressed = press_band_;
    press_band_ = BAND_NONE;
    if (pressed == BAND_HEADER) {
        if (hit.band == BAND_HEADER) grid_->notify_header_click({hit.column, hit.offset, point});
    } else if (pressed == BAND_ITEMS) {
        grid_->on_cell_up(hit.column, hit.row, hit.offset, point, this);
        if (hit.band == BAND_ITEMS) grid_->notify_item_click({hit.column, hit.row, hit.offset, point, 0});
    }
}

void ControlGrid::Painter::on_mouse_down_2(Point point, bool) {
    const CellHit hit = grid_->hit_cell(point);
    if (hit.band != BAND_ITEMS) return;
    if (hit.column == 0 && grid_->leading_width(hit.row) >= 1) return;
    hold_pressed_ = true;
    grid_->on_cell_hold(hit.column, hit.row, this);
}

void ControlGrid::Painter::on_mouse_up_2(Point point, bool) {
    if (!hold_pressed_) return;
    hold_pressed_ = false;
    const CellHit hit = grid_->hit_cell(point);
    grid_->on_cell_hold_up(hit.column, hit.row, this);
    if (hit.band == BAND_HEADER)
        grid_->notify_header_context({hit.column, {0, 0}, point});
    else if (hit.band == BAND_ITEMS)
        grid_->notify_item_context({hit.column, hit.row, {0, 0}, point, 0});
}

void ControlGrid::Painter::on_wheel(Point point, int delta) {
    grid_->vertical_bar_.set_position(saturate(int64_t(grid_->first_row()) - int64_t(wheel_rows) * delta), false);
    highlight_at(point);
}

ControlGrid::ControlGrid(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlScrollContainer(form, name, kind), hold_timer_(*this), painter_(this) {
    load_properties();
}

ControlGrid::~ControlGrid() = default;

void ControlGrid::load_properties() {
    item_height_ = get_scaled_int_property(u"ItemHeight", 40);
    cell_border_min_ = get_point_property(u"BorderMin", {0, 0});
    cell_border_max_ = get_point_property(u"BorderMax", cell_border_min_);
    item_normal_ = ItemStyle::read(*this, u"ItemNormal", nullptr);
    item_selection_ = ItemStyle::read(*this, u"ItemSelection", &item_normal_);
    item_highlight_ = ItemStyle::read(*this, u"ItemHighlight", &item_normal_);
    item_selection_highlight_ = ItemStyle::read(*this, u"ItemSelectionHighlight", &item_selection_);
    header_normal_ = ItemStyle::read(*this, u"HeaderNormal", &item_normal_);
    normal_ = get_picture_property(u"Normal", Picture());
    highlighted_ = get_picture_property(u"Highlighted", normal_);
    disabled_ = get_picture_property(u"Disabled", normal_);
}

void ControlGrid::reload_properties() {
    ControlScrollContainer::reload_properties();
    load_properties();
}

void ControlGrid::draw_header_cell(int32_t, skinner::Painter&, Point, Point) {}

void ControlGrid::notify_item_click(const GridCellEvent& event) { on_item_click(this, event); }
void ControlGrid::notify_item_context(const GridCellEvent& event) { on_cell_context(this, event); }
void ControlGrid::notify_header_click(const GridHeaderEvent& event) { on_header_click(this, event); }
void ControlGrid::notify_header_context(const GridHeaderEvent& event) { on_header_context(this, event); }
void ControlGrid::notify_cell_event(const GridCellEvent& event) { on_cell_event(this, event); }
void ControlGrid::on_leading_click(const GridCellEvent&) {}
int32_t ControlGrid::leading_width(int32_t) { return 0; }
int32_t ControlGrid::row_height(int32_t) { return item_height_; }
int32_t ControlGrid::header_height() { return 0; }
int32_t ControlGrid::column_width(int32_t) { return -1; }

const ItemStyle& ControlGrid::get_item_style(bool selected, bool highlighted) {
    if (selected && highlighted) return item_selection_highlight_;
    if (selected) return item_selection_;
    if (highlighted) return item_highlight_;
    return item_normal_;
}

void ControlGrid::on_scroll(Control* sender) {
    if (sender == &vertical_bar_ || sender == &horizontal_bar_) invalidate();
    Control::on_scroll(sender);
}

void ControlGrid::on_focus_lost(Control*) {
    // The key-up of a held Enter goes to the next focused control: the hold ends here.
    enter_down_ = false;
    hold_timer_.cancel();
    invalidate();
}

void ControlGrid::set_gestures(bool gestures) {
    Control::set_gestures(gestures);
    painter_.set_gestures(gestures);
}

const Picture& ControlGrid::face() const {
    if (!is_enabled()) return disabled_;
    if (is_hovered()) return highlighted_;
    return normal_;
}

void ControlGrid::paint(skinner::Painter& painter, Point clip_origin, Point clip_size) {
    face().draw(painter, get_position(), get_size());
    ControlScrollContainer::paint(painter, clip_origin, clip_size);
}

bool ControlGrid::hit_test(Point point) {
    return ControlScrollContainer::hit_test(point) || !face().is_transparent_at(point, get_position(), get_size());
}

bool ControlGrid::on_keydown(Key key) {
    if (key == activation_key()) {
        if (!enter_down_) {
            enter_down_ = true;
            if (!hold_timer_.is_active()) hold_timer_.start(hold_seconds);
        }
        return false;
    }
    if (key == Key::ContextMenu) {
        raise_context_event();
        return true;
    }
    if (!on_key(key, this)) return false;
    relayout();
    invalidate();
    return true;
}

bool ControlGrid::on_keyup(Key key) {
    if (key == activation_key()) {
        enter_down_ = false;
        hold_timer_.cancel();
    }
    return false;
}

void ControlGrid::on_timer(Timer&) { raise_context_event(); }

void ControlGrid::raise_context_event() {
    const GridCell cell = focus_cell();
    Point position, size;
    cell_rect(cell.column, cell.row, position, size);
    const Point area = painter_.get_size();
    if (cell.column == -1) position.x = area.x / 5;
    if (cell.row == -1) position.y = area.y / 5;
    const Point half = size / 2.0;
    notify_item_context({cell.column, cell.row, half, painter_.get_position() + position + half, 0});
}

void ControlGrid::selection_changed() {
    on_check_changed(this);
    invalidate();
}

void ControlGrid::highlight_changed() {
    on_highlight_changed(this);
    invalidate();
}

void ControlGrid::ensure_row_visible(int32_t row) {
    // A page too low for one row still brings the row to the top.
    const int32_t page = std::max(vertical_bar_.get_page(), 1);
    const int32_t first = first_row();
    if (row < first)
        vertical_bar_.set_position(row, false);
    else if (int64_t(row) >= int64_t(first) + page)
        vertical_bar_.set_position(saturate(int64_t(row) - page + 1), false);
}

void ControlGrid::ensure_column_visible(int32_t column) {
    if (column < 0 || size_t(column) + 1 >= column_offsets_.size()) return;
    const int32_t width = painter_.get_size().x;
    const int32_t left = column_offsets_[size_t(column)];
    const int32_t right = column_offsets_[size_t(column) + 1];
    if (right - first_x() > width) horizontal_bar_.set_position(right - width, false);
    if (left - first_x() < 0) horizontal_bar_.set_position(left, false);
}

void ControlGrid::refresh() {
    set_rect(get_position(), get_size());
    invalidate();
}

void ControlGrid::set_rect(Point position, Point size) {
    set_rect_without_layout(position, size);
    const int32_t rows = std::max(row_count(), 0);
    const int32_t rh = row_height(0);
    const int32_t hh = header_height();
    const int32_t columns = std::max(column_count(), 0);
    int64_t fixed = 0;
    for (int32_t c = 0; c < columns; ++c) fixed += std::max(column_width(c), 0);
    // A row height of 0 or less means there are no rows.
    const int64_t content_height = (rh > 0 ? int64_t(rh) * rows : 0) + hh;
    fit_client(&painter_, {saturate(fixed), saturate(content_height)});
    const Point area = painter_.get_size();
    layout_columns(area.x);
    if (rh > 0) {
        vertical_bar_.set_range(0, rows);
        vertical_bar_.set_page((area.y - hh) / rh);
    } else {
        vertical_bar_.set_range(0, 0);
    }
    horizontal_bar_.set_range(0, column_offsets_.back());
    horizontal_bar_.set_page(area.x);
    place_bars();
}

void ControlGrid::layout_columns(int32_t painter_width) {
    const int32_t columns = std::max(column_count(), 0);
    std::vector<int32_t> widths(size_t(columns), 0);
    int64_t fixed = 0;
    int64_t shares = 0;
    int32_t last_shared = -1;
    for (int32_t c = 0; c < columns; ++c) {
        widths[size_t(c)] = column_width(c);
        if (widths[size_t(c)] >= 0) {
            fixed += widths[size_t(c)];
        } else {
            shares += widths[size_t(c)];
            last_shared = c;
        }
    }
    const int64_t free = std::max<int64_t>(painter_width - fixed, 0);
    int64_t left = free;
    column_offsets_.assign(size_t(columns) + 1, 0);
    int64_t x = 0;
    for (int32_t c = 0; c < columns; ++c) {
        int64_t width = widths[size_t(c)];
        if (width < 0) {
            width = c == last_shared ? left : (width * free) / shares;
            left -= width;
        }
        x += width;
        column_offsets_[size_t(c) + 1] = saturate(x);
    }
}

ControlGrid::CellHit ControlGrid::hit_cell(Point point) {
    CellHit hit;
    const Point origin = painter_.get_position();
    const Point area = painter_.get_size();
    const int32_t x = point.x - origin.x;
    const int32_t y = point.y - origin.y;
    const int32_t hh = header_height();
    if (y < 0 || y >= area.y)
        hit.band = Painter::BAND_NONE;
    else
        hit.band = y < hh ? Painter::BAND_HEADER : Painter::BAND_ITEMS;

    if (x >= 0 && column_offsets_.size() > 1) {
        const int64_t content_x = int64_t(x) + first_x();
        auto after = std::upper_bound(column_offsets_.begin(), column_offsets_.end(), content_x);
        if (after != column_offsets_.begin() && after != column_offsets_.end()) {
            hit.column = int32_t(after - column_offsets_.begin()) - 1;
            hit.offset.x = int32_t(content_x - *(after - 1));
        }
    }

    const int32_t rows = std::max(row_count(), 0);
    const int32_t rh = row_height(0);
    hit.row = rows;
    if (rh <= 0) return hit;
    const int32_t first = first_row();
    int64_t row = y < hh ? first : first + (int64_t(y) - hh) / rh;
    const int64_t last = first + std::max<int64_t>(0, (int64_t(area.y) - hh - 1) / rh);
    row = std::min(row, last);
    if (row < rows) {
        hit.row = int32_t(row);
        hit.offset.y = int32_t(y - (row - first) * rh - hh);
    }
    return hit;
}

void ControlGrid::cell_rect(int32_t column, int32_t row, Point& position, Point& size) {
    const Point area = painter_.get_size();
    const int32_t hh = header_height();
    const int32_t rh = row_height(0);
    // Upper bound first, then the lower: a painter lower than two headers never inverts the range.
    int64_t y = (int64_t(row) - first_row()) * rh + hh;
    y = std::max<int64_t>(std::min<int64_t>(y, area.y - hh), hh);
    const int32_t columns = int32_t(column_offsets_.size()) - 1;
    const bool valid = column >= 0 && column < columns;
    int64_t x;
    if (column < 0)
        x = 0;
    else if (!valid)
        x = area.x;
    else
        x = int64_t(column_offsets_[size_t(column)]) - first_x();
    x = std::max<int64_t>(std::min<int64_t>(x, area.x), 0);
    const int64_t width = valid ? column_offsets_[size_t(column) + 1] - column_offsets_[size_t(column)] : 0;
    position = {int32_t(x), saturate(y)};
    size = {saturate(std::min<int64_t>(width, area.x - x)), rh};
}

}  // namespace skinner
