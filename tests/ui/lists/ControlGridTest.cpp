// The grid lays out shared and fixed columns, scrolls by rows and pixels, draws only the
// visible rows, turns the pen into cell and header events, and moves its selection by keys.
#include <gtest/gtest.h>

#include <vector>

#include "base/Log.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/lists/support/GridSkin.h"
#include "ui/lists/ControlGrid.h"
#include "ui/lists/ListSelection.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using grid_test::Shade;

namespace {

// The skin control "grid" (100 x 130 at (0, 100), rows of 40, bars 10 thick) over a list of
// rows with the given column widths; it draws each cell's style picture and records the cells.
class TestGrid : public ControlGrid, public ListSelection {
public:
    TestGrid(FormBase* form, int32_t rows_, std::vector<int32_t> widths_, int32_t header_ = 0)
        : ControlGrid(form, u"grid", KIND_SKIN), rows(rows_), widths(std::move(widths_)), header(header_) {
        refresh();
    }

    int32_t row_count() override { return rows; }
    int32_t column_count() override { return int32_t(widths.size()); }
    int32_t column_width(int32_t column) override { return widths[size_t(column)]; }
    int32_t header_height() override { return header; }
    int32_t row_height(int32_t row) override { return height < 0 ? ControlGrid::row_height(row) : height; }
    int32_t leading_width(int32_t) override { return leading; }
    void on_leading_click(const GridCellEvent& event) override { leading_clicks.push_back(event.row); }

    struct Cell {
        int32_t column, row;
        Point position, size;
        bool selected, highlighted;
    };
    void draw_cell(int32_t column, int32_t row, skinner::Painter& painter, Point position, Point size, bool selected,
                   bool highlighted) override {
        cells.push_back({column, row, position, size, selected, highlighted});
        get_item_style(selected, highlighted).picture.draw(painter, position, size);
    }
    void draw_header_cell(int32_t column, skinner::Painter&, Point, Point size) override {
        header_cells.push_back({column, -1, {}, size, false, false});
    }

    int32_t first_visible() { return get_vertical_bar().get_position(); }

    int32_t rows;
    std::vector<int32_t> widths;
    int32_t header;
    int32_t height = -1;  // -1: the skin's "ItemHeight"
    int32_t leading = 0;
    std::vector<int32_t> leading_clicks;
    std::vector<Cell> cells;
    std::vector<Cell> header_cells;
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.ready());
        world.form().show(true);
    }

    // Paints the whole form area onto a fresh canvas.
    void paint(Control& control) {
        canvas = std::make_unique<gdi_test::Canvas32>(480, 640);
        Painter painter(canvas->dc(), {0, 0}, {480, 640});
        control.paint(painter, {0, 0}, {480, 640});
    }
    Shade shade_at(int x, int y) { return grid_test::shade_of(canvas->at(x, y) & 0xFFFFFF); }

    // A point of the item band, relative to the painter (which starts at (0, 100)).
    static Point at(int x, int y) { return {x, 100 + y}; }

    grid_test::GridWorld world;
    std::unique_ptr<gdi_test::Canvas32> canvas;
};

}  // namespace

TEST_F(GridTest, ColumnsShareTheFreeWidth) {
    struct Case {
        std::vector<int32_t> widths;
        std::vector<int32_t> offsets;
        bool horizontal_bar;
    };
    const Case cases[] = {
        {{-1, -1, -1}, {0, 33, 66, 100}, false},  // the last shared column takes the rest
        {{40, -1, -2}, {0, 40, 60, 100}, false},
        {{30, 20}, {0, 30, 50}, false},
        {{-1}, {0, 100}, false},
        // Wider than the painter: nothing is left to share, and the bar scrolls the rest.
        {{80, 50, -1}, {0, 80, 130, 130}, true},
    };
    for (const Case& c : cases) {
        TestGrid grid(&world.form(), 2, c.widths);
        EXPECT_EQ(grid.get_column_offsets(), c.offsets);
        EXPECT_EQ(grid.get_horizontal_bar().visible_flag(), c.horizontal_bar);
        EXPECT_FALSE(grid.get_vertical_bar().visible_flag());
        if (c.horizontal_bar) {
            EXPECT_EQ(grid.get_horizontal_bar().get_max(), c.offsets.back());
            EXPECT_EQ(grid.get_horizontal_bar().get_page(), 100);
            EXPECT_EQ(grid.get_painter().get_size(), Point(100, 120));
        }
    }
}

TEST_F(GridTest, TheVerticalPageCountsWholeRows) {
    TestGrid grid(&world.form(), 10, {-1});
    EXPECT_TRUE(grid.get_vertical_bar().visible_flag());
    EXPECT_EQ(grid.get_painter().get_size(), Point(90, 130));
    EXPECT_EQ(grid.get_vertical_bar().get_page(), 3);
    EXPECT_EQ(grid.get_vertical_bar().get_max(), 10);
    EXPECT_EQ(grid.get_column_offsets(), (std::vector<int32_t>{0, 90}));
}

TEST_F(GridTest, KeysMoveTheSelectionAndKeepItInView) {
    TestGrid grid(&world.form(), 10, {-1});
    struct Step {
        Key key;
        bool handled;
        int32_t selected, first_visible;
    };
    const Step steps[] = {
        {Key::Down, true, 0, 0},     {Key::Down, true, 1, 0},     {Key::PageDown, true, 2, 0},
        {Key::Down, true, 3, 1},     {Key::End, true, 9, 7},      {Key::Down, false, 9, 7},
        {Key::PageDown, false, 9, 7}, {Key::PageUp, true, 8, 7},  {Key::Up, true, 7, 7},
        {Key::Up, true, 6, 6},       {Key::Home, true, 0, 0},     {Key::Up, false, 0, 0},
        {Key::Left, false, 0, 0},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(grid.on_keydown(s.key), s.handled) << int(s.key);
        EXPECT_EQ(grid.get_selected(), s.selected) << int(s.key);
        EXPECT_EQ(grid.first_visible(), s.first_visible) << int(s.key);
    }
    int changes = 0;
    for (const auto& e : world.form().events) changes += e.name == "check_changed" && e.sender == &grid;
    EXPECT_EQ(changes, 9);
}

TEST_F(GridTest, OnlyTheVisibleRowsAreDrawn) {
    TestGrid grid(&world.form(), 1000, {-1, 30});
    grid.get_vertical_bar().set_position(500, false);
    paint(grid);
    // Rows at y 0, 40, 80 and 120 of a painter 130 high.
    ASSERT_EQ(grid.cells.size(), 8u);
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        EXPECT_EQ(grid.cells[i].row, 500 + int32_t(i / 2));
        EXPECT_EQ(grid.cells[i].column, int32_t(i % 2));
        EXPECT_EQ(grid.cells[i].position.y, 100 + 40 * int32_t(i / 2));
    }
    EXPECT_EQ(grid.cells[1].position.x, 60);
    EXPECT_EQ(grid.cells[1].size, Point(30, 40));
}

TEST_F(GridTest, EveryCellOfTheSelectedRowIsDrawnSelected) {
    TestGrid grid(&world.form(), 3, {-1, -1, -1});
    grid.set_selected(1);
    paint(grid);
    for (int x : {5, 40, 95}) {
        EXPECT_EQ(shade_at(x, 100 + 60), Shade::Navy) << x;
        EXPECT_EQ(shade_at(x, 100 + 20), Shade::White) << x;
    }
    // Under the last row the grid's own face shows.
    EXPECT_EQ(shade_at(50, 100 + 125), Shade::Brown);
}

TEST_F(GridTest, TheHorizontalBarScrollsByPixels) {
    TestGrid grid(&world.form(), 2, {80, 50});
    grid.get_horizontal_bar().set_position(25, false);
    paint(grid);
    ASSERT_GE(grid.cells.size(), 2u);
    EXPECT_EQ(grid.cells[0].position.x, -25);
    EXPECT_EQ(grid.cells[1].position.x, 55);
    const ControlGrid::CellHit hit = grid.hit_cell(at(60, 10));
    EXPECT_EQ(hit.column, 1);
    EXPECT_EQ(hit.offset, Point(5, 10));
    grid.ensure_column_visible(0);
    EXPECT_EQ(grid.get_horizontal_bar().get_position(), 0);
    grid.ensure_column_visible(1);
    EXPECT_EQ(grid.get_horizontal_bar().get_position(), 30);
}

TEST_F(GridTest, HitTestsFindTheCellOrNone) {
    TestGrid grid(&world.form(), 2, {30, 30}, 20);
    struct Case {
        Point point;
        int32_t band, column, row;
    };
    const Case cases[] = {
        {at(10, 5), ControlGrid::Painter::BAND_HEADER, 0, 0},
        {at(40, 25), ControlGrid::Painter::BAND_ITEMS, 1, 0},
        {at(40, 65), ControlGrid::Painter::BAND_ITEMS, 1, 1},
        {at(40, 105), ControlGrid::Painter::BAND_ITEMS, 1, 2},  // below the last row: the row count
        {at(70, 25), ControlGrid::Painter::BAND_ITEMS, -1, 0},  // right of the last column
        {at(-5, 25), ControlGrid::Painter::BAND_ITEMS, -1, 0},
        {at(10, 200), ControlGrid::Painter::BAND_NONE, 0, 2},
    };
    for (const Case& c : cases) {
        const ControlGrid::CellHit hit = grid.hit_cell(c.point);
        EXPECT_EQ(hit.band, c.band) << c.point.x << "," << c.point.y;
        EXPECT_EQ(hit.column, c.column) << c.point.x << "," << c.point.y;
        EXPECT_EQ(hit.row, c.row) << c.point.x << "," << c.point.y;
    }
}

TEST_F(GridTest, PenClicksNeedPressAndReleaseInTheSameBand) {
    struct Case {
        Point down, up;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {at(10, 5), at(10, 8), {"header_click"}},
        {at(10, 5), at(10, 50), {"highlight_changed"}},  // from the header to the items: neither click
        {at(10, 50), at(10, 5), {"check_changed"}},
        {at(10, 50), at(10, 55), {"check_changed", "highlight_changed", "item_click"}},
    };
    for (const Case& c : cases) {
        TestGrid grid(&world.form(), 3, {-1}, 20);
        world.form().events.clear();
        ControlGrid::Painter& painter = grid.get_painter();
        painter.on_mouse_down(c.down, false);
        painter.on_mouse_move(c.up);
        painter.on_mouse_up(c.up, false);
        EXPECT_EQ(world.form().take_names(), c.events) << c.down.y << " -> " << c.up.y;
    }
}

TEST_F(GridTest, APressOnARowSelectsItAndTheClickCarriesTheCell) {
    TestGrid grid(&world.form(), 3, {-1});
    ControlGrid::Painter& painter = grid.get_painter();
    painter.on_mouse_down(at(30, 50), false);
    EXPECT_EQ(grid.get_selected(), 1);
    painter.on_mouse_move(at(30, 95));
    EXPECT_EQ(grid.get_selected(), 2) << "a drag moves the selection";
    EXPECT_EQ(grid.highlight_row(), 2);
    painter.on_mouse_up(at(30, 95), false);
    const auto& events = world.form().events;
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().name, "item_click");
    EXPECT_EQ(events.back().sender, &grid);
    EXPECT_EQ(events.back().cell.row, 2);
    EXPECT_EQ(events.back().cell.offset, Point(30, 15));
    EXPECT_EQ(events.back().cell.point, at(30, 95));
    // Below the last row a press selects nothing.
    painter.on_mouse_down(at(30, 125), false);
    painter.on_mouse_up(at(30, 125), false);
    EXPECT_EQ(grid.get_selected(), 2);
    painter.on_mouse_leave();
    EXPECT_EQ(grid.highlight_row(), -1);
}

TEST_F(GridTest, TapAndHoldRaisesTheContextEventOnRelease) {
    TestGrid grid(&world.form(), 3, {-1}, 20);
    ControlGrid::Painter& painter = grid.get_painter();
    painter.on_mouse_down_2(at(10, 65), false);
    EXPECT_EQ(grid.get_selected(), 1);
    world.form().events.clear();
    painter.on_mouse_up_2(at(10, 65), false);
    ASSERT_EQ(world.form().events.size(), 1u);
    EXPECT_EQ(world.form().events[0].name, "cell_context");
    EXPECT_EQ(world.form().events[0].cell.row, 1);
    EXPECT_EQ(world.form().events[0].cell.offset, Point(0, 0));
    // A hold that began in the header does nothing.
    painter.on_mouse_down_2(at(10, 5), false);
    painter.on_mouse_up_2(at(10, 5), false);
    EXPECT_EQ(world.form().events.size(), 1u);
}

TEST_F(GridTest, TheContextMenuKeyPointsAtTheSelectedRow) {
    TestGrid grid(&world.form(), 5, {-1});
    grid.set_selected(1);
    world.form().events.clear();
    EXPECT_TRUE(grid.on_keydown(Key::ContextMenu));
    ASSERT_EQ(world.form().events.size(), 1u);
    const GridCellEvent& e = world.form().events[0].cell;
    EXPECT_EQ(e.column, -1);
    EXPECT_EQ(e.row, 1);
    // No column: a fifth of the painter's width (90) from its left; a cell of width 0, height 40.
    EXPECT_EQ(e.offset, Point(0, 20));
    EXPECT_EQ(e.point, at(18, 60));
}

TEST_F(GridTest, EnterHeldHalfASecondRaisesTheContextEventOnce) {
    TestGrid grid(&world.form(), 5, {-1});
    grid.set_selected(2);
    world.form().events.clear();
    EXPECT_FALSE(grid.on_keydown(Key::Enter)) << "Enter goes on to the form's default button";
    for (int repeat = 0; repeat < 6; ++repeat) {
        grid_test::pump_messages_for(0.15);
        EXPECT_FALSE(grid.on_keydown(Key::Enter));  // the key's auto-repeat
    }
    EXPECT_FALSE(grid.on_keyup(Key::Enter));
    grid_test::pump_messages_for(0.2);
    EXPECT_EQ(world.form().take_names(), std::vector<std::string>{"cell_context"});

    grid.on_keydown(Key::Enter);
    grid_test::pump_messages_for(0.1);
    grid.on_keyup(Key::Enter);
    grid_test::pump_messages_for(0.6);
    EXPECT_TRUE(world.form().take_names().empty()) << "released before the half second";
}

TEST_F(GridTest, LosingTheFocusEndsAHeldEnter) {
    TestGrid grid(&world.form(), 5, {-1});
    grid.on_keydown(Key::Enter);
    grid.on_focus_lost(nullptr);
    grid_test::pump_messages_for(0.7);
    EXPECT_TRUE(world.form().take_names().empty());
}

TEST_F(GridTest, AWheelNotchMovesThreeRows) {
    TestGrid grid(&world.form(), 20, {-1});
    grid.get_vertical_bar().set_position(5, false);
    ControlGrid::Painter& painter = grid.get_painter();
    struct Case {
        int delta;
        int32_t first_visible;
    };
    for (const Case& c : {Case{1, 2}, Case{1, 0}, Case{-1, 3}, Case{-10, 17}}) {
        painter.on_wheel(at(10, 50), c.delta);
        EXPECT_EQ(grid.first_visible(), c.first_visible) << c.delta;
    }
    EXPECT_EQ(grid.highlight_row(), 18) << "the highlight follows the pointer";
    // Through the form: the wheel reaches the grid under the pointer, then its painter.
    world.form().on_wheel(at(10, 50), 1);
    EXPECT_EQ(grid.first_visible(), 14);
}

TEST_F(GridTest, ScrollingRepaintsAndReachesTheForm) {
    TestGrid grid(&world.form(), 20, {-1});
    world.form().events.clear();
    grid.get_vertical_bar().set_position(4, false);
    ASSERT_EQ(world.form().events.size(), 1u);
    EXPECT_EQ(world.form().events[0].name, "scroll");
    EXPECT_EQ(world.form().events[0].sender, &grid.get_vertical_bar());
    paint(grid);
    ASSERT_FALSE(grid.cells.empty());
    EXPECT_EQ(grid.cells[0].row, 4);
}

TEST_F(GridTest, AnEmptyGridDrawsItsHeaderAndFaceOnly) {
    TestGrid grid(&world.form(), 0, {-1, -1}, 20);
    paint(grid);
    EXPECT_TRUE(grid.cells.empty());
    EXPECT_EQ(grid.header_cells.size(), 2u);
    EXPECT_EQ(shade_at(50, 150), Shade::Brown);
    EXPECT_FALSE(grid.on_keydown(Key::Down));
    EXPECT_FALSE(grid.on_keydown(Key::Up));
}

TEST_F(GridTest, ARowHeightOfZeroMeansNoRows) {
    TestGrid grid(&world.form(), 5, {-1});
    grid.height = 0;
    grid.refresh();
    paint(grid);
    EXPECT_TRUE(grid.cells.empty());
    EXPECT_EQ(grid.hit_cell(at(10, 10)).row, 5);
    EXPECT_FALSE(grid.get_vertical_bar().visible_flag());
    EXPECT_EQ(grid.get_vertical_bar().get_max(), 0);
}

TEST_F(GridTest, APageLowerThanARowStillShowsTheSelection) {
    TestGrid grid(&world.form(), 10, {-1});
    grid.set_rect({0, 100}, {100, 30});
    EXPECT_EQ(grid.get_vertical_bar().get_page(), 0);
    grid.set_selected(6);
    EXPECT_EQ(grid.first_visible(), 6);
    grid.set_selected(2);
    EXPECT_EQ(grid.first_visible(), 2);
}

TEST_F(GridTest, CellRectanglesStayInsideAPainterLowerThanTwoHeaders) {
    TestGrid grid(&world.form(), 10, {-1}, 80);
    Point position, size;
    for (int32_t row : {0, 1, 9}) {
        grid.cell_rect(0, row, position, size);
        EXPECT_EQ(position.y, 80) << row;
    }
    grid.cell_rect(5, 0, position, size);
    EXPECT_EQ(position.x, 90);
    EXPECT_EQ(size.x, 0);
}

TEST_F(GridTest, AColumnCountChangedWithoutRefreshIsFatal) {
    // A forked child keeps this test's device root, where its log is read.
    GTEST_FLAG_SET(death_test_style, "fast");
    TestGrid grid(&world.form(), 3, {-1, -1});
    grid.widths.push_back(-1);
    fixtures::enable_log(world.root());
    EXPECT_EXIT(paint(grid), ::testing::ExitedWithCode(int(gluck_exit_code)), "");
    const std::string log = fixtures::read_logs(world.root());
    EXPECT_TRUE(log.ends_with("Gluck: Number of items in grid " + std::string("grid") +
                              " had changed, but no refresh was called @ ControlGrid::Painter::paint\n"))
        << log;
    grid.refresh();
    paint(grid);
    EXPECT_EQ(grid.cells.size(), 9u);
}

TEST_F(GridTest, APressOnTheLeadingPartOfTheFirstColumnIsItsOwnClick) {
    TestGrid grid(&world.form(), 3, {40, -1});
    grid.leading = 12;
    ControlGrid::Painter& painter = grid.get_painter();
    painter.on_mouse_down(at(5, 50), false);
    painter.on_mouse_up(at(5, 50), false);
    EXPECT_EQ(grid.leading_clicks, std::vector<int32_t>{1});
    EXPECT_EQ(grid.get_selected(), -1);
    EXPECT_TRUE(world.form().take_names().empty()) << "neither a selection nor an item click";
    // Nor does the hold start there; beside it the row is pressed as usual.
    painter.on_mouse_down_2(at(5, 50), false);
    painter.on_mouse_up_2(at(5, 50), false);
    EXPECT_EQ(grid.get_selected(), -1);
    painter.on_mouse_down(at(20, 50), false);
    EXPECT_EQ(grid.get_selected(), 1);
}
