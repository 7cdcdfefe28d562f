#include "tests/helpers/form_demo/DemoList.h"

#include <string>

#include "ui/skin/Properties.h"

namespace form_demo {

namespace {

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string cell_text(int32_t column, int32_t row) {
    if (column == 0) return std::to_string(row + 1);
    if (column == 1) return "Take " + std::to_string(row + 1) + (row % 3 == 0 ? " (chorus)" : "");
    const int seconds = 20 + (row * 37) % 200;
    return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60);
}

const char* const header_texts[] = {"#", "Name", "Length"};

}  // namespace

DemoGrid::DemoGrid(skinner::FormBase* form, const std::u16string& name, int32_t scale)
    : ControlGrid(form, name, KIND_SKIN), scale_(scale) {
    refresh();
}

int32_t DemoGrid::column_width(int32_t column) {
    if (column == 1) return -1;
    return (column == 0 ? 40 : 56) * scale_;
}

void DemoGrid::draw_cell(int32_t column, int32_t row, skinner::Painter& painter, skinner::Point position,
                         skinner::Point size, bool selected, bool highlighted) {
    const skinner::ItemStyle& style = get_item_style(selected, highlighted);
    style.picture.draw(painter, position, size);
    const skinner::Point inset(3 * scale_, 0);
    style.font.draw_text_ellipsis(painter, style.color, u16(cell_text(column, row)), position + inset,
                                  size - inset - inset, column == 1 ? 0 : 2, 1);
}

void DemoGrid::draw_header_cell(int32_t column, skinner::Painter& painter, skinner::Point position, skinner::Point size) {
    const skinner::ItemStyle& style = get_header_style();
    style.picture.draw(painter, position, size);
    const skinner::Point inset(3 * scale_, 0);
    style.font.draw_text(painter, style.color, u16(header_texts[column]), position + inset, size - inset - inset,
                         column == 1 ? 0 : 2, 1);
}

DemoList::DemoList(skinner::Form* parent, skinner::Properties* properties)
    : Form(parent, properties, u"DemoList"),
      title_(this, u"frmListTitle", skinner::Control::KIND_SKIN),
      banner_(this, u"panelBanner", skinner::Control::KIND_SKIN),
      grid_(this, u"lstDemo", properties->impl().image().scale()),
      status_(this, u"frmListStatus", skinner::Control::KIND_SKIN),
      close_(this, u"btnListClose", skinner::Control::KIND_SKIN) {
    add_cancel_button(&close_);
}

DemoList::~DemoList() { remove_cancel_button(&close_); }

void DemoList::on_control_event(skinner::Control* sender, const skinner::ButtonEvent&) {
    if (sender == &close_) close();
}

void DemoList::on_check_changed(skinner::Control* sender) {
    if (sender != &grid_) return;
    const int32_t row = grid_.get_selected();
    if (row < 0)
        show_status("No row selected.");
    else
        show_status("Row " + std::to_string(row + 1) + " of " + std::to_string(DemoGrid::rows) + ".");
}

void DemoList::on_item_click(skinner::Control* sender, const skinner::GridCellEvent& event) {
    if (sender != &grid_ || event.row < 0 || event.row >= DemoGrid::rows) return;
    show_status("Tapped row " + std::to_string(event.row + 1) + ".");
}

void DemoList::show_status(const std::string& text) { status_.set_text(u16(text)); }

}  // namespace form_demo
