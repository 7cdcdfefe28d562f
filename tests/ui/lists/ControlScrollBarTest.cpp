// Scroll bars keep min <= position <= max - page, lay out their five parts from the range,
// step while a part is held, follow the dragged thumb, and the scroll container shows each bar
// only when the content does not fit.
#include <gtest/gtest.h>

#include "base/Log.h"
#include "platform/window/Messages.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/lists/support/GridSkin.h"
#include "ui/lists/ControlScrollContainer.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using grid_test::Shade;

namespace {

struct Rect {
    Point position;
    Point size;
    friend bool operator==(const Rect&, const Rect&) = default;
};

Rect rect_of(const Control& c) { return {c.get_position(), c.get_size()}; }

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.position.x << "," << r.position.y << " " << r.size.x << "x" << r.size.y << ")";
}

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.ready()); }

    // A vertical bar of the test skin: step buttons of 10, a thumb whose borders add up to 4.
    std::unique_ptr<ControlScrollBar> vertical_bar(Point position = {300, 100}, Point size = {10, 100}) {
        auto bar = std::make_unique<ControlScrollBar>(&world.form(), u"kindVScroll", Control::KIND_TEMPLATE);
        bar->set_rect(position, size);
        return bar;
    }

    // The same bar over the range 0..max with the page.
    std::unique_ptr<ControlScrollBar> ranged_bar(int32_t max, int32_t page) {
        auto bar = vertical_bar();
        bar->set_range(0, max);
        bar->set_page(page);
        return bar;
    }

    int scrolls_of(Control* sender) {
        int n = 0;
        for (const auto& e : world.form().events) n += e.name == "scroll" && e.sender == sender;
        return n;
    }

    grid_test::GridWorld world;
};

}  // namespace

TEST_F(ScrollBarTest, PositionIsClampedIntoTheRangeLessThePage) {
    struct Case {
        int32_t min, max, page, value;
        int32_t position, kept_page, kept_max;
    };
    const Case cases[] = {
        {0, 10, 5, 3, 3, 5, 10},     {0, 10, 5, 7, 5, 5, 10},    {0, 10, 5, -4, 0, 5, 10},
        {0, 0, 1, 3, 0, 0, 0},       // an empty range has no page
        {2, 6, 9, 5, 2, 4, 6},       // a page larger than the range is cut to it: position min
        {5, 1, 1, 9, 5, 0, 5},       // max below min becomes min
        {-20, -10, 3, -30, -20, 3, -10},
    };
    for (const Case& c : cases) {
        auto bar = vertical_bar();
        bar->set_range(c.min, c.max);
        bar->set_page(c.page);
        bar->set_position(c.value, false);
        EXPECT_EQ(bar->get_position(), c.position) << c.min << ".." << c.max << " page " << c.page << " value " << c.value;
        EXPECT_EQ(bar->get_page(), c.kept_page) << c.min << ".." << c.max;
        EXPECT_EQ(bar->get_max(), c.kept_max) << c.min << ".." << c.max;
    }
}

TEST_F(ScrollBarTest, PartsAreLaidOutAlongTheBar) {
    struct Case {
        bool vertical;
        int32_t max, page, position;
        Rect space_before, track, space_after;
    };
    // Run of 100 - 10 - 10 - 4 = 76 pixels after the first step button.
    const Case cases[] = {
        {true, 10, 5, 0, {{300, 110}, {10, 0}}, {{300, 110}, {10, 42}}, {{300, 152}, {10, 38}}},
        {true, 10, 5, 5, {{300, 110}, {10, 38}}, {{300, 148}, {10, 42}}, {{300, 190}, {10, 0}}},
        // (1.0 - 0.3) - 0.2 falls just below 0.5 in doubles: the space after gets 37, not 38.
        {true, 10, 2, 3, {{300, 110}, {10, 22}}, {{300, 132}, {10, 21}}, {{300, 153}, {10, 37}}},
        // No range: the thumb fills the run.
        {true, 0, 0, 0, {{300, 110}, {10, 0}}, {{300, 110}, {10, 80}}, {{300, 190}, {10, 0}}},
        {false, 10, 5, 5, {{310, 100}, {38, 10}}, {{348, 100}, {42, 10}}, {{390, 100}, {0, 10}}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ControlScrollBar> bar;
        if (c.vertical) {
            bar = vertical_bar();
        } else {
            bar = std::make_unique<ControlScrollBar>(&world.form(), u"kindHScroll", Control::KIND_TEMPLATE);
            bar->set_rect({300, 100}, {100, 10});
        }
        ASSERT_EQ(bar->is_vertical(), c.vertical);
        bar->set_range(0, c.max);
        bar->set_page(c.page);
        bar->set_position(c.position, false);
        const Point far = c.vertical ? Point(300, 190) : Point(390, 100);
        EXPECT_EQ(rect_of(bar->get_min_button()), (Rect{{300, 100}, {10, 10}}));
        EXPECT_EQ(rect_of(bar->get_max_button()), (Rect{far, {10, 10}}));
        EXPECT_EQ(rect_of(bar->get_space_before()), c.space_before) << c.max << " " << c.page << " " << c.position;
        EXPECT_EQ(rect_of(bar->get_track()), c.track) << c.max << " " << c.page << " " << c.position;
        EXPECT_EQ(rect_of(bar->get_space_after()), c.space_after) << c.max << " " << c.page << " " << c.position;
    }
}

TEST_F(ScrollBarTest, ABarShorterThanItsButtonsGivesTheThumbNoNegativeLength) {
    auto bar = vertical_bar({300, 100}, {10, 15});
    bar->set_range(0, 10);
    bar->set_page(5);
    EXPECT_EQ(rect_of(bar->get_track()).size, Point(10, 0));
    EXPECT_GE(bar->get_space_after().get_size().y, 0);
    // Without any length every part goes to the origin.
    bar->set_rect({300, 100}, {10, 0});
    EXPECT_EQ(rect_of(bar->get_space_before()), (Rect{{0, 0}, {0, 0}}));
    EXPECT_EQ(rect_of(bar->get_min_button()).position, Point(0, 0));
}

TEST_F(ScrollBarTest, PaintsItsPartsFromTheSkinKinds) {
    auto bar = ranged_bar(10, 5);
    gdi_test::Canvas32 canvas(480, 640);
    Painter painter(canvas.dc(), {0, 0}, {480, 640});
    bar->paint(painter, {0, 0}, {480, 640});
    struct Case {
        int y;
        Shade shade;
    };
    for (const Case& c : {Case{105, Shade::Green}, Case{130, Shade::Yellow}, Case{170, Shade::Grey}, Case{195, Shade::Blue}})
        EXPECT_EQ(grid_test::shade_of(canvas.at(305, c.y) & 0xFFFFFF), c.shade) << c.y;
}

TEST_F(ScrollBarTest, TheSamePositionWithoutForceNeitherScrollsNorLaysOut) {
    auto bar = ranged_bar(10, 5);
    bar->set_position(2, false);
    EXPECT_EQ(scrolls_of(bar.get()), 1);
    const Rect laid_out = rect_of(bar->get_track());
    bar->get_track().set_rect({0, 0}, {1, 1});
    bar->set_position(2, false);
    EXPECT_EQ(scrolls_of(bar.get()), 1);
    EXPECT_EQ(rect_of(bar->get_track()), (Rect{{0, 0}, {1, 1}}));
    bar->set_position(2, true);
    EXPECT_EQ(scrolls_of(bar.get()), 1);
    EXPECT_EQ(rect_of(bar->get_track()), laid_out);
}

TEST_F(ScrollBarTest, PartsStepByOneOrByAPage) {
    struct Case {
        ControlScrollPart& (ControlScrollBar::*part)();
        int32_t expected;
    };
    const Case cases[] = {
        {&ControlScrollBar::get_min_button, 3},  {&ControlScrollBar::get_max_button, 5},
        {&ControlScrollBar::get_space_before, 0}, {&ControlScrollBar::get_space_after, 8},
        {&ControlScrollBar::get_track, 4},
    };
    for (const Case& c : cases) {
        auto bar = ranged_bar(20, 4);
        bar->set_position(4, false);
        ControlScrollPart& part = ((*bar).*c.part)();
        const Point inside = part.get_position() + Point(1, 1);
        part.on_mouse_down(inside, false);
        part.on_mouse_up(inside, false);
        EXPECT_EQ(bar->get_position(), c.expected);
    }
}

TEST_F(ScrollBarTest, AHeldButtonRepeatsFromTheSixthTickUntilReleased) {
    auto bar = ranged_bar(100, 10);
    ControlScrollPart& down = bar->get_max_button();
    const Point inside = down.get_position() + Point(2, 2);
    down.on_mouse_down(inside, false);
    EXPECT_EQ(bar->get_position(), 1) << "one step at the press";
    const uint32_t timer = down.get_timer_id();
    ASSERT_NE(timer, 0u);
    std::vector<int32_t> after_each_tick;
    for (int tick = 0; tick < 8; ++tick) {
        bar->dispatch_timer(timer);
        after_each_tick.push_back(bar->get_position());
    }
    EXPECT_EQ(after_each_tick, (std::vector<int32_t>{1, 1, 1, 1, 1, 2, 3, 4}));
    down.on_mouse_up(inside, false);
    EXPECT_EQ(down.get_timer_id(), 0u);
    down.on_timer(timer);
    EXPECT_EQ(bar->get_position(), 4);
}

TEST_F(ScrollBarTest, ADisabledPartDoesNotRepeat) {
    auto bar = ranged_bar(100, 10);
    ControlScrollPart& down = bar->get_max_button();
    down.on_mouse_down(down.get_position(), false);
    down.set_enabled(false);
    for (int tick = 0; tick < 10; ++tick) down.on_timer(down.get_timer_id());
    EXPECT_EQ(bar->get_position(), 1);
}

TEST_F(ScrollBarTest, DraggingTheThumbFollowsThePenWithinTheRun) {
    struct Case {
        int32_t pen_y;
        int32_t position;
    };
    // Run from y 110, 76 long; positions 0..20 (max 30 less a page of 10).
    const Case cases[] = {{60, 0}, {110, 0}, {148, 15}, {186, 20}, {400, 20}};
    for (const Case& c : cases) {
        auto bar = ranged_bar(30, 10);
        ControlScrollPart& track = bar->get_track();
        const Point grip = track.get_position() + Point(3, 4);
        track.on_mouse_down(grip, false);
        track.on_mouse_move({grip.x, c.pen_y + 4});
        EXPECT_EQ(bar->get_position(), c.position) << c.pen_y;
        track.on_mouse_up({grip.x, c.pen_y + 4}, false);
    }
}

TEST_F(ScrollBarTest, RangeAndPageInTheSkinAreReportedAndNotRead) {
    fixtures::enable_log(world.root());
    // The report's message box ends at once: its loop takes this and hands it on.
    PostMessageW(nullptr, WM_USER + 33, 0, 0);
    ControlScrollBar bar(&world.form(), u"kindBadScroll", Control::KIND_TEMPLATE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_USER + 33, WM_USER + 33, PM_REMOVE)) {
    }
    EXPECT_EQ(bar.get_min(), 0);
    EXPECT_EQ(bar.get_page(), 0);
    const std::string log = fixtures::read_logs(world.root());
    EXPECT_NE(log.find("Unsupported: Form {FormGrid}\nControl {}\nCount Property {Min}\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Count Property {Page}"), std::string::npos);
    EXPECT_EQ(log.find("Count Property {Max}"), std::string::npos);
}

TEST_F(ScrollBarTest, TheContainerShowsABarOnlyWhereTheContentDoesNotFit) {
    struct Case {
        Point content;
        bool vertical, horizontal;
        Point client;
    };
    // The skin control "grid": 100 x 130, bars 10 thick, no borders.
    const Case cases[] = {
        {{100, 130}, false, false, {100, 130}},
        {{101, 120}, false, true, {100, 120}},
        {{101, 130}, true, true, {90, 120}},  // the horizontal bar makes the client too low
        {{90, 131}, true, false, {90, 130}},
        {{100, 131}, true, true, {90, 120}},
    };
    for (const Case& c : cases) {
        ControlScrollContainer container(&world.form(), u"grid", Control::KIND_SKIN);
        Control content(container.get_embedded_form(), u"", Control::KIND_CODE);
        container.fit_client(&content, c.content);
        container.place_bars();
        EXPECT_EQ(container.get_vertical_bar().visible_flag(), c.vertical) << c.content.x << "x" << c.content.y;
        EXPECT_EQ(container.get_horizontal_bar().visible_flag(), c.horizontal) << c.content.x << "x" << c.content.y;
        EXPECT_EQ(rect_of(content), (Rect{{0, 100}, c.client}));
        EXPECT_EQ(rect_of(container.get_vertical_bar()), (Rect{{c.client.x, 100}, {10, c.client.y}}));
        EXPECT_EQ(rect_of(container.get_horizontal_bar()), (Rect{{0, 100 + c.client.y}, {c.client.x, 10}}));
        EXPECT_FALSE(container.get_vertical_bar().wants_focus());
    }
}

TEST_F(ScrollBarTest, AContainerSmallerThanItsBarsLeavesAnEmptyClient) {
    ControlScrollContainer container(&world.form(), u"grid", Control::KIND_SKIN);
    container.set_rect({0, 100}, {6, 6});
    Control content(container.get_embedded_form(), u"", Control::KIND_CODE);
    container.fit_client(&content, {50, 50});
    container.place_bars();
    EXPECT_EQ(content.get_size(), Point(0, 0));
    EXPECT_EQ(container.get_vertical_bar().get_size(), Point(10, 0));
}
