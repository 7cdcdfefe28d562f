#pragma once
// The selection parts of a grid-based list: ListHighlight keeps the cell under the pointer,
// ListSelection the selected row, moved by the pen, by keys and by changes of the row set.
// They reach the list only through GridModel, so the list may replace any operation.
#include <cstdint>

#include "ui/lists/GridModel.h"

namespace skinner {

class ListHighlight : public virtual GridModel {
public:
    ListHighlight() = default;

    void set_highlight(int32_t column, int32_t row) override;
    int32_t highlight_column() override { return highlight_column_; }
    int32_t highlight_row() override { return highlight_row_; }

protected:
    int32_t highlight_row_ = -1;
    int32_t highlight_column_ = -1;
};

class ListSelection : public ListHighlight {
public:
    ListSelection() = default;

    // A changed index raises selection_changed, then brings the row into view when it exists.
    void set_selected(int32_t index);
    int32_t get_selected() const { return selected_index_; }

    // A whole row is selected or highlighted, whatever the column.
    bool is_selected(int32_t column, int32_t row) override;
    void on_cell_down(int32_t column, int32_t row, Point offset, Point point, Control* painter) override;
    void on_cell_drag(int32_t column, int32_t row, Point offset, Point point, Control* painter) override;
    void on_cell_up(int32_t column, int32_t row, Point offset, Point point, Control* painter) override;
    void on_cell_hold(int32_t column, int32_t row, Control* painter) override;
    void on_cell_hold_up(int32_t column, int32_t row, Control* painter) override;
    void on_rows_inserted(int32_t position, int32_t count) override;
    void on_rows_removed(int32_t position, int32_t count) override;
    bool is_highlighted(int32_t column, int32_t row) override;
    GridCell focus_cell() override;
    // Up, Down, PageUp, PageDown (one row each), Home and End.
    bool on_key(Key key, ControlGrid* grid) override;

private:
    // Selects a row the pen touched; a press below the last row changes nothing.
    void select_existing_row(int32_t row);

    int32_t selected_index_ = -1;
};

}  // namespace skinner
