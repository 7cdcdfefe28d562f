// The save form: the proposed name fully selected and focused, typing over it, the name checks
// in their order with their reports, and the ways out that leave the name empty.
#include "app/FormSave.h"

#include <gtest/gtest.h>

#include <string>

#include "app/FormReport.h"
#include "app/RingtoneName.h"
#include "platform/display/Headless.h"
#include "platform/window/Keys.h"
#include "tests/app/support/DialogTesting.h"
#include "ui/controls/ControlButton.h"

namespace dialog_test {
namespace {

namespace h = platform::headless;

constexpr const char16_t* folder = u"%windows%/Rings";

class FormSaveTest : public DialogTest {
protected:
    std::unique_ptr<app::FormSave> make_form(const std::u16string& proposed = u"song_001") {
        return std::make_unique<app::FormSave>(nullptr, &skin(), u"Save in \\Windows\\Rings", proposed, folder);
    }
};

TEST_F(FormSaveTest, ProposedNameIsShownFullySelectedAndTypingReplacesIt) {
    auto form = make_form();
    EXPECT_EQ(form->get_prompt(), u"Save in \\Windows\\Rings");
    EXPECT_EQ(form->edit().get_text(), u"song_001");
    EXPECT_EQ(form->edit().get_anchor(), 0);
    EXPECT_EQ(form->edit().get_caret(), 8);
    EXPECT_TRUE(form->get_focused() == &form->edit());
    Script script({[] { h::type_text(u"bell"); }, [] { h::key_press(VK_RETURN); }});
    form->do_modal();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(form->name(), u"bell");
}

TEST_F(FormSaveTest, NamesAreCheckedInOrderAndARejectedOneEndsWithAnEmptyName) {
    const size_t room = app::ringtone_path_limit - app::ringtone_target(folder, u"").size();
    struct Case {
        std::u16string typed;
        const char16_t* report;  // null: accepted
    };
    std::vector<Case> cases = {
        {u"", u"Empty_name"},
        {std::u16string(room, u'a'), u"Too_long_name"},        // the full path at 255
        {std::u16string(room + 7, u'a'), u"Too_long_name"},
        {std::u16string(room - 1, u'a'), nullptr},              // 254
        {std::u16string(room, u'?'), u"Too_long_name"},         // length goes before characters
        {u"my tone.v2", nullptr},
    };
    for (char16_t bad : std::u16string(u":/\\><+*?")) cases.push_back({std::u16string(u"ring") + bad, u"Bad_name"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.begin() + std::min<size_t>(c.typed.size(), 12)));
        auto form = make_form();
        std::u16string reported;
        std::vector<std::function<void()>> steps = {[&] {
            form->edit().set_text(c.typed);
            control<skinner::ControlButton>(*form, u"btnOk")->click();
        }};
        if (c.report) {
            steps.push_back([&] {
                if (auto* report = modal<app::FormReport>()) {
                    reported = report->get_text();
                    report->close();
                }
            });
        }
        Script script(steps);
        form->do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(form->is_in_modal());
        EXPECT_EQ(form->name(), c.report ? u"" : c.typed);
        EXPECT_EQ(reported, c.report ? text(c.report) : u"");
    }
}

// The save form is wider than the report: left standing, its frame would show either side.
TEST_F(FormSaveTest, TheFormIsHiddenWhileItsReportShows) {
    for (const char16_t* typed : {u"", u"ring?"}) {
        auto form = make_form();
        bool form_shown_before = false;
        bool form_shown_under_report = true;
        bool report_in_front = false;
        Script script({[&] {
                           form_shown_before = IsWindowVisible(form->get_hwnd()) != FALSE;
                           form->edit().set_text(typed);
                           control<skinner::ControlButton>(*form, u"btnOk")->click();
                       },
                       [&] {
                           if (auto* report = modal<app::FormReport>()) {
                               form_shown_under_report = IsWindowVisible(form->get_hwnd()) != FALSE;
                               report_in_front = GetForegroundWindow() == report->get_hwnd();
                               report->close();
                           }
                       }});
        form->do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_TRUE(form_shown_before);
        EXPECT_FALSE(form_shown_under_report);
        EXPECT_TRUE(report_in_front);
        EXPECT_EQ(form->name(), u"");
    }
}

TEST_F(FormSaveTest, CancelAndEscLeaveTheNameEmpty) {
    const std::function<void(app::FormSave&)> ways[] = {
        [](app::FormSave& f) { control<skinner::ControlButton>(f, u"btnCancel")->click(); },
        [](app::FormSave&) { h::key_press(VK_ESCAPE); },
        [](app::FormSave& f) { f.close(); },
    };
    for (const auto& way : ways) {
        auto form = make_form();
        Script script({[&] { h::type_text(u"bell"); }, [&] { way(*form); }});
        form->do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_EQ(form->name(), u"");
    }
}

}  // namespace
}  // namespace dialog_test
