// The form demo through its real SDL window: a tap that moves the track bar's thumb, a stroke
// and typed keys on the pad (its text bar fills), a tap that opens the dialog modally over the
// main form, and Esc that closes it again.
#include <gtest/gtest.h>

#include "tests/e2e/support/Journey.h"

namespace {

TEST(FormDemoJourney, PenKeysAndADialogThroughTheRealWindow) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("form_demo");
    e2e::Launch launch;
    launch.program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/form_demo";
    launch.zoom = 2;
    ASSERT_TRUE(journey.start(launch));
    EXPECT_TRUE(journey.screen_matches("1-start"));

    // The pad lies at (20, 176) to (460, 384) of the screen, the track bar at (20, 410) to
    // (460, 430), the dialog button at (20, 508).
    ASSERT_TRUE(journey.tap(350, 420));
    ASSERT_TRUE(journey.drag(60, 380, 420, 220));
    ASSERT_TRUE(journey.key("h"));
    ASSERT_TRUE(journey.key("i"));
    EXPECT_TRUE(journey.screen_matches("2-stroke-and-keys"));

    ASSERT_TRUE(journey.tap(126, 538));
    EXPECT_TRUE(journey.screen_matches("3-dialog"));

    ASSERT_TRUE(journey.key("Escape"));
    EXPECT_TRUE(journey.screen_matches("4-dialog-closed"));
    EXPECT_TRUE(journey.running()) << journey.program_output();
}

}  // namespace
