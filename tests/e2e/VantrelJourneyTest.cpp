// Vantrel itself through its real SDL window: from the device's folders to a clip in My
// Documents, its preview heard through the wav: device, the start and the finish marked by
// key, the save panel reached, the screen turned, and the program ended by its own Exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

namespace fs = std::filesystem;

// The position bar moves by itself while the preview plays.
const e2e::Match bar_moves{.ignore = {{0, 52, 480, 80}}};

void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

TEST(VantrelJourney, FromTheFolderToTheSavePanelWithThePreviewHeard) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("vantrel");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    const std::string clip = root.host("My Documents/Sweep.wav");
    fixtures::ToneSpec tone;
    tone.seconds = 8.0;
    tone.channels = 2;
    tone.frequency = 220.0;
    tone.sweep_to = 1760.0;
    ASSERT_TRUE(fixtures::make_wav(clip, tone));

    e2e::Launch launch;
    launch.program = e2e::install_program(root);
    launch.zoom = 1;
    ASSERT_TRUE(journey.start(launch));
    // The device's folders, the first one selected.
    EXPECT_TRUE(journey.screen_matches("1-folders"));

    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-my-documents"));

    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("3-start-panel", bar_moves));

    // The preview starts a second after the clip was chosen.
    wait(2000);
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("4-finish-panel", bar_moves));

    wait(2500);
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("5-save-panel"));

    ASSERT_TRUE(journey.turn());
    EXPECT_TRUE(journey.screen_matches("6-save-panel-turned"));
    ASSERT_TRUE(journey.turn());
    EXPECT_TRUE(journey.screen_matches("5-save-panel"));

    // Exit is the last of the panel's buttons.
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_EQ(journey.wait_exit(20000), 0) << journey.program_output();

    // What was heard is the clip from its beginning, unchanged, up to where Finish was pressed:
    // at least the two and a half seconds between the marks and half a second before them.
    EXPECT_TRUE(e2e::heard_from_the_start(clip, journey.recording(), 3.0)) << journey.program_output();

    // The settings were written as the form closed: the folder and the clip.
    const std::string text = e2e::settings_text(root);
    EXPECT_NE(text.find("CurrentFolder \\My Documents\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sweep.wav"), std::string::npos) << text;
}

}  // namespace
