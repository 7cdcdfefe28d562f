// grid-page [SKIN]
//   Fills a grid of the main skin's file list with 5,000 rows of two columns, lays it out over
//   a 480 x 640 page, draws the first page, redraws it, and moves the selection to the end
//   with keys; then does the same with 50,000 rows, to show that a page costs the same.
//   Prints each figure in milliseconds.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/OffscreenPage.h"
#include "platform/kernel/DevicePath.h"
#include "ui/application/Application.h"
#include "ui/lists/ControlGrid.h"
#include "ui/forms/Form.h"
#include "ui/lists/ListSelection.h"
#include "ui/graphics/Painter.h"
#include "ui/skin/Properties.h"

using namespace skinner;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A file list's look: each row a name and a size, drawn with the skin's item styles.
class BenchList : public ControlGrid, public ListSelection {
public:
    BenchList(FormBase* form, int32_t rows) : ControlGrid(form, u"lstFiles", KIND_SKIN) {
        names.reserve(size_t(rows));
        sizes.reserve(size_t(rows));
        for (int32_t i = 0; i < rows; ++i) {
            names.push_back(u"Recording " + to_u16(std::to_string(i + 1)) + u".wav");
            sizes.push_back(to_u16(std::to_string((i * 7919) % 100000)) + u" KB");
        }
    }

    int32_t row_count() override { return int32_t(names.size()); }
    int32_t column_count() override { return 2; }
    int32_t column_width(int32_t column) override { return column == 0 ? -1 : 120; }

    void draw_cell(int32_t column, int32_t row, skinner::Painter& painter, Point position, Point size, bool selected,
                   bool highlighted) override {
        const ItemStyle& style = get_item_style(selected, highlighted);
        style.picture.draw(painter, position, size);
        const std::u16string& text = column == 0 ? names[size_t(row)] : sizes[size_t(row)];
        style.font.draw_text(painter, style.color, text, position + Point(4, 0), size - Point(8, 0), column == 0 ? 0 : 2, 1);
    }

    std::vector<std::u16string> names;
    std::vector<std::u16string> sizes;

private:
    static std::u16string to_u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
};

struct Figures {
    double fill = 0, first_page = 0, redraw = 0, keys = 0;
    int32_t key_presses = 0;
    int32_t drawn_rows = 0;
};

Figures run(Form& form, int32_t rows) {
    Figures f;
    bench::OffscreenPage page;
    Clock::time_point start = Clock::now();
    BenchList list(&form, rows);
    list.set_rect({0, 0}, {480, 640});
    f.fill = ms_since(start);
    f.first_page = page.draw(list);

    constexpr int redraws = 50;
    for (int i = 0; i < redraws; ++i) f.redraw += page.draw(list);
    f.redraw /= redraws;

    start = Clock::now();
    while (list.on_keydown(Key::Down)) ++f.key_presses;
    f.keys = ms_since(start);
    f.drawn_rows = list.get_vertical_bar().get_page();
    if (list.get_selected() != rows - 1) std::fprintf(stderr, "grid-page: the selection stopped at %d\n", list.get_selected());
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string host_skin = argc > 1 ? argv[1] : GRID_PAGE_SKIN;
    std::error_code ignored;
    std::u16string skin;
    if (!platform::device_path_of(std::filesystem::absolute(host_skin, ignored).lexically_normal().string(), skin)) {
        std::fprintf(stderr, "grid-page: %s lies outside the device's file system\n", host_skin.c_str());
        return 1;
    }
    Application application(nullptr, u"GridPage");
    Properties properties(skin, {480, 640}, {480, 536});
    if (!properties.is_loaded()) {
        std::fprintf(stderr, "grid-page: cannot load the skin %s\n", host_skin.c_str());
        return 1;
    }
    Form form(nullptr, &properties, u"panelFile");
    for (int32_t rows : {5000, 50000}) {
        const Figures f = run(form, rows);
        std::printf("rows=%d fill_ms=%.2f first_page_ms=%.2f fill_and_first_page_ms=%.2f redraw_ms=%.2f "
                    "rows_per_page=%d keys=%d keys_ms=%.2f per_key_us=%.2f\n",
                    rows, f.fill, f.first_page, f.fill + f.first_page, f.redraw, f.drawn_rows, f.key_presses, f.keys,
                    f.key_presses ? 1000.0 * f.keys / f.key_presses : 0.0);
    }
    return 0;
}
