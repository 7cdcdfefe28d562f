// The position bar maps a tap to a fraction of its inner area, reports taps and drags to its
// form, keeps its markers within [0, 1], and lays its three pictures out from the markers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/PositionBar.h"
#include "tests/app/support/AppControls.h"

using app::PositionBar;
using app_controls_test::Canvas;
using skinner::Point;

namespace {

class PositionBarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.ready()); }

    app_controls_test::RecordingForm& form() { return world.form(); }

    app_controls_test::AppControlsWorld world;
};

}  // namespace

TEST_F(PositionBarTest, FractionAtCountsFromTheInnerArea) {
    // "pbPosition": inner x 15..114 (100 wide); "pbNarrow": 8 wide with borders of 5 on each side;
    // "pbDefaults": border max follows border min (3), inner x 203..246 (44 wide).
    struct Case {
        const char16_t* bar;
        int x;
        double fraction;
    };
    const Case cases[] = {
        {u"pbPosition", -1000, 0.0}, {u"pbPosition", 10, 0.0},   {u"pbPosition", 14, 0.0},
        {u"pbPosition", 15, 0.0},    {u"pbPosition", 40, 0.25},  {u"pbPosition", 65, 0.5},
        {u"pbPosition", 114, 0.99},  {u"pbPosition", 115, 1.0}, {u"pbPosition", 119, 1.0},
        {u"pbPosition", 400, 1.0},   {u"pbNarrow", 10, 0.0},     {u"pbNarrow", 15, 0.0},
        {u"pbNarrow", 17, 0.0},      {u"pbNarrow", 300, 0.0},    {u"pbDefaults", 225, 0.5},
        {u"pbDefaults", 246, 43.0 / 44}, {u"pbDefaults", 247, 1.0},
    };
    for (const Case& c : cases) {
        PositionBar bar(&form(), c.bar);
        // The row does not matter.
        for (int y : {0, 20, 1000}) {
            EXPECT_DOUBLE_EQ(bar.fraction_at({c.x, y}), c.fraction) << app_controls_test::narrow(c.bar) << " x " << c.x;
        }
    }
}

TEST_F(PositionBarTest, ThePenReportsFractionsWhileItIsDown) {
    struct Case {
        const char* what;
        void (*steps)(skinner::Form&, PositionBar&);
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"a tap", [](skinner::Form& f, PositionBar&) { f.on_mouse_down({40, 20}, false), f.on_mouse_up({40, 20}, false); },
         {"value pbPosition 0.25"}},
        {"a drag, then a move after the pen is up",
         [](skinner::Form& f, PositionBar&) {
             f.on_mouse_down({15, 20}, false);
             f.on_mouse_move({65, 25});
             f.on_mouse_move({500, 25});
             f.on_mouse_up({500, 25}, false);
             f.on_mouse_move({40, 20});
         },
         {"value pbPosition 0", "value pbPosition 0.5", "value pbPosition 1"}},
        {"a move over the bar without the pen", [](skinner::Form& f, PositionBar&) { f.on_mouse_move({40, 20}); }, {}},
        {"a double tap still seeks", [](skinner::Form& f, PositionBar&) { f.on_mouse_down({65, 20}, true); },
         {"value pbPosition 0.5"}},
        {"tap and hold is not the pen's press",
         [](skinner::Form& f, PositionBar&) { f.on_mouse_down_2({40, 20}, false), f.on_mouse_up_2({40, 20}, false); }, {}},
        {"a bar switched off under the pen stops seeking",
         [](skinner::Form& f, PositionBar& b) {
             f.on_mouse_down({40, 20}, false);
             b.set_enabled(false);
             b.on_mouse_move({65, 20});
         },
         {"value pbPosition 0.25"}},
        {"a bar hidden under the pen stops seeking",
         [](skinner::Form& f, PositionBar& b) {
             f.on_mouse_down({40, 20}, false);
             b.set_visible(false);
             b.on_mouse_move({65, 20});
         },
         {"value pbPosition 0.25"}},
    };
    for (const Case& c : cases) {
        PositionBar bar(&form(), u"pbPosition");
        form().take_events();
        c.steps(form(), bar);
        EXPECT_EQ(form().take_events(), c.events) << c.what;
        // The pen never moves the markers itself: the form does, when it accepts the value.
        EXPECT_EQ(bar.get_start_marker(), 0.0) << c.what;
        EXPECT_EQ(bar.get_second_marker(), 0.0) << c.what;
    }
}

TEST_F(PositionBarTest, MarkersAreClampedAndAChangeRepaintsOnce) {
    PositionBar bar(&form(), u"pbPosition");
    form().settle();
    form().take_events();
    struct Step {
        double start, second;
        double stored_start, stored_second;
        bool changed;
        bool repainted;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The inner area is 100 wide: a marker must move about a hundredth to move a picture.
    const Step steps[] = {
        {0.25, 0.5, 0.25, 0.5, true, true},
        {0.25, 0.5, 0.25, 0.5, false, false},  // the same markers again
        {-0.5, 1.5, 0.0, 1.0, true, true},
        {-2.0, 7.0, 0.0, 1.0, false, false},  // clamped to what is stored
        {nan, 0.5, 0.0, 0.5, true, true},
        {std::numeric_limits<double>::infinity(), 0.5, 0.0, 0.5, false, false},
        {0.0, 0.502, 0.0, 0.502, true, false},  // the play position moved within a pixel
        {0.0, 0.512, 0.0, 0.512, true, true},   // and then into the next one
        {0.002, 0.512, 0.002, 0.512, true, false},
        {0.012, 0.512, 0.012, 0.512, true, true},
    };
    for (const Step& s : steps) {
        bar.set_markers(s.start, s.second);
        EXPECT_EQ(bar.get_start_marker(), s.stored_start) << s.start << " " << s.second;
        EXPECT_EQ(bar.get_second_marker(), s.stored_second) << s.start << " " << s.second;
        EXPECT_EQ(form().take_events(), s.changed ? std::vector<std::string>{"state pbPosition"} : std::vector<std::string>{});
        EXPECT_EQ(form().invalid_size(), s.repainted ? bar.get_size() : Point(0, 0)) << s.start << " " << s.second;
        form().settle();
    }
}

TEST_F(PositionBarTest, MarkerRangesBecomeFractions) {
    struct Case {
        double low, high, first, second;
        double start, second_marker;
    };
    const Case cases[] = {
        {0, 200, 50, 100, 0.25, 0.5},
        {100, 300, 150, 400, 0.25, 1.0},  // past the end: at the end
        {100, 300, 0, 100, 0.0, 0.0},
        {0, 0, 5, 10, 0.0, 0.0},          // an empty range
        {10, 5, 6, 7, 0.0, 0.0},          // a reversed one
        {0, std::numeric_limits<double>::quiet_NaN(), 1, 2, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        PositionBar bar(&form(), u"pbPosition");
        bar.set_markers(0.5, 0.75);
        bar.set_marker_range(c.low, c.high, c.first, c.second);
        EXPECT_DOUBLE_EQ(bar.get_start_marker(), c.start) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(bar.get_second_marker(), c.second_marker) << c.low << ".." << c.high;
    }
}

TEST_F(PositionBarTest, ThePicturesFollowTheMarkers) {
    // Inner area of both bars: x 15..114 (100 wide), y from 12 (or 42), 16 high.
    struct Case {
        const char* what;
        const char16_t* bar;
        double start, second;
        int left_width;
        int middle_x, middle_width;
    };
    const Case cases[] = {
        {"no track: the middle spans the markers exactly", u"pbPosition", 0.25, 0.5, 25, 40, 25},
        {"a track widens the middle, centred on the markers", u"pbTrack", 0.25, 0.5, 25, 38, 29},
        {"both markers at the start", u"pbPosition", 0.0, 0.0, 0, 15, 0},
        {"a track at the start reaches into the border", u"pbTrack", 0.0, 0.0, 0, 14, 4},
        {"both at the end", u"pbTrack", 1.0, 1.0, 100, 113, 4},
        {"half a pixel rounds up", u"pbPosition", 0.125, 0.625, 13, 28, 50},
        {"less than half rounds down", u"pbPosition", 0.124, 0.624, 12, 27, 50},
        {"a play position behind the start draws no middle", u"pbPosition", 0.5, 0.25, 50, 65, 0},
        {"even with a track", u"pbTrack", 0.5, 0.25, 50, 63, 0},
        {"markers outside [0, 1] at the ends", u"pbPosition", -3.0, 9.0, 0, 15, 100},
    };
    for (const Case& c : cases) {
        PositionBar bar(&form(), c.bar);
        bar.set_markers(c.start, c.second);
        const PositionBar::Parts parts = bar.layout_parts();
        const int top = bar.get_position().y + 2;
        EXPECT_EQ(parts.left_position, Point(15, top)) << c.what;
        EXPECT_EQ(parts.left_size, Point(c.left_width, 16)) << c.what;
        EXPECT_EQ(parts.middle_position, Point(c.middle_x, top)) << c.what;
        EXPECT_EQ(parts.middle_size, Point(c.middle_width, 16)) << c.what;
    }
}

TEST_F(PositionBarTest, PaintsLeftMiddleAndRightPictures) {
    // Red is "Left", green "Middle", blue "Right"; a row through the middle of the bar from its
    // left edge, and its top border row.
    struct Case {
        const char* what;
        const char16_t* bar;
        double start, second;
        std::string middle_row, border_row;
    };
    const Case cases[] = {
        {"no track", u"pbPosition", 0.25, 0.5, "blue*5 red*25 green*25 blue*55", "blue*110"},
        {"a track of 4", u"pbTrack", 0.25, 0.5, "blue*5 red*23 green*29 blue*53", "blue*110"},
        {"the play position behind the start", u"pbPosition", 0.5, 0.25, "blue*5 red*50 blue*55", "blue*110"},
        {"the whole file", u"pbPosition", 0.0, 1.0, "blue*5 green*100 blue*5", "blue*110"},
        {"narrower than its borders: only the right picture", u"pbNarrow", 0.5, 1.0, "blue*8 grey*102", "blue*8 grey*102"},
    };
    for (const Case& c : cases) {
        PositionBar bar(&form(), c.bar);
        bar.set_markers(c.start, c.second);
        Canvas canvas;
        canvas.paint(bar);
        const int top = bar.get_position().y;
        EXPECT_EQ(canvas.runs(top + 10, 10, 110), c.middle_row) << c.what;
        EXPECT_EQ(canvas.runs(top, 10, 110), c.border_row) << c.what;
    }
}

TEST_F(PositionBarTest, TheRightPictureDefaultsToTheLeftOne) {
    // "pbDefaults" names only "Left" (red): it covers the whole bar, and there is no middle.
    PositionBar bar(&form(), u"pbDefaults");
    bar.set_markers(0.25, 0.75);
    Canvas canvas;
    canvas.paint(bar);
    for (int y : {10, 20, 29}) EXPECT_EQ(canvas.runs(y, 195, 60), "grey*5 red*50 grey*5") << y;
}
