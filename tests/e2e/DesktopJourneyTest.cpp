// Vantrel as a desktop program: its first start shows the user's documents folder, its window
// stays on the desktop as the screen turns and the zoom that fits changes with it, and Help and
// the About links say so when the desktop has nothing to open them with.
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

::testing::AssertionResult lies_inside(const e2e::Area& window, const e2e::Area& desktop) {
    if (window.width > 0 && window.x >= desktop.x && window.y >= desktop.y &&
        window.x + window.width <= desktop.x + desktop.width && window.y + window.height <= desktop.y + desktop.height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the window " << window.width << "x" << window.height << " at ("
                                         << window.x << ", " << window.y << ") leaves the desktop " << desktop.width
                                         << "x" << desktop.height;
}

class DesktopJourney : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = e2e::missing_tools(); !missing.empty()) {
            GTEST_SKIP() << "missing: " << missing;
        }
    }
};

// The program installed in the journey's device root, which has the device's usual folders.
e2e::Launch device_launch(const e2e::Journey& journey) {
    fs::create_directories(journey.root().host("My Documents"));
    fs::create_directories(journey.root().host("Temp"));
    e2e::Launch launch;
    launch.program = e2e::install_program(journey.root());
    return launch;
}

// The window's move may follow its new size by a moment.
::testing::AssertionResult stays_inside(const e2e::Journey& journey) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    ::testing::AssertionResult inside = lies_inside(journey.window_area(), journey.display_area());
    while (!inside && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        inside = lies_inside(journey.window_area(), journey.display_area());
    }
    return inside;
}

TEST_F(DesktopJourney, TheFirstStartShowsTheDocumentsFolderAndTheSettingsKeepWhereItEnded) {
    e2e::Journey journey("desktop_first_start");
    const std::string documents = journey.root().host("home/Documents");
    fs::create_directories(documents + "/Songs");
    fixtures::ToneSpec tone;
    tone.seconds = 1.0;
    ASSERT_TRUE(fixtures::make_wav(documents + "/Tune.wav", tone));
    e2e::Launch launch;
    launch.program = e2e::install_program(journey.root());
    launch.zoom = 1;
    launch.sandbox = false;
    launch.environment = {"XDG_DOCUMENTS_DIR=" + documents};
    ASSERT_TRUE(journey.start(launch));
    // The way up, the folder, the clip; not the host's /.
    EXPECT_TRUE(journey.screen_matches("1-documents"));
    // Into Songs, then Exit, the last entry of the right soft key's menu.
    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-songs"));
    ASSERT_TRUE(journey.key("F2"));
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_EQ(journey.wait_exit(20000), 0) << journey.program_output();
    std::string device_songs = documents + "/Songs";
    std::replace(device_songs.begin(), device_songs.end(), '/', '\\');
    const std::string text = e2e::settings_text(journey.root());
    EXPECT_NE(text.find("CurrentFolder " + device_songs + "\n"), std::string::npos) << text;
}

TEST_F(DesktopJourney, TheWindowStaysOnTheDesktopAsTheScreenTurns) {
    e2e::Journey journey("desktop_turn");
    e2e::Launch launch = device_launch(journey);
    launch.display_width = 1600;
    launch.display_height = 1200;
    ASSERT_TRUE(journey.start(launch));
    EXPECT_TRUE(stays_inside(journey));
    // 640x480 fits twice on this desktop, but not where the upright window stood.
    for (int turn = 0; turn < 2; ++turn) {
        ASSERT_TRUE(journey.turn());
        EXPECT_TRUE(stays_inside(journey)) << "after turn " << turn + 1;
    }
    EXPECT_FALSE(journey.screen().empty());
}

TEST_F(DesktopJourney, HelpAndTheLinksSaySoWhenNothingCanOpenThem) {
    e2e::Journey journey("desktop_no_opener");
    // A desktop without xdg-open: the program's PATH holds an empty folder.
    const std::string empty = journey.output_folder() + "/empty";
    fs::create_directories(empty);
    e2e::Launch launch = device_launch(journey);
    launch.zoom = 1;
    launch.environment = {"PATH=" + empty};
    ASSERT_TRUE(journey.start(launch));
    EXPECT_TRUE(journey.screen_matches("0-folders"));
    // Help is the third entry from the end of the right soft key's menu.
    ASSERT_TRUE(journey.key("F2"));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("1-help-without-opener"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("0-folders"));
    // About, then its second link; the links' colours follow the pointer.
    const e2e::Match links_follow_the_pointer{.ignore = {{80, 350, 320, 75}}};
    ASSERT_TRUE(journey.key("F2"));
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-about", links_follow_the_pointer));
    ASSERT_TRUE(journey.tap(240, 405));
    EXPECT_TRUE(journey.screen_matches("3-link-without-opener"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-about", links_follow_the_pointer));
    EXPECT_TRUE(journey.running());
}

}  // namespace
