// The edit window through the real SDL window: a name typed with the desktop keyboard (an
// accent too), a word selected with the keys and cut, pasted back, the wheel turned, a
// selection dragged with the mouse, and the screen turned; each screen compared with its
// reference.
#include <gtest/gtest.h>

#include "tests/e2e/support/Journey.h"

namespace {

TEST(EditDemoJourney, ANameIsTypedSelectedCutPastedBackAndTheScreenTurned) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("edit_demo");
    e2e::Launch launch;
    launch.program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/edit_demo";
    launch.zoom = 1;
    ASSERT_TRUE(journey.start(launch));

    for (const char* key : {"R", "i", "n", "g", "space", "c", "a", "f", "eacute", "exclam"}) {
        ASSERT_TRUE(journey.key(key)) << key;
    }
    EXPECT_TRUE(journey.screen_matches("1-typed"));

    ASSERT_TRUE(journey.key("shift+ctrl+Left"));
    EXPECT_TRUE(journey.screen_matches("2-word-selected"));

    ASSERT_TRUE(journey.key("ctrl+x"));
    EXPECT_TRUE(journey.screen_matches("3-cut"));

    for (const char* key : {"Home", "ctrl+v", "space"}) {
        ASSERT_TRUE(journey.key(key)) << key;
    }
    ASSERT_TRUE(journey.wheel(240, 500, 3));
    EXPECT_TRUE(journey.screen_matches("4-pasted-back-and-wheel"));

    ASSERT_TRUE(journey.drag(30, 121, 120, 121));
    EXPECT_TRUE(journey.screen_matches("5-dragged"));

    ASSERT_TRUE(journey.turn());
    EXPECT_TRUE(journey.screen_matches("6-turned"));
    EXPECT_TRUE(journey.running()) << journey.program_output();
}

}  // namespace
