// The fine-tuning arrows repeat while held, on the scheduler's timers under a test clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/RepeatButton.h"
#include "platform/display/Headless.h"
#include "tests/app/support/MainFormTesting.h"

namespace app_test {
namespace {

namespace h = platform::headless;

class RepeatButtonTest : public MainFormTest {
public:
    void SetUp() override {
        h::use_test_clock(100000);
        MainFormTest::SetUp();
    }
    void TearDown() override {
        MainFormTest::TearDown();
        h::release_clock();
    }

    // Moves the clock on and runs what fell due.
    void after(DWORD milliseconds) {
        h::step_clock(milliseconds);
        pump();
    }
    int events_of(const skinner::Control& button) {
        return static_cast<int>(std::count(form().events.begin(), form().events.end(), &button));
    }
};

TEST_F(RepeatButtonTest, ExactPanelsArrowsRepeatHalfASecondAfterThePressThenEveryTenth) {
    app::RepeatButton& arrow = form().exact_start_panel().right;
    EXPECT_EQ(arrow.get_first_delay(), 0.5);
    EXPECT_EQ(arrow.get_repeat_delay(), 0.1);
    EXPECT_EQ(arrow.get_factor(), 0.0);
    EXPECT_FALSE(arrow.wants_focus());

    arrow.set_pressed(true);
    after(499);
    EXPECT_EQ(events_of(arrow), 0);
    after(1);
    EXPECT_EQ(events_of(arrow), 1);
    EXPECT_EQ(arrow.get_current_delay(), 0.1);
    after(99);
    EXPECT_EQ(events_of(arrow), 1);
    after(1);
    EXPECT_EQ(events_of(arrow), 2);
    after(100);
    after(100);
    EXPECT_EQ(events_of(arrow), 4);
    // The release raises it once more for the repeats, then the button's own click follows.
    arrow.set_pressed(false);
    EXPECT_EQ(events_of(arrow), 6);
    after(1000);
    EXPECT_EQ(events_of(arrow), 6);
}

TEST_F(RepeatButtonTest, DefaultDelaysHalveFromHalfASecondDownToAFiftieth) {
    app::RepeatButton& arrow = form().exact_start_panel().left;
    arrow.set_delays(0.5, 0.05, 0.5);
    arrow.set_pressed(true);
    std::vector<double> delays;
    for (int step = 0; step < 2000 && delays.size() < 6; ++step) {
        const int before = events_of(arrow);
        after(1);
        if (events_of(arrow) > before) delays.push_back(arrow.get_current_delay());
    }
    const std::vector<double> expected = {0.25, 0.125, 0.0625, 0.05, 0.05, 0.05};
    ASSERT_EQ(delays.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(delays[i], expected[i]) << i;
    arrow.set_pressed(false);
}

TEST_F(RepeatButtonTest, QuickPressIsOneClickAndADisabledArrowDoesNotRepeat) {
    app::RepeatButton& arrow = form().exact_finish_panel().right;
    arrow.set_pressed(true);
    after(200);
    arrow.set_pressed(false);
    EXPECT_EQ(events_of(arrow), 1);

    arrow.set_enabled(false);
    arrow.set_pressed(true);
    after(2000);
    arrow.set_pressed(false);
    EXPECT_EQ(events_of(arrow), 1);
}

TEST_F(RepeatButtonTest, HeldArrowKeysOfTheExactPanelRepeatTheirButtons) {
    reach_exact_start_panel(2.0, 8.0);
    app::PanelExact& panel = form().exact_start_panel();
    EXPECT_TRUE(panel.on_keydown(skinner::Key::Right));
    after(500);
    after(100);
    EXPECT_TRUE(panel.on_keyup(skinner::Key::Right));
    // Two repeats, once more on release, and the click.
    EXPECT_EQ(events_of(panel.right), 4);
    EXPECT_NEAR(form().get_start(), units(2.4), 2);
}

}  // namespace
}  // namespace app_test
