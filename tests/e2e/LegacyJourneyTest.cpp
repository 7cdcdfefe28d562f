// Vantrel-legacy through its real SDL window: its skin drawn from the archive, its own language
// menu switching to German at once and saving the choice, its About with the older title in
// German, a clip in My Documents previewed (heard through the wav: device), marked and saved
// through the name dialog as a mono MP3 in the ringtone folder, and German still chosen after
// a restart. Also its start without a display, up to its main form.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/BackgroundProcess.h"
#include "tests/fixtures/LoggedRun.h"

namespace {

namespace fs = std::filesystem;

// The position bar (device rows 74 to 125) moves by itself while the preview plays.
const e2e::Match bar_moves{.ignore = {{0, 52, 480, 80}}};
// The name field's caret blinks.
const e2e::Match caret_blinks{.ignore = {}, .allowed_pixels = 64};

void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Polls until the condition holds; false on time-out.
template <typename Condition>
bool eventually(Condition condition, int timeout_ms = 20000) {
    for (int waited = 0; waited < timeout_ms; waited += 50) {
        if (condition()) return true;
        wait(50);
    }
    return condition();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char* const installed_skin = "Program Files/Vantrel/skins/default/default.skin";

TEST(LegacyJourney, FromTheSkinArchiveThroughGermanToASavedRingtoneAndGermanAfterARestart) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    const fs::path rings_folder = "Windows/Rings";
    fixtures::ToneSpec tone;
    tone.seconds = 8.0;
    tone.channels = 2;
    tone.frequency = 220.0;
    tone.sweep_to = 1760.0;
    std::string settings;
    {
        e2e::Journey journey("legacy");
        const fixtures::DeviceRoot& root = journey.root();
        fs::create_directories(root.host("My Documents"));
        fs::create_directories(root.host("Temp"));
        const std::string clip = root.host("My Documents/Sweep.wav");
        ASSERT_TRUE(fixtures::make_wav(clip, tone));
        fixtures::enable_log(root);

        e2e::Launch launch;
        launch.program = e2e::install_program(root, e2e::Program::legacy);
        launch.zoom = 1;
        // What the window draws comes out of a ZIP archive, not a plain skin file.
        EXPECT_EQ(fixtures::read_file(root.host(installed_skin)).substr(0, 4), std::string("PK\x03\x04", 4));
        ASSERT_TRUE(journey.start(launch));
        EXPECT_TRUE(journey.screen_matches("1-folders"));

        // The right soft key opens the menu, the Language submenu first; English is checked.
        ASSERT_TRUE(journey.key("F2"));
        EXPECT_TRUE(journey.screen_matches("2-menu"));
        ASSERT_TRUE(journey.key("Right"));
        EXPECT_TRUE(journey.screen_matches("3-languages"));
        EXPECT_FALSE(fs::exists(root.host("Program Files/Vantrel/Settings.ini")));

        // German at once, and saved at once.
        ASSERT_TRUE(journey.key("Down"));
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("4-german"));
        EXPECT_TRUE(eventually([&] { return contains(e2e::settings_text(root), "Language German\n"); }))
            << e2e::settings_text(root);

        // About, third in the menu, has the older build's title and the dialogs speak German too.
        ASSERT_TRUE(journey.key("F2"));
        ASSERT_TRUE(journey.key("Down"));
        ASSERT_TRUE(journey.key("Down"));
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("5-about"));
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("4-german"));

        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("6-my-documents"));
        ASSERT_TRUE(journey.key("Down"));
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("7-start-panel", bar_moves));
        // The preview starts a second after the clip was chosen.
        wait(2000);
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("8-finish-panel", bar_moves));
        wait(2500);
        ASSERT_TRUE(journey.key("Return"));
        EXPECT_TRUE(journey.screen_matches("9-save-panel"));

        // Save, and the proposed name taken.
        ASSERT_TRUE(journey.tap(240, 220));
        EXPECT_TRUE(journey.screen_matches("10-name-dialog", caret_blinks));
        ASSERT_TRUE(journey.key("Return"));
        const std::string ringtone = root.host((rings_folder / "Sweep_001.mp3").string());
        // The save panel shows between the name dialog and the converting form too: first the
        // worker's end, then the panel back with Save lit once the form has closed.
        EXPECT_TRUE(eventually([&] { return contains(fixtures::read_logs(root), "ConversionWorker result=0"); }, 60000))
            << fixtures::read_logs(root);
        EXPECT_TRUE(journey.screen_matches("11-saved"));
        EXPECT_TRUE(fs::exists(ringtone)) << journey.program_output();

        // Exit is the save panel's last button.
        ASSERT_TRUE(journey.tap(240, 524));
        EXPECT_EQ(journey.wait_exit(20000), 0) << journey.program_output();

        // What was heard is the clip from its beginning, unchanged.
        EXPECT_TRUE(e2e::heard_from_the_start(clip, journey.recording(), 3.0)) << journey.program_output();

        // The ringtone is the marked span, mixed down to one channel.
        const fixtures::DecodedAudio made = fixtures::decode_audio(ringtone);
        ASSERT_TRUE(made.ok);
        EXPECT_EQ(made.channels, 1);
        EXPECT_GT(made.frames(), static_cast<size_t>(made.sample_rate) * 2);
        EXPECT_LT(made.frames(), static_cast<size_t>(made.sample_rate) * 6);

        settings = fixtures::read_file(root.host("Program Files/Vantrel/Settings.ini"));
        const std::string text = e2e::settings_text(root);
        EXPECT_TRUE(contains(text, "Language German\n")) << text;
        EXPECT_TRUE(contains(text, "CurrentFolder \\My Documents\n")) << text;
        EXPECT_TRUE(contains(text, "Sweep.wav")) << text;
    }

    // Started again with the settings it left: German, and German checked in its menu.
    e2e::Journey journey("legacy/restart");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    ASSERT_TRUE(fixtures::make_wav(root.host("My Documents/Sweep.wav"), tone));
    e2e::Launch launch;
    launch.program = e2e::install_program(root, e2e::Program::legacy);
    launch.zoom = 1;
    fixtures::write_file(root.host("Program Files/Vantrel/Settings.ini"), settings);
    ASSERT_TRUE(journey.start(launch));
    ASSERT_TRUE(journey.key("F2"));
    ASSERT_TRUE(journey.key("Right"));
    EXPECT_TRUE(journey.screen_matches("1-languages-german"));
    EXPECT_TRUE(journey.running()) << journey.program_output();
}

// Without a display it starts from the archive all the same, reaches its main form, and logs
// to one file named without a time stamp.
TEST(LegacyJourney, StartsWithoutADisplayUpToItsMainForm) {
    fixtures::DeviceRoot root;
    fixtures::enable_log(root);
    const std::string program = e2e::install_program(root, e2e::Program::legacy);
    fixtures::BackgroundProcess run("exec env " + root.environment() + " VANTREL_DISPLAY=headless VANTREL_AUDIO=null " +
                                    fixtures::shell_quoted(program) + " >/dev/null 2>&1");
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(eventually([&] { return contains(fixtures::read_logs(root), "==== load_settings"); }, 30000))
        << fixtures::read_logs(root);
    EXPECT_FALSE(run.has_exited());
    const std::string log = fixtures::read_logs(root);
    EXPECT_FALSE(contains(log, "failed to load")) << log;
    std::vector<std::string> logs;
    for (const fs::directory_entry& entry : fs::directory_iterator(root.host("Temp"))) {
        logs.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(logs, std::vector<std::string>{"Vantrel-legacy.txt"});
    run.stop(5000);
}

}  // namespace
