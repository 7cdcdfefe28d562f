// The selection model moves the selected row by pen, keys and row-set changes, and tells its
// list of every change through the model interface.
#include <gtest/gtest.h>

#include <vector>

#include "ui/lists/ListSelection.h"

using namespace skinner;

namespace {

// A list of `rows` rows that records what the selection parts ask of it.
class RecordingList : public ListSelection {
public:
    explicit RecordingList(int32_t rows_) : rows(rows_) {}

    int32_t row_count() override { return rows; }
    int32_t column_count() override { return 3; }
    void selection_changed() override { ++selection_changes; }
    void highlight_changed() override { ++highlight_changes; }
    void ensure_column_visible(int32_t) override {}
    void ensure_row_visible(int32_t row) override { made_visible.push_back(row); }

    int32_t rows;
    int selection_changes = 0;
    int highlight_changes = 0;
    std::vector<int32_t> made_visible;
};

}  // namespace

TEST(ListSelection, StartsWithNothingSelectedOrHighlighted) {
    RecordingList list(5);
    EXPECT_EQ(list.get_selected(), -1);
    EXPECT_EQ(list.highlight_row(), -1);
    EXPECT_EQ(list.highlight_column(), -1);
    EXPECT_EQ(list.focus_cell(), (GridCell{-1, -1}));
}

TEST(ListSelection, KeysMoveTheSelectionOneRowAtATime) {
    struct Case {
        Key key;
        int32_t from;
        bool used;
        int32_t to;
    };
    const Case cases[] = {
        {Key::Down, -1, true, 0},    {Key::Up, -1, true, 0},      {Key::Down, 2, true, 3},
        {Key::Up, 2, true, 1},       {Key::PageDown, 2, true, 3}, {Key::PageUp, 2, true, 1},
        {Key::Down, 4, false, 4},    {Key::PageDown, 4, false, 4}, {Key::Up, 0, false, 0},
        {Key::PageUp, 0, false, 0},  {Key::Home, 3, true, 0},     {Key::End, 1, true, 4},
        {Key::Home, -1, true, 0},    {Key::End, -1, true, 4},     {Key::Left, 2, false, 2},
        {Key::Enter, 2, false, 2},
    };
    for (const Case& c : cases) {
        RecordingList list(5);
        list.set_selected(c.from);
        const int changes_before = list.selection_changes;
        list.made_visible.clear();
        EXPECT_EQ(list.on_key(c.key, nullptr), c.used) << int(c.key) << " from " << c.from;
        EXPECT_EQ(list.get_selected(), c.to) << int(c.key) << " from " << c.from;
        EXPECT_EQ(list.selection_changes - changes_before, c.from == c.to ? 0 : 1) << int(c.key);
        if (c.used) {
            ASSERT_FALSE(list.made_visible.empty());
            EXPECT_EQ(list.made_visible.back(), c.to);
        } else {
            EXPECT_TRUE(list.made_visible.empty());
        }
    }
}

TEST(ListSelection, NoKeyIsUsedWithoutRows) {
    RecordingList list(0);
    for (Key key : {Key::Up, Key::Down, Key::Home, Key::End, Key::PageUp, Key::PageDown})
        EXPECT_FALSE(list.on_key(key, nullptr)) << int(key);
    EXPECT_EQ(list.get_selected(), -1);
    EXPECT_EQ(list.selection_changes, 0);
}

TEST(ListSelection, AKeyMoveClearsTheHighlightedRow) {
    RecordingList list(5);
    list.set_highlight(1, 2);
    EXPECT_EQ(list.highlight_changes, 1);
    EXPECT_TRUE(list.is_highlighted(0, 2));
    list.set_highlight(1, 2);
    EXPECT_EQ(list.highlight_changes, 1) << "the same cell again is no change";

    ASSERT_TRUE(list.on_key(Key::Down, nullptr));
    EXPECT_EQ(list.highlight_row(), -1);
    EXPECT_EQ(list.highlight_column(), 0);
    EXPECT_EQ(list.highlight_changes, 2);
    EXPECT_FALSE(list.is_highlighted(1, 2));
}

TEST(ListSelection, SettingTheSameIndexDoesNothing) {
    RecordingList list(5);
    list.set_selected(3);
    EXPECT_EQ(list.selection_changes, 1);
    EXPECT_EQ(list.made_visible, std::vector<int32_t>{3});
    list.set_selected(3);
    EXPECT_EQ(list.selection_changes, 1);
    EXPECT_EQ(list.made_visible, std::vector<int32_t>{3});
}

TEST(ListSelection, AnIndexOutsideTheRowsIsStoredButNotScrolledTo) {
    RecordingList list(5);
    list.set_selected(7);
    EXPECT_EQ(list.get_selected(), 7);
    EXPECT_EQ(list.selection_changes, 1);
    EXPECT_TRUE(list.made_visible.empty());
    list.set_selected(-1);
    EXPECT_EQ(list.selection_changes, 2);
    EXPECT_TRUE(list.made_visible.empty());
}

TEST(ListSelection, PenSelectsOnlyExistingRows) {
    RecordingList list(5);
    list.on_cell_down(2, 3, {}, {}, nullptr);
    EXPECT_EQ(list.get_selected(), 3);
    list.on_cell_drag(0, 4, {}, {}, nullptr);
    EXPECT_EQ(list.get_selected(), 4);
    list.on_cell_hold(0, 1, nullptr);
    EXPECT_EQ(list.get_selected(), 1);
    // The grid passes the row count as the row below the last row.
    list.on_cell_down(0, 5, {}, {}, nullptr);
    list.on_cell_drag(0, -1, {}, {}, nullptr);
    list.on_cell_hold(0, 5, nullptr);
    list.on_cell_up(0, 2, {}, {}, nullptr);
    list.on_cell_hold_up(0, 2, nullptr);
    EXPECT_EQ(list.get_selected(), 1);
    EXPECT_EQ(list.selection_changes, 3);
}

TEST(ListSelection, RowSetChangesKeepTheSelectionOnItsRow) {
    struct Case {
        bool insert;
        int32_t position, count, selected, expected;
    };
    const Case cases[] = {
        // Removing rows 2 and 3 (two rows after position 1).
        {false, 1, 2, 1, 1},
        {false, 1, 2, 0, 0},
        {false, 1, 2, 2, -1},
        {false, 1, 2, 3, -1},
        {false, 1, 2, 5, 3},
        {false, 1, 2, -1, -1},
        // Inserting two rows after row 1.
        {true, 1, 2, 1, 1},
        {true, 1, 2, 2, 4},
        {true, 1, 2, 0, 0},
        {true, 1, 2, -1, -1},
    };
    for (const Case& c : cases) {
        RecordingList list(10);
        list.set_selected(c.selected);
        if (c.insert)
            list.on_rows_inserted(c.position, c.count);
        else
            list.on_rows_removed(c.position, c.count);
        EXPECT_EQ(list.get_selected(), c.expected) << (c.insert ? "insert" : "remove") << " selected " << c.selected;
    }
}

TEST(ListSelection, EveryColumnOfTheSelectedRowIsSelected) {
    RecordingList list(5);
    list.set_selected(2);
    for (int32_t column = -1; column < 3; ++column) {
        EXPECT_TRUE(list.is_selected(column, 2)) << column;
        EXPECT_FALSE(list.is_selected(column, 1)) << column;
    }
    EXPECT_EQ(list.focus_cell(), (GridCell{-1, 2}));
}
