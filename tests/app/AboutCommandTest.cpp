// The main form's About: the dialogs skin loaded on first use and kept, a skin that does not
// fit refused with a message box on every try, and the settings saved after each showing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/FormAbout.h"
#include "tests/app/support/DialogTesting.h"
#include "tests/app/support/MainFormTesting.h"
#include "tests/fixtures/AudioFixtures.h"
#include "ui/controls/ControlButton.h"

namespace app_test {
namespace {

using dialog_test::control;
using dialog_test::Script;

class AboutCommandTest : public MainFormTest {
public:
    void SetUp() override {
        MainFormTest::SetUp();
        form().set_settings_path(u"\\Settings.ini");
    }
    // A test skin of the build as the dialogs skin.
    void use_test_skin(const std::string& name) {
        std::filesystem::copy_file(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/skins/" + name + "/" + name + ".skin",
                                   root.host(name + ".skin"));
        form().set_dialogs_skin_path(u"\\" + std::u16string(name.begin(), name.end()) + u".skin");
    }
    // The settings file as ASCII (it is UTF-16).
    std::string settings() {
        const std::string bytes = fixtures::read_file(root.host("Settings.ini"));
        std::string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
        return text;
    }
    // Runs About, closing it with the button; whether it showed.
    bool show_about(const char16_t* button) {
        bool shown = false;
        Script script({[&] {
            if (auto* about = dynamic_cast<app::FormAbout*>(skinner::Form::get_modal_form())) {
                shown = true;
                control<skinner::ControlButton>(*about, button)->click();
            }
        }});
        form().on_command(u"About");
        return shown;
    }
};

TEST_F(AboutCommandTest, LoadsTheDialogsSkinOnceAndSavesTheSettingsAfterEachShowing) {
    form().set_dialogs_skin_path(u"\\skins\\settings\\dialogs.skin");
    select_clip(u"b.wav");
    skinner::Properties* first = nullptr;
    for (const char16_t* button : {u"btnClose", u"btnExit"}) {
        std::remove(root.host("Settings.ini").c_str());
        EXPECT_TRUE(show_about(button));
        if (!first) first = form().get_dialogs_skin();
        EXPECT_EQ(form().get_dialogs_skin(), first);  // kept, not loaded again
        EXPECT_EQ(settings(), "CurrentFolder \\Clips\nSelectedPath \\Clips\\b.wav\n");
    }
    EXPECT_TRUE(shown_boxes().empty());
}

TEST_F(AboutCommandTest, TheDialogsSkinsIdentifierIsNotCompared) {
    use_test_skin("other_dialogs");
    EXPECT_TRUE(show_about(u"btnClose"));
    EXPECT_TRUE(shown_boxes().empty());
}

TEST_F(AboutCommandTest, ASkinThatDoesNotLoadOrFitShowsTheBoxOnEveryTry) {
    const char* skins[] = {"", "smartphone_dialogs"};
    for (const char* skin_name : skins) {
        SCOPED_TRACE(skin_name);
        make_form();
        form().set_settings_path(u"\\Settings.ini");
        if (*skin_name) {
            use_test_skin(skin_name);
        } else {
            form().set_dialogs_skin_path(u"\\skins\\settings\\missing.skin");
        }
        watch_message_boxes();
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_FALSE(show_about(u"btnClose"));
            ASSERT_EQ(shown_boxes().size(), static_cast<size_t>(attempt + 1));
            const ShownBox& box = shown_boxes().back();
            EXPECT_EQ(box.text, u"Skin failed to load, because memory is low");
            EXPECT_EQ(box.caption, u"Vantrel");
            EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
            EXPECT_EQ(box.owner, form().get_hwnd());
        }
        EXPECT_NE(form().get_dialogs_skin(), nullptr);  // kept, and tested again each time
        EXPECT_FALSE(fixtures::file_exists(root.host("Settings.ini")));
    }
}

}  // namespace
}  // namespace app_test
