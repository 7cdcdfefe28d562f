// The form demo's name field through its real SDL window: a name typed on the desktop
// keyboard, its last word selected with a double tap, cut through the context menu that a
// tap and hold opens, and pasted back through it.
#include <gtest/gtest.h>

#include "tests/e2e/support/Journey.h"

namespace {

TEST(NameFieldJourney, ANameTypedSelectedCutAndPastedBackThroughTheContextMenu) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("name_field");
    e2e::Launch launch;
    launch.program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/form_demo";
    launch.zoom = 2;
    ASSERT_TRUE(journey.start(launch));
    // The caret blinks: a column of it may differ from the reference.
    e2e::Match match;
    match.allowed_pixels = 64;

    ASSERT_TRUE(journey.key("Prior"));  // PageUp opens the name screen, its field focused
    EXPECT_TRUE(journey.screen_matches("0-name-screen", match));
    ASSERT_TRUE(journey.type("Morning bell"));
    EXPECT_TRUE(journey.screen_matches("1-typed", match));

    // The field lies at (20, 120) to (460, 176) of the screen; a double tap beyond the text
    // selects its last word.
    ASSERT_TRUE(journey.double_tap(420, 148));
    EXPECT_TRUE(journey.screen_matches("2-word-selected", match));

    // Held still, the pen opens the context menu where it is: Cut, Copy, Paste, Delete, then
    // Select All below a separator, 40 pixels an entry.
    ASSERT_TRUE(journey.hold(262, 148));
    EXPECT_TRUE(journey.screen_matches("3-menu", match));
    ASSERT_TRUE(journey.tap(300, 168));  // Cut
    EXPECT_TRUE(journey.screen_matches("4-cut", match));

    ASSERT_TRUE(journey.hold(262, 148));
    EXPECT_TRUE(journey.screen_matches("5-menu-with-paste", match));
    ASSERT_TRUE(journey.tap(300, 248));  // Paste
    EXPECT_TRUE(journey.screen_matches("6-pasted-back", match));
    EXPECT_TRUE(journey.running()) << journey.program_output();
}

}  // namespace
