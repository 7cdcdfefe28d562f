// The journey harness on the window demo: keys, a tap and a stroke through the real SDL
// window at twice the device's size, each screen compared with its reference.
#include <gtest/gtest.h>

#include "tests/e2e/support/Journey.h"

namespace {

// The clock window's half of the screen ticks by itself.
const e2e::Match pad_only{.ignore = {{0, 52, 480, 248}}};

TEST(WindowDemoJourney, KeysATapAndAStrokeReachThePad) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("window_demo");
    e2e::Launch launch;
    launch.program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/window_demo";
    launch.zoom = 2;
    ASSERT_TRUE(journey.start(launch));
    EXPECT_EQ(journey.zoom(), 2);
    EXPECT_TRUE(journey.screen_matches("1-start", pad_only));

    ASSERT_TRUE(journey.key("h"));
    ASSERT_TRUE(journey.key("i"));
    ASSERT_TRUE(journey.tap(400, 540));
    EXPECT_TRUE(journey.screen_matches("2-typed-and-tapped", pad_only));

    ASSERT_TRUE(journey.drag(40, 400, 440, 520));
    EXPECT_TRUE(journey.screen_matches("3-stroke", pad_only));
    EXPECT_TRUE(journey.running()) << journey.program_output();
}

}  // namespace
