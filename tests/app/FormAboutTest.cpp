// The About form on the dialogs skin: its title and log lines, the two buttons that close it,
// and the links, opened through the desktop's opener, or logged and said in a box when there is
// none.
#include "app/FormAbout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/MessageBox.h"
#include "platform/display/Headless.h"
#include "platform/window/Keys.h"
#include "tests/app/support/DialogTesting.h"
#include "tests/fixtures/BackgroundProcess.h"
#include "tests/fixtures/LoggedRun.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/forms/FormImpl.h"

namespace dialog_test {
namespace {

struct Box {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
};
std::vector<Box> boxes;

int record_box(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    boxes.push_back({owner, text, caption, type});
    return IDOK;
}

class FormAboutTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialogs = std::make_unique<skinner::Properties>(u"\\skins\\settings\\dialogs.skin",
                                                        skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
        ASSERT_TRUE(dialogs->is_loaded());
        ASSERT_TRUE(dialogs->load_strings(u"\\english.lng"));
        boxes.clear();
        app::set_message_box_function(record_box);
    }
    void TearDown() override {
        app::set_message_box_function(nullptr);
        pump();
        dialogs.reset();
        if (!saved_path.empty()) setenv("PATH", saved_path.c_str(), 1);
        DialogTest::TearDown();
    }
    // PATH holds only a folder of the root, with an "xdg-open" that notes its argument when
    // with_opener is set.
    void use_opener(bool with_opener) {
        saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        const std::string bin = root.host("bin");
        fixtures::run_command("mkdir -p '" + bin + "'");
        if (with_opener) {
            fixtures::write_file(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" > '" + root.host("opened.txt") + "'\n");
            fixtures::run_command("chmod +x '" + bin + "/xdg-open'");
        }
        setenv("PATH", bin.c_str(), 1);
    }

    std::unique_ptr<skinner::Properties> dialogs;
    std::string saved_path;
};

TEST_F(FormAboutTest, ShowsTheTitleLogsItsStagesInOrderAndClosesByEitherButton) {
    fixtures::enable_log(root);
    for (const char16_t* button : {u"btnClose", u"btnExit"}) {
        app::FormAbout about(nullptr, dialogs.get(), u"FormAbout", app::about_title);
        EXPECT_EQ(control<skinner::ControlLabelImpl>(about, u"frmProduct")->get_text(), u"ZEPH Vantrel 1.24");
        for (const char16_t* name : {u"btnLOGO", u"btnZEPH", u"btnClose", u"btnExit"}) {
            EXPECT_FALSE(control<skinner::ControlButton>(about, name)->wants_focus());
        }
        const std::string log = fixtures::read_logs(root);
        const size_t first = log.find("FormAbout 111\n");
        const size_t second = log.find("FormAbout 1\n", first + 1);
        const size_t third = log.find("FormAbout 2\n", second);
        const size_t fourth = log.find("FormAbout 3\n", third);
        EXPECT_NE(first, std::string::npos) << log;
        EXPECT_NE(second, std::string::npos) << log;
        EXPECT_NE(third, std::string::npos) << log;
        EXPECT_NE(fourth, std::string::npos) << log;
        Script script({[&] { control<skinner::ControlButton>(about, button)->click(); }});
        about.do_modal();
        EXPECT_TRUE(script.done());
    }
}

TEST_F(FormAboutTest, EnterAndEscCloseItThoughNoButtonTakesTheFocus) {
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        app::FormAbout about(nullptr, dialogs.get(), u"FormAbout", app::about_title);
        Script script({[key] { platform::headless::key_press(key); }});
        about.do_modal();
        EXPECT_TRUE(script.done());
    }
}

TEST_F(FormAboutTest, LinksOpenTheLanguagesAddressesAndKeepTheFormOpen) {
    use_opener(true);
    struct Case {
        const char16_t* button;
        const char* address;
    };
    const Case cases[] = {{u"btnLOGO", "https://vantrel.example/\n"}, {u"btnZEPH", "https://zeph.example/\n"}};
    for (const Case& c : cases) {
        std::remove(root.host("opened.txt").c_str());
        app::FormAbout about(nullptr, dialogs.get(), u"FormAbout", app::about_title);
        bool open_after = false;
        Script script({[&] { control<skinner::ControlButton>(about, c.button)->click(); },
                       [&] {
                           open_after = about.is_in_modal();
                           about.close();
                       }});
        about.do_modal();
        EXPECT_TRUE(open_after);
        EXPECT_TRUE(fixtures::wait_for_file(root.host("opened.txt"), 10000));
        EXPECT_TRUE(wait_for([&] { return fixtures::read_file(root.host("opened.txt")) == c.address; }));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FormAboutTest, WithoutAnOpenerABoxSaysSoTheFailureIsLoggedAndTheFormGoesOn) {
    use_opener(false);
    fixtures::enable_log(root);
    app::FormAbout about(nullptr, dialogs.get(), u"FormAbout", app::about_title);
    bool open_after = false;
    Script script({[&] { control<skinner::ControlButton>(about, u"btnZEPH")->click(); },
                   [&] {
                       open_after = about.is_in_modal();
                       about.close();
                   }});
    about.do_modal();
    EXPECT_TRUE(open_after);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, about.get_hwnd());
    EXPECT_EQ(boxes[0].text, dialogs->get_string(u"No_opener"));
    EXPECT_NE(boxes[0].text, u"No_opener");  // the language file has it
    EXPECT_EQ(boxes[0].caption, u"Vantrel");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    const std::string log = fixtures::read_logs(root);
    EXPECT_NE(log.find("ERROR: AboutContainer::on_command open_url failed {https://zeph.example/}\n"), std::string::npos)
        << log;
}

}  // namespace
}  // namespace dialog_test
