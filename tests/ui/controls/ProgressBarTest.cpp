// The track and progress bars: the fill, thumb and value of each orientation, the clamped
// position, the pen that reports values without changing the bar's own, and the painting.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/ui/controls/support/ControlsSkin.h"
#include "ui/controls/ControlProgressBar.h"

using namespace skinner;
using controls_test::Canvas;
using controls_test::TestForm;

namespace {

// A bar at (20, 30) of 110 by 40 (vertical: 40 by 110) with a thumb of 10.
BarGeometry bar(int32_t orientation) {
    const bool vertical = orientation == TOP_TO_BOTTOM || orientation == BOTTOM_TO_TOP;
    return {{20, 30}, vertical ? Point(40, 110) : Point(110, 40), orientation, 10};
}

}  // namespace

TEST(BarGeometry, FillAndThumbOfEachOrientation) {
    struct Case {
        int32_t orientation;
        double value;
        BarRect fill;
        BarRect thumb;
    };
    const Case cases[] = {
        {TOP_TO_BOTTOM, 0.5, {{20, 30}, {40, 50}}, {{20, 80}, {40, 10}}},
        {RIGHT_TO_LEFT, 0.5, {{70, 30}, {50, 40}}, {{70, 30}, {10, 40}}},
        {BOTTOM_TO_TOP, 0.5, {{20, 80}, {40, 50}}, {{20, 80}, {40, 10}}},
        {LEFT_TO_RIGHT, 0.5, {{20, 30}, {50, 40}}, {{70, 30}, {10, 40}}},
        {LEFT_TO_RIGHT, 0.0, {{20, 30}, {0, 40}}, {{20, 30}, {10, 40}}},
        {LEFT_TO_RIGHT, 1.0, {{20, 30}, {100, 40}}, {{120, 30}, {10, 40}}},
        {RIGHT_TO_LEFT, 0.0, {{120, 30}, {0, 40}}, {{120, 30}, {10, 40}}},
        // Products truncate toward zero: 100 * 0.333 is 33.3, 100 * 0.667 is 66.7.
        {LEFT_TO_RIGHT, 0.333, {{20, 30}, {33, 40}}, {{53, 30}, {10, 40}}},
        {RIGHT_TO_LEFT, 0.333, {{86, 30}, {33, 40}}, {{86, 30}, {10, 40}}},
        {BOTTOM_TO_TOP, 0.333, {{20, 96}, {40, 33}}, {{20, 96}, {40, 10}}},
        {5, 0.5, {}, {}},
        {-1, 0.5, {}, {}},
    };
    for (const Case& c : cases) {
        const BarGeometry g = bar(c.orientation);
        EXPECT_EQ(g.fill(c.value, c.orientation), c.fill) << c.orientation << " " << c.value;
        EXPECT_EQ(g.thumb(c.value), c.thumb) << c.orientation << " " << c.value;
    }
}

TEST(BarGeometry, ThePointUnderTheThumbsMiddleGivesTheValue) {
    struct Case {
        int32_t orientation;
        Point point;
        double value;
    };
    const Case cases[] = {
        {LEFT_TO_RIGHT, {25, 0}, 0.0},   {LEFT_TO_RIGHT, {75, 0}, 0.5},    {LEFT_TO_RIGHT, {50, 0}, 0.25},
        {LEFT_TO_RIGHT, {125, 0}, 1.0},  {LEFT_TO_RIGHT, {0, 0}, 0.0},     {LEFT_TO_RIGHT, {500, 0}, 1.0},
        {LEFT_TO_RIGHT, {26, 0}, 0.01},  {RIGHT_TO_LEFT, {125, 0}, 0.0},   {RIGHT_TO_LEFT, {100, 0}, 0.25},
        {RIGHT_TO_LEFT, {25, 0}, 1.0},   {TOP_TO_BOTTOM, {0, 35}, 0.0},    {TOP_TO_BOTTOM, {0, 60}, 0.25},
        {BOTTOM_TO_TOP, {0, 135}, 0.0},  {BOTTOM_TO_TOP, {0, 110}, 0.25},  {BOTTOM_TO_TOP, {0, 0}, 1.0},
        {7, {75, 50}, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(bar(c.orientation).value_at(c.point), c.value) << c.orientation << " " << c.point.x << "," << c.point.y;
    }
    // A bar no longer than its thumb has nowhere to travel.
    for (int32_t length : {10, 4}) {
        const BarGeometry g{{0, 0}, {length, 10}, LEFT_TO_RIGHT, 10};
        EXPECT_EQ(g.value_at({0, 0}), 0.0);
        EXPECT_EQ(g.value_at({9, 0}), 0.0);
    }
}

TEST(ProgressBar, PositionIsClampedAndOnlyAChangeIsReported) {
    TestForm form;
    ControlProgressBarImpl bar(&form, u"pbLeftToRight", 0);
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double set;
        double stored;
        bool reported;
    };
    const Case cases[] = {
        {0.25, 0.25, true}, {0.25, 0.25, false}, {1.5, 1.0, true},         {1.0, 1.0, false},
        {-1.0, 0.0, true},  {0.5, 0.5, true},    {std::nan(""), 0.0, true}, {0.5, 0.5, true},
        {inf, 0.0, true},   {0.5, 0.5, true},    {-inf, 0.0, true},         {-0.0, 0.0, false},
    };
    for (const Case& c : cases) {
        form.settle();
        bar.set_position(c.set);
        EXPECT_EQ(bar.get_value(), c.stored) << c.set;
        EXPECT_EQ(form.take_events(), c.reported ? std::vector<std::string>{"state pbLeftToRight"} : std::vector<std::string>{})
            << c.set;
        EXPECT_EQ(form.invalid_size(), c.reported ? bar.get_size() : Point(0, 0)) << c.set;
    }
}

TEST(ProgressBar, PenReportsTheValueUnderItButLeavesThePositionToTheReceiver) {
    TestForm form;
    ControlProgressBarImpl bar(&form, u"pbLeftToRight", 0);  // (0, 0), 110 by 10, thumb 10
    form.on_mouse_down({55, 5}, false);
    EXPECT_TRUE(bar.is_pressed());
    form.on_mouse_move({30, 5});
    form.on_mouse_move({200, 5});
    form.on_mouse_up({200, 5}, false);
    EXPECT_FALSE(bar.is_pressed());
    bar.on_mouse_move({80, 5});
    EXPECT_EQ(form.take_events(),
              (std::vector<std::string>{"value pbLeftToRight 0.5", "value pbLeftToRight 0.25", "value pbLeftToRight 1"}));
    EXPECT_EQ(bar.get_value(), 0.0);

    // A double tap starts no drag.
    form.on_mouse_down({55, 5}, true);
    EXPECT_FALSE(bar.is_pressed());
    form.on_mouse_move({30, 5});
    form.on_mouse_up({30, 5}, true);
    EXPECT_EQ(form.take_events(), std::vector<std::string>{});
}

TEST(ProgressBar, PaintsTheFillFromTheZeroEndUpToTheThumb) {
    // Background black, fill ("Progress") red, thumb green, disabled thumb blue.
    struct Case {
        const char16_t* name;
        double value;
        bool enabled;
        const char* runs;  // along the bar from its first pixel
    };
    const Case cases[] = {
        {u"pbLeftToRight", 0.5, true, "ff0000*50 00ff00*10 000000*50"},
        {u"pbLeftToRight", 0.0, true, "00ff00*10 000000*100"},
        {u"pbLeftToRight", 1.0, false, "ff0000*100 0000ff*10"},
        {u"pbRightToLeft", 0.0, true, "000000*100 00ff00*10"},
        {u"pbRightToLeft", 0.25, true, "000000*75 00ff00*10 ff0000*25"},
        {u"pbTopToBottom", 0.5, true, "ff0000*50 00ff00*10 000000*50"},
        {u"pbBottomToTop", 0.25, true, "000000*75 00ff00*10 ff0000*25"},
        {u"pbUnknown", 0.5, true, "000000*110"},
        {u"pbBare", 0.5, true, "808080*110"},
    };
    for (const Case& c : cases) {
        TestForm form;
        ControlProgressBarImpl bar(&form, c.name, 0);
        bar.set_position(c.value);
        bar.set_enabled(c.enabled);
        Canvas canvas;
        canvas.paint(bar);
        const bool vertical = bar.get_size().y > bar.get_size().x;
        EXPECT_EQ(vertical ? canvas.column_runs(5, 0, 110) : canvas.row_runs(5, 0, 110), c.runs)
            << controls_test::narrow(c.name) << " " << c.value;
    }
}
