#pragma once
// The demo's list screen: a panel that embeds the banner form (a picture and a label), a grid
// of 1,000 rows with a header, a status line that follows the selection, and a Close button.
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlContainer.h"
#include "ui/lists/ControlGrid.h"
#include "ui/controls/ControlLabel.h"
#include "ui/forms/Form.h"
#include "ui/lists/ListSelection.h"

namespace form_demo {

// Rows of a number, a name and a length; the selection follows the pen and the keys.
class DemoGrid : public skinner::ControlGrid, public skinner::ListSelection {
public:
    static constexpr int32_t rows = 1000;

    DemoGrid(skinner::FormBase* form, const std::u16string& name, int32_t scale);

    int32_t row_count() override { return rows; }
    int32_t column_count() override { return 3; }
    int32_t column_width(int32_t column) override;
    int32_t header_height() override { return get_item_height(); }
    void draw_cell(int32_t column, int32_t row, skinner::Painter& painter, skinner::Point position, skinner::Point size,
                   bool selected, bool highlighted) override;
    void draw_header_cell(int32_t column, skinner::Painter& painter, skinner::Point position, skinner::Point size) override;

private:
    int32_t scale_;
};

class DemoList : public skinner::Form {
public:
    DemoList(skinner::Form* parent, skinner::Properties* properties);
    ~DemoList() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    void on_check_changed(skinner::Control* sender) override;
    void on_item_click(skinner::Control* sender, const skinner::GridCellEvent& event) override;

    DemoGrid& grid() { return grid_; }
    skinner::ControlContainer& banner() { return banner_; }

private:
    void show_status(const std::string& text);

    skinner::ControlLabelImpl title_;
    skinner::ControlContainer banner_;
    DemoGrid grid_;
    skinner::ControlLabelImpl status_;
    skinner::ControlButton close_;
};

}  // namespace form_demo
