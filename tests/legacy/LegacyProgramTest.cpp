// The older program in this process, from its built skin archive: English first, then the
// language its settings name; its own menu whose "Language_" commands switch at once and save
// the settings; and the texts in which it differs from the current build.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/FormAbout.h"
#include "app/FormMain.h"
#include "base/Log.h"
#include "base/Registry.h"
#include "legacy/ArchivePictures.h"
#include "legacy/LegacyBuild.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/legacy/support/LegacyTesting.h"
#include "ui/application/Application.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"
#include "ui/graphics/Picture.h"
#include "ui/skin/Properties.h"

using legacy_test::LegacyRun;
using legacy_test::ProgramLanguageFile;
using legacy_test::render;
using legacy_test::settings_text;

namespace {

const char* kEnglish =
    "Select=Select\nFormMain_caption=Main form\nMenu_Language=Languages\nMenu_Help=Help me\nMenu_About=About us\n"
    "Menu_Exit=Leave\n";
const char* kGerman =
    "Select=Auswahl\nFormMain_caption=Hauptform\nMenu_Language=Sprachen\nMenu_Help=Hilfe\nMenu_About=Info\n"
    "Menu_Exit=Beenden\n";

std::u16string caption_of(HWND window) {
    WCHAR text[64] = {};
    const int n = GetWindowTextW(window, text, 64);
    return std::u16string(text, n > 0 ? n : 0);
}

std::string main_menu(app::FormMain& form) {
    skinner::MenuItem menu(u"Menu", u"Menu");
    form.create_menu(menu);
    return render(menu);
}

class LegacyProgram : public ::testing::Test {
protected:
    fixtures::DeviceRoot root;
    ProgramLanguageFile english{"English.lng", kEnglish};
    ProgramLanguageFile german{"German.lng", kGerman};
};

}  // namespace

TEST_F(LegacyProgram, StartsInEnglishThenTakesTheLanguageItsSettingsName) {
    const struct {
        const char* settings;  // null: no settings file
        const char16_t* select;
        const char* kept;
    } cases[] = {
        {nullptr, u"Select", "Language English\n"},
        {"Language German\n", u"Auswahl", "Language German\n"},
        {"Language=German\n", u"Auswahl", "Language German\n"},
        // No such file: the English strings, but the name stays what the user chose.
        {"Language Klingon\n", u"Select", "Language Klingon\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings ? c.settings : "no settings");
        LegacyRun program(root);
        std::filesystem::remove(program.settings_host_path);
        if (c.settings) fixtures::write_file(program.settings_host_path, c.settings);
        program.run([&](app::FormMain& form) { EXPECT_EQ(form.get_properties()->get_string(u"Select"), c.select); });
        EXPECT_NE(settings_text(program.settings_host_path).find(c.kept), std::string::npos)
            << settings_text(program.settings_host_path);
    }
}

TEST_F(LegacyProgram, ALanguageCommandSwitchesAtOnceAndSavesTheSettings) {
    LegacyRun program(root);
    program.run([&](app::FormMain& form) {
        EXPECT_EQ(main_menu(form),
                  "Menu=Menu[Languages=Language[English=Language_English*,German=Language_German]|,Help me=Help,"
                  "About us=About,Leave=Exit]");
        form.on_command(u"Language_German");
        EXPECT_EQ(form.get_properties()->get_string(u"Select"), u"Auswahl");
        // Saved before the program ends, with the folder and the selection.
        const std::string saved = settings_text(program.settings_host_path);
        EXPECT_NE(saved.find("CurrentFolder "), std::string::npos) << saved;
        EXPECT_NE(saved.find("Language German\n"), std::string::npos) << saved;
        EXPECT_EQ(main_menu(form),
                  "Menu=Menu[Sprachen=Language[English=Language_English,German=Language_German*]|,Hilfe=Help,"
                  "Info=About,Beenden=Exit]");
        // The current build's command is not the older build's.
        form.on_command(u"Language#English");
        EXPECT_EQ(form.get_properties()->get_string(u"Select"), u"Auswahl");
    });
    // The next start comes up in the language chosen.
    program.run([](app::FormMain& form) { EXPECT_EQ(form.get_properties()->get_string(u"Select"), u"Auswahl"); });
}

TEST_F(LegacyProgram, ANewWindowIsCaptionedWithTheApplicationsNameAlone) {
    LegacyRun program(root);
    skinner::Application application(nullptr, u"Vantrel");
    skinner::Properties skin(program.paths.skin, {480, 640}, {480, 588});
    ASSERT_TRUE(skin.is_loaded());
    ASSERT_TRUE(skin.load_strings(u"%app_path%/English.lng"));
    for (bool legacy : {true, false}) {
        if (!legacy) skinner::install_framework_variant(nullptr);
        skinner::Form form(nullptr, &skin, u"FormMain");
        EXPECT_EQ(caption_of(form.get_hwnd()), legacy ? u"Vantrel" : u"Main form");
        // A language loaded later names it in both builds.
        form.reload_properties();
        EXPECT_EQ(caption_of(form.get_hwnd()), u"Main form");
    }
}

TEST_F(LegacyProgram, LogsIntoOneFileWithoutATimeStamp) {
    LegacyRun program(root);
    fixtures::enable_log(root);
    program.run([](app::FormMain&) {});
    skinner::registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", 0);
    skinner::Log::instance();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root.host("Temp"))) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"test_legacy.txt"});
    EXPECT_NE(fixtures::read_logs(root).find("==== load_settings "), std::string::npos);
}

namespace {

// What the About form showed; it is closed as soon as it runs modally.
struct AboutSeen {
    int times = 0;
    std::u16string title;
};
AboutSeen about_seen;

void close_about(HWND, UINT, uintptr_t, DWORD) {
    if (auto* about = dynamic_cast<app::FormAbout*>(skinner::Form::get_modal_form())) {
        ++about_seen.times;
        about_seen.title = about->container().title;
        about->close();
    }
}

}  // namespace

TEST_F(LegacyProgram, AboutHasTheOlderTitleAndItsDialogsSpeakTheLanguageChosenInTheMenu) {
    LegacyRun program(root);
    const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "bin" / "legacy" / "skins";
    std::filesystem::copy(built / "settings", root.host("skins/settings"), std::filesystem::copy_options::recursive);
    about_seen = {};
    std::vector<std::u16string> spoken;
    program.run([&](app::FormMain& form) {
        form.set_dialogs_skin_path(u"\\skins\\settings\\dialogs.skin");
        const uintptr_t timer = SetTimer(nullptr, 0, 10, &close_about);
        for (const char16_t* command : {u"", u"Language_German", u"Language_English"}) {
            if (*command) form.on_command(command);
            form.on_command(u"About");
            spoken.push_back(form.get_dialogs_skin() ? form.get_dialogs_skin()->get_string(u"Select") : u"no skin");
        }
        KillTimer(nullptr, timer);
    });
    EXPECT_EQ(about_seen.times, 3);
    EXPECT_EQ(about_seen.title, u"ZEPH Vantrel v1.22");
    EXPECT_EQ(spoken, (std::vector<std::u16string>{u"Select", u"Auswahl", u"Select"}));
}

TEST(LegacyTexts, APictureThatFailedIsReportedByItsNameAndWhereItWasLookedFor) {
    skinner::LegacyFrameworkVariant legacy;
    skinner::FrameworkVariant current;
    const skinner::Picture in_archive = skinner::archive_picture(u"\\skins\\old.skin", u"logo", false, 2);
    const skinner::Picture file(u"\\skins\\plain\\logo", false, 1);
    const struct {
        skinner::FrameworkVariant* variant;
        const skinner::Picture* picture;
        const char16_t* text;
    } cases[] = {
        {&legacy, &in_archive, u"name=logo\nbase_path=\\skins\\old.skin\nscale=2"},
        {&legacy, &file, u"name=logo\nbase_path=\\skins\\plain\\\nscale=1"},
        {&current, &file, u"full_path=\\skins\\plain\\logo\nscale=1"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.variant->picture_failure_text(*c.picture), c.text);
    EXPECT_EQ(legacy.picture_failure_text(skinner::Picture()), u"name=\nbase_path=\nscale=");
}

TEST(LegacyTexts, ARunningInstanceShowingADialogOfTheOlderClassIsBroughtForward) {
    fixtures::DeviceRoot root;  // a mutex folder of its own
    WNDCLASSW window_class;
    window_class.lpfnWndProc = DefWindowProcW;
    const struct {
        bool legacy;
        const char16_t* dialog_class;
        bool found;
    } cases[] = {
        {true, u"#32770", true},
        {true, u"Dialog", false},
        {false, u"Dialog", true},
        {false, u"#32770", false},
    };
    for (const auto& c : cases) {
        window_class.lpszClassName = c.dialog_class;
        RegisterClassW(&window_class);
        HWND dialog = CreateWindowExW(0, c.dialog_class, u"Solo", WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
        if (c.legacy) skinner::install_framework_variant(std::make_unique<skinner::LegacyFrameworkVariant>());
        EXPECT_EQ(skinner::Application::show_running_instance_open_bracket(u"", u"Solo"), c.found) << c.legacy;
        skinner::Application::show_running_instance_close_bracket();
        skinner::install_framework_variant(nullptr);
        DestroyWindow(dialog);
    }
}
