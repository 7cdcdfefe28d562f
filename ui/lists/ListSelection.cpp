#include "ui/lists/ListSelection.h"

namespace skinner {

void ListHighlight::set_highlight(int32_t column, int32_t row) {
    const bool changed = column != highlight_column_ || row != highlight_row_;
    highlight_column_ = column;
    highlight_row_ = row;
    if (changed) highlight_changed();
}

void ListSelection::set_selected(int32_t index) {
    if (index == selected_index_) return;
    selected_index_ = index;
    selection_changed();
    if (index >= 0 && index < row_count()) ensure_row_visible(index);
}

bool ListSelection::is_selected(int32_t, int32_t row) { return row == selected_index_; }

void ListSelection::select_existing_row(int32_t row) {
    if (row >= 0 && row < row_count()) set_selected(row);
}

void ListSelection::on_cell_down(int32_t, int32_t row, Point, Point, Control*) { select_existing_row(row); }

void ListSelection::on_cell_drag(int32_t, int32_t row, Point, Point, Control*) { select_existing_row(row); }

void ListSelection::on_cell_up(int32_t, int32_t, Point, Point, Control*) {}

void ListSelection::on_cell_hold(int32_t, int32_t row, Control*) { select_existing_row(row); }

void ListSelection::on_cell_hold_up(int32_t, int32_t, Control*) {}

void ListSelection::on_rows_inserted(int32_t position, int32_t count) {
    if (selected_index_ > position) set_selected(selected_index_ + count);
}

void ListSelection::on_rows_removed(int32_t position, int32_t count) {
    if (selected_index_ <= position) return;
    if (selected_index_ <= position + count)
        set_selected(-1);
    else
        set_selected(selected_index_ - count);
}

bool ListSelection::is_highlighted(int32_t, int32_t row) { return row == highlight_row_; }

GridCell ListSelection::focus_cell() { return {-1, selected_index_}; }

bool ListSelection::on_key(Key key, ControlGrid*) {
    const int32_t rows = row_count();
    if (rows == 0) return false;
    switch (key) {
    case Key::Up:
    case Key::PageUp:
        if (selected_index_ == 0) return false;
        set_selected(selected_index_ == -1 ? 0 : selected_index_ - 1);
        break;
    case Key::Down:
    case Key::PageDown:
        if (selected_index_ >= rows - 1) return false;
        set_selected(selected_index_ + 1);
        break;
    case Key::Home:
        set_selected(0);
        break;
    case Key::End:
        set_selected(rows - 1);
        break;
    default:
        return false;
    }
    set_highlight(0, -1);
    ensure_row_visible(selected_index_);
    return true;
}

}  // namespace skinner
