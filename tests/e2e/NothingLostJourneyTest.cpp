// Vantrel through its real SDL window when things go wrong: killed while it replaces a
// ringtone (the old one stays, whole, and the next start removes what the killed run left),
// and a FIFO named like a clip in the file list (refused at once, the list answers on, and the
// host's request to end the program ends it with its settings written, box and all).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>
#include <string>
#include <thread>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Waits until the program's logs hold the line for the nth time.
bool logged(const fixtures::DeviceRoot& root, const std::string& line, size_t times) {
    return e2e::wait_for_log(root, line, 60000, times);
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
        if (condition()) return true;
        wait(20);
    }
    return condition();
}

std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The name field's caret blinks.
const e2e::Match caret_blinks{.ignore = {}, .channel_tolerance = 32, .allowed_pixels = 80};

constexpr const char* first_frame = "FormMain first frame painted";

e2e::Launch vantrel_launch(const fixtures::DeviceRoot& root) {
    e2e::Launch launch;
    launch.program = e2e::install_program(root);
    launch.zoom = 1;
    return launch;
}

TEST(NothingLostJourney, AKillWhileReplacingARingtoneLeavesTheOldOneWhole) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    if (!fixtures::have_program("lame") || !fixtures::have_program("sox")) {
        GTEST_SKIP() << "missing: lame or sox";
    }
    e2e::Journey journey("nothing_lost_kill");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    fs::create_directories(root.host("Windows/Rings"));
    // Ten minutes, marked across most of their length: seconds of writing to be killed in.
    fixtures::ToneSpec tone;
    tone.seconds = 600.0;
    tone.frequency = 220.0;
    tone.sweep_to = 1760.0;
    tone.amplitude = 0.2;
    ASSERT_TRUE(fixtures::make_wav(root.host("My Documents/Quiet.wav"), tone));
    const std::string old_ringtone = root.host("Windows/Rings/Old.mp3");
    ASSERT_TRUE(fixtures::make_mp3(old_ringtone, {.tone = {.seconds = 3.0}, .kbps = 64}));
    const std::vector<uint8_t> old_bytes = fixtures::read_bytes(old_ringtone);
    ASSERT_TRUE(e2e::enable_program_log(root));

    const e2e::Launch launch = vantrel_launch(root);
    ASSERT_TRUE(journey.start(launch));
    ASSERT_TRUE(logged(root, first_frame, 1)) << journey.program_output();
    ASSERT_TRUE(e2e::mark_most_of_the_first_clip(journey));
    // Save as "Old", over the ringtone that is there.
    ASSERT_TRUE(journey.key("Down"));
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.screen_matches("1-name-dialog", caret_blinks));
    ASSERT_TRUE(journey.type("Old"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-replace-question"));
    ASSERT_TRUE(journey.key("Return"));

    // Killed once the new ringtone is well under way (wherever it is written).
    const std::string partial = old_ringtone + ".vantrel-part";
    auto written = [](const std::string& path) {
        std::error_code error;
        const auto size = fs::file_size(path, error);
        return !error && size > 100000;
    };
    ASSERT_TRUE(wait_until([&] { return written(partial) || written(old_ringtone); }, 180000)) << e2e::program_log(root);
    ASSERT_TRUE(journey.signal(SIGKILL));
    journey.wait_exit(10000);
    ASSERT_FALSE(journey.running());
    EXPECT_TRUE(fixtures::read_bytes(old_ringtone) == old_bytes) << "the old ringtone changed";
    EXPECT_EQ(names_in(root.host("Windows/Rings")), (std::vector<std::string>{"Old.mp3", "Old.mp3.vantrel-part"}));

    // The next start removes what the killed run left, and nothing else.
    ASSERT_TRUE(journey.start(launch));
    ASSERT_TRUE(logged(root, first_frame, 2)) << journey.program_output();
    EXPECT_EQ(names_in(root.host("Windows/Rings")), std::vector<std::string>{"Old.mp3"});
    EXPECT_TRUE(fixtures::read_bytes(old_ringtone) == old_bytes) << "the old ringtone changed";
    EXPECT_NE(e2e::program_log(root).find("FileWriterMP3 removed partial file {\\Windows\\Rings\\Old.mp3.vantrel-part} result=true"),
              std::string::npos);
    ASSERT_TRUE(journey.signal(SIGTERM));
    EXPECT_EQ(journey.wait_exit(20000), 0) << journey.program_output();
}

TEST(NothingLostJourney, AFifoInTheListIsRefusedAtOnceAndTheProgramEndsOnRequest) {
    if (std::string missing = e2e::missing_tools(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    e2e::Journey journey("nothing_lost_fifo");
    const fixtures::DeviceRoot& root = journey.root();
    fs::create_directories(root.host("My Documents"));
    fs::create_directories(root.host("Temp"));
    // A FIFO named like a clip, before a clip that plays.
    ASSERT_EQ(mkfifo(root.host("My Documents/Pipe.mp3").c_str(), 0666), 0);
    ASSERT_TRUE(fixtures::make_wav(root.host("My Documents/Tune.wav"), {}));
    ASSERT_TRUE(e2e::enable_program_log(root));

    ASSERT_TRUE(journey.start(vantrel_launch(root)));
    ASSERT_TRUE(logged(root, first_frame, 1)) << journey.program_output();
    ASSERT_TRUE(journey.key("Return"));
    ASSERT_TRUE(journey.key("Down"));
    EXPECT_TRUE(journey.screen_matches("1-fifo-selected"));
    // A second is all it may take: the first look after it finds the box.
    ASSERT_TRUE(journey.key("Return"));
    wait(1000);
    const bool updating = std::getenv("VANTREL_E2E_UPDATE") != nullptr;
    EXPECT_TRUE(journey.screen_matches("2-cannot-be-played", {.ignore = {}, .channel_tolerance = 32, .allowed_pixels = 16, .timeout_ms = updating ? 20000 : 0}));
    // Its OK, and the list answers the keys again.
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("1-fifo-selected"));
    ASSERT_TRUE(journey.key("Down"));
    EXPECT_TRUE(journey.screen_matches("3-tune-selected"));
    ASSERT_TRUE(journey.key("Up"));
    ASSERT_TRUE(journey.key("Return"));
    EXPECT_TRUE(journey.screen_matches("2-cannot-be-played"));

    // The host asks the program to end while the box waits: it ends as its Exit does.
    ASSERT_TRUE(journey.signal(SIGTERM));
    EXPECT_EQ(journey.wait_exit(20000), 0) << journey.program_output();
    const std::string text = e2e::settings_text(root);
    EXPECT_NE(text.find("CurrentFolder \\My Documents\n"), std::string::npos) << text;
    EXPECT_NE(text.find("SelectedPath \\My Documents\\Pipe.mp3\n"), std::string::npos) << text;
}

}  // namespace
