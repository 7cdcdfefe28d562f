#pragma once
// GridModel: what a grid asks of its data (counts, selection, highlight, keys) and what the
// data asks of its grid (repaint after a change, scroll a cell into view). A grid-based list
// holds it as a virtual base shared by the grid and the selection parts it mixes in.
#include <cstdint>

#include "base/Key.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Control;
class ControlGrid;

// A cell of a grid; -1 on an axis where there is none.
struct GridCell {
    int32_t column = -1;
    int32_t row = -1;

    friend constexpr bool operator==(const GridCell&, const GridCell&) = default;
};

class GridModel {
public:
    virtual ~GridModel() = default;

    virtual int32_t row_count() = 0;
    virtual int32_t column_count() = 0;
    virtual bool is_selected(int32_t column, int32_t row) = 0;
    // Pen events of the item band. The offset is the point within the cell, the point is in
    // form coordinates, and the painter is the grid's cell area that saw the pen.
    virtual void on_cell_down(int32_t column, int32_t row, Point offset, Point point, Control* painter) = 0;
    virtual void on_cell_drag(int32_t column, int32_t row, Point offset, Point point, Control* painter) = 0;
    virtual void on_cell_up(int32_t column, int32_t row, Point offset, Point point, Control* painter) = 0;
    virtual void on_cell_hold(int32_t column, int32_t row, Control* painter) = 0;
    virtual void on_cell_hold_up(int32_t column, int32_t row, Control* painter) = 0;
    // The owner of the rows reports count rows inserted or removed after the row at position.
    virtual void on_rows_inserted(int32_t position, int32_t count) = 0;
    virtual void on_rows_removed(int32_t position, int32_t count) = 0;
    // (-1, -1) clears.
    virtual void set_highlight(int32_t column, int32_t row) = 0;
    virtual bool is_highlighted(int32_t column, int32_t row) = 0;
    virtual int32_t highlight_column() = 0;
    virtual int32_t highlight_row() = 0;
    virtual GridCell focus_cell() = 0;
    // True when the key was used.
    virtual bool on_key(Key key, ControlGrid* grid) = 0;

    // The grid's side.
    virtual void selection_changed() = 0;
    virtual void highlight_changed() = 0;
    virtual void ensure_column_visible(int32_t column) = 0;
    virtual void ensure_row_visible(int32_t row) = 0;
};

}  // namespace skinner
