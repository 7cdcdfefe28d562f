#pragma once
// ControlGrid: the scrollable table. Rows of equal height, columns of fixed widths or shares
// of the free width, a vertical bar that moves by whole rows and a horizontal one that moves
// by pixels. The deriving class draws every cell and, with GridModel (a virtual base shared
// with the selection parts it mixes in), answers for counts, selection, highlight and keys.
// ControlGrid::Painter is the child control over the client area that draws the visible cells
// and turns the pen into cell events. Inside the grid, Painter names that control; the
// drawing context is skinner::Painter.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ActiveScheduler.h"
#include "ui/lists/ControlScrollContainer.h"
#include "ui/forms/Events.h"
#include "ui/lists/GridModel.h"
#include "ui/controls/ItemStyle.h"

namespace skinner {

class ControlGrid : public ControlScrollContainer, public TimerListener, public virtual GridModel {
public:
    // How long Enter must be held for the context event.
    static constexpr double hold_seconds = 0.5;
    // Rows moved by one notch of the wheel.
    static constexpr int32_t wheel_rows = 3;

    class Painter : public Control {
    public:
        enum Band : int32_t { BAND_HEADER = 0, BAND_ITEMS = 1, BAND_NONE = 2 };

        explicit Painter(ControlGrid* grid);

        void paint(skinner::Painter& painter, Point clip_origin, Point clip_size) override;
        void on_mouse_move(Point point) override;
        void on_mouse_leave() override;
        void on_mouse_down(Point point, bool double_click) override;
        void on_mouse_up(Point point, bool double_click) override;
        void on_mouse_down_2(Point point, bool double_click) override;
        void on_mouse_up_2(Point point, bool double_click) override;
        void on_wheel(Point point, int delta) override;

    private:
        // The highlight follows the pointer over the item band.
        void highlight_at(Point point);

        ControlGrid* grid_;
        int32_t press_band_ = BAND_NONE;
        bool hold_pressed_ = false;
    };

    // A column and a row under a point, with the point's offset within the cell.
    struct CellHit {
        int32_t column = -1;
        int32_t row = 0;
        int32_t band = Painter::BAND_NONE;
        Point offset;
    };

    ControlGrid(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlGrid() override;

    // Added operations, in their slot order.
    virtual void draw_cell(int32_t column, int32_t row, skinner::Painter& painter, Point position, Point size, bool selected,
                           bool highlighted) = 0;
    virtual void draw_header_cell(int32_t column, skinner::Painter& painter, Point position, Point size);
    virtual void notify_item_click(const GridCellEvent& event);
    virtual int reserved_grid_4() { return 0; }
    virtual void notify_item_context(const GridCellEvent& event);
    virtual int reserved_grid_6() { return 0; }
    virtual void notify_header_click(const GridHeaderEvent& event);
    virtual void notify_header_context(const GridHeaderEvent& event);
    // The grid itself never calls it.
    virtual void notify_cell_event(const GridCellEvent& event);
    virtual int reserved_grid_10() { return 0; }
    virtual void on_leading_click(const GridCellEvent& event);
    virtual int32_t leading_width(int32_t row);
    virtual int32_t row_height(int32_t row);
    virtual int32_t header_height();
    // 0 or more: fixed pixels; negative: a share of the free width.
    virtual int32_t column_width(int32_t column);
    virtual const ItemStyle& get_item_style(bool selected, bool highlighted);

    // Control operations.
    void on_scroll(Control* sender) override;
    void on_focus_lost(Control* next) override;
    void set_gestures(bool gestures) override;
    void paint(skinner::Painter& painter, Point clip_origin, Point clip_size) override;
    bool hit_test(Point point) override;
    bool on_keydown(Key key) override;
    bool on_keyup(Key key) override;
    void set_rect(Point position, Point size) override;
    void reload_properties() override;
    using ControlScrollContainer::on_timer;

    // The hold timer fired: the context event for the focus cell.
    void on_timer(Timer& timer) override;

    // The grid's side of the model.
    void selection_changed() override;
    void highlight_changed() override;
    void ensure_column_visible(int32_t column) override;
    void ensure_row_visible(int32_t row) override;

    // Lays the grid out again and repaints; owed after every change of the row or column count.
    void refresh();
    void load_properties();

    // Painter-relative hit tests and cell rectangles.
    CellHit hit_cell(Point point);
    void cell_rect(int32_t column, int32_t row, Point& position, Point& size);

    Painter& get_painter() { return painter_; }
    const std::vector<int32_t>& get_column_offsets() const { return column_offsets_; }
    int32_t get_item_height() const { return item_height_; }
    // "HeaderNormal", for deriving classes that draw a header.
    const ItemStyle& get_header_style() const { return header_normal_; }
    Point get_cell_border_min() const { return cell_border_min_; }
    Point get_cell_border_max() const { return cell_border_max_; }

private:
    // The face picture for painting and hit testing.
    const Picture& face() const;
    void raise_context_event();
    // Positions of the two bars: the first visible row, the content x at the painter's left.
    int32_t first_row() { return vertical_bar_.get_position(); }
    int32_t first_x() { return horizontal_bar_.get_position(); }
    void layout_columns(int32_t painter_width);

    Picture normal_;
    Picture highlighted_;
    Picture disabled_;
    int32_t item_height_ = 40;
    std::vector<int32_t> column_offsets_;
    Timer hold_timer_;
    ItemStyle item_normal_;
    ItemStyle item_selection_;
    ItemStyle item_highlight_;
    ItemStyle item_selection_highlight_;
    ItemStyle header_normal_;
    Painter painter_;
    Point cell_border_min_;
    Point cell_border_max_;
    // Enter is down: its auto-repeat neither re-arms nor re-fires the hold.
    bool enter_down_ = false;
};

}  // namespace skinner
