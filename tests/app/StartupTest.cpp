// The program's main function in this process: a skin that does not fit ends it after one
// message box; otherwise the four stage lines come in order, the main form runs, and the
// settings are written once it has closed, however it was closed.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/FormMain.h"
#include "app/MessageBox.h"
#include "app/Startup.h"
#include "tests/app/support/MainFormTesting.h"
#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/BackgroundProcess.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/fixtures/SkinCompiler.h"
#include "ui/forms/Form.h"

namespace app_test {
namespace {

class StartupTest : public ::testing::Test {
public:
    void SetUp() override {
        install_program_files(root);
        watch_message_boxes();
        paths.skin = u"\\skins\\default\\default.skin";
        paths.settings = u"\\Settings.ini";
    }
    void TearDown() override { stop_watching_message_boxes(); }

    // Runs the program; once its main form shows, `with_form` runs on it from a timer.
    void run(std::function<void(app::FormMain&)> with_form) {
        closer = std::move(with_form);
        const uintptr_t timer = SetTimer(nullptr, 0, 20, &StartupTest::tick);
        EXPECT_EQ(app::run_vantrel(nullptr, u"", paths), 0);
        KillTimer(nullptr, timer);
        closer = nullptr;
    }

    static void tick(HWND, UINT, uintptr_t, DWORD) {
        if (!closer) return;
        for (skinner::Form* form : skinner::Form::get_open_forms()) {
            if (auto* main = dynamic_cast<app::FormMain*>(form); main && main->is_in_modal()) {
                auto once = std::move(closer);
                closer = nullptr;
                once(*main);
                return;
            }
        }
    }

    fixtures::DeviceRoot root;
    app::StartupPaths paths;
    static inline std::function<void(app::FormMain&)> closer;
};

TEST_F(StartupTest, SkinThatDoesNotFitEndsTheProgramAfterOneBox) {
    const std::string skinc = fixtures::skinc_path(VANTREL_TEST_BINARY_DIR);
    struct Case {
        const char* what;
        const char* source;  // null: no skin file at all
    };
    const std::vector<Case> cases = {
        {"no skin file", nullptr},
        {"another version", R"({"identifier": "Vantrel_1.0", "devices": "", "screens": [[240, 320]], "forms": {}})"},
        {"no layout for the screen", R"({"identifier": "Vantrel_1.1", "devices": "", "screens": [[640, 480]], "forms": {}})"},
        {"for another device", R"({"identifier": "Vantrel_1.1", "devices": "S", "screens": [[240, 320]], "forms": {}})"},
    };
    fixtures::enable_log(root);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "unfit" + std::to_string(n++);
        if (c.source) {
            std::string messages;
            ASSERT_EQ(fixtures::compile_skin(skinc, root.path(), name, c.source, "", &messages), 0) << messages;
        }
        paths.skin = u"\\" + std::u16string(name.begin(), name.end()) + u".skin";
        watch_message_boxes();
        run([](app::FormMain& form) { form.close(); });
        ASSERT_EQ(shown_boxes().size(), 1u);
        EXPECT_EQ(shown_boxes()[0].owner, nullptr);
        EXPECT_EQ(shown_boxes()[0].text, u"Skin failed to load, because memory is low");
        EXPECT_EQ(shown_boxes()[0].caption, u"Vantrel");
        EXPECT_EQ(shown_boxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_TRUE(skinner::Form::get_open_forms().empty());
    }
    EXPECT_EQ(fixtures::read_logs(root).find("===="), std::string::npos);
    EXPECT_FALSE(fixtures::file_exists(root.host("Settings.ini")));
}

TEST_F(StartupTest, WithoutADisplayNothingIsBuiltAndTheProgramSaysSo) {
    fixtures::enable_log(root);
    paths.display_ready = [] { return false; };
    EXPECT_EQ(app::run_vantrel(nullptr, u"", paths), app::no_display_exit_code);
    EXPECT_TRUE(shown_boxes().empty());
    EXPECT_TRUE(skinner::Form::get_open_forms().empty());
    EXPECT_EQ(fixtures::read_logs(root).find("===="), std::string::npos);
}

// The program itself, installed in the root so that its settings are the test's own.
std::string install_vantrel(const fixtures::DeviceRoot& root) {
    const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "bin";
    const std::string folder = "Program Files/Vantrel";
    install_program_files(root, folder);
    std::filesystem::copy_file(built / "Vantrel", root.host(folder + "/Vantrel"));
    return root.host(folder + "/Vantrel");
}

TEST_F(StartupTest, ASecondStartEndsAtOnceWhileTheFirstRunsOn) {
    fixtures::enable_log(root);
    const std::string program = install_vantrel(root);
    const std::string environment = root.environment() + " VANTREL_DISPLAY=headless VANTREL_AUDIO=null";
    fixtures::BackgroundProcess first("exec env " + environment + " " + fixtures::shell_quoted(program));
    ASSERT_TRUE(first.started());
    for (int i = 0; i < 200 && fixtures::read_logs(root).find("==== load_settings") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(fixtures::read_logs(root).find("==== load_settings"), std::string::npos);
    EXPECT_EQ(fixtures::run_command("env " + environment + " " + fixtures::shell_quoted(program) + " again"), 0);
    // The first one's four lines, none of the second's.
    const std::string log = fixtures::read_logs(root);
    size_t stages = 0;
    for (size_t at = log.find("==== "); at != std::string::npos; at = log.find("==== ", at + 1)) ++stages;
    EXPECT_EQ(stages, 4u);
    EXPECT_FALSE(first.has_exited());
    first.stop(5000);
}

// The host's requests to end the program (a logout, kill, Ctrl-C, a closed terminal) end it as
// its Exit does, the settings written, on the headless display too.
TEST_F(StartupTest, TheHostsRequestsToEndTheProgramEndItAsExitDoes) {
    fixtures::enable_log(root);
    const std::string program = install_vantrel(root);
    const std::string settings = root.host("Program Files/Vantrel/Settings.ini");
    const std::string environment = root.environment() + " VANTREL_DISPLAY=headless VANTREL_AUDIO=null";
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal_number);
        std::filesystem::remove(settings);
        const size_t logged_before = fixtures::read_logs(root).size();
        auto logged = [&](const char* line) { return fixtures::read_logs(root).find(line, logged_before) != std::string::npos; };
        fixtures::BackgroundProcess vantrel("exec env " + environment + " " + fixtures::shell_quoted(program));
        ASSERT_TRUE(vantrel.started());
        for (int i = 0; i < 400 && !logged("FormMain first frame painted"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(logged("FormMain first frame painted"));
        ASSERT_TRUE(vantrel.signal(signal_number));
        EXPECT_EQ(vantrel.wait(20000), 0);
        EXPECT_TRUE(fixtures::file_exists(settings));
    }
}

// Also while a message box waits for its answer: the box ends, then every loop under it.
TEST_F(StartupTest, ATerminationRequestEndsAMessageBoxAndTheProgramBehindIt) {
    std::filesystem::create_directories(root.host("My Clips"));
    fixtures::write_file(root.host("My Clips/tune.wav"), "x");
    stop_watching_message_boxes();  // a real box, with its own loop
    bool box_returned = false;
    run([&](app::FormMain& form) {
        form.open_folder(u"\\My Clips");
        SetTimer(nullptr, 0, 200, [](HWND, UINT, uintptr_t timer, DWORD) {
            KillTimer(nullptr, timer);
            raise(SIGTERM);
        });
        app::message_box(form.get_hwnd(), u"This file cannot be played.", u"Vantrel", MB_OK | MB_ICONEXCLAMATION);
        box_returned = true;
    });
    EXPECT_TRUE(box_returned);
    app::SettingsFile settings(paths.settings);
    EXPECT_EQ(settings.read(app::settings_key_current_folder, u""), u"\\My Clips");
}

TEST_F(StartupTest, LogShowsTheFourStagesInOrderEachWithItsOwnDuration) {
    fixtures::enable_log(root);
    run([](app::FormMain& form) { form.close(); });
    EXPECT_TRUE(shown_boxes().empty());
    const std::string log = fixtures::read_logs(root);
    const std::regex stage("==== (skinner::Properties properties|load lang|FormMain|load_settings) ([0-9]+\\.[0-9]+)\n");
    std::vector<std::string> stages;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), stage); it != std::sregex_iterator(); ++it) {
        stages.push_back((*it)[1]);
        EXPECT_GE(std::stod((*it)[2]), 0.0);
        EXPECT_LT(std::stod((*it)[2]), 60.0);
    }
    EXPECT_EQ(stages, (std::vector<std::string>{"skinner::Properties properties", "load lang", "FormMain", "load_settings"}));
}

// A run that was killed while it wrote a ringtone left a partial file beside it: the next
// start removes it, and nothing else of the folder.
TEST_F(StartupTest, PartialRingtonesOfAKilledRunAreRemovedAtTheStart) {
    std::filesystem::create_directories(root.host("Windows/Rings"));
    fixtures::write_file(root.host("Windows/Rings/Evening.mp3"), "the old ringtone");
    fixtures::write_file(root.host("Windows/Rings/Evening.mp3.vantrel-part"), "half of the new one");
    fixtures::write_file(root.host("Windows/Rings/notes.txt"), "kept");
    bool gone_at_the_start = false;
    run([&](app::FormMain& form) {
        gone_at_the_start = !fixtures::file_exists(root.host("Windows/Rings/Evening.mp3.vantrel-part"));
        form.close();
    });
    EXPECT_TRUE(gone_at_the_start);
    EXPECT_EQ(fixtures::read_file(root.host("Windows/Rings/Evening.mp3")), "the old ringtone");
    EXPECT_EQ(fixtures::read_file(root.host("Windows/Rings/notes.txt")), "kept");
}

TEST_F(StartupTest, SettingsAreWrittenAfterTheMainFormClosedWhateverClosedIt) {
    std::filesystem::create_directories(root.host("My Clips"));
    fixtures::write_file(root.host("My Clips/tune.wav"), "x");
    struct Case {
        const char* what;
        std::function<void(app::FormMain&)> close;
    };
    const std::vector<Case> cases = {
        {"Exit", [](app::FormMain& form) { form.on_command(u"Exit"); }},
        {"btnExit", [](app::FormMain& form) { form.save_panel().exit.click(); }},
        {"the window's close, as the desktop's close button sends it",
         [](app::FormMain& form) { PostMessageW(form.get_hwnd(), WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(root.host("Settings.ini"));
        run([&](app::FormMain& form) {
            form.open_folder(u"\\My Clips");
            form.file_list().select_path(form.file_list().item_at(1).path);
            EXPECT_FALSE(fixtures::file_exists(root.host("Settings.ini")));
            c.close(form);
        });
        app::SettingsFile settings(paths.settings);
        EXPECT_EQ(settings.read(app::settings_key_current_folder, u""), u"\\My Clips");
        EXPECT_EQ(settings.read(app::settings_key_selected_path, u""), u"\\My Clips\\tune.wav");
    }
}

}  // namespace
}  // namespace app_test
