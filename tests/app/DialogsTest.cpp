// The report and the yes/no question: their texts, their buttons, Enter and Esc, and every
// other way of closing them.
#include <gtest/gtest.h>

#include <functional>

#include "app/FormReport.h"
#include "app/FormYesNo.h"
#include "platform/display/Headless.h"
#include "platform/window/Keys.h"
#include "tests/app/support/DialogTesting.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/MenuManagerImplPocket.h"

namespace dialog_test {
namespace {

namespace h = platform::headless;
using skinner::ControlButton;
using skinner::Form;

using DialogsTest = DialogTest;

// One way of answering the innermost dialog.
using Answer = std::function<void(Form&)>;

Answer press(const char16_t* button) {
    return [button](Form& form) {
        if (ControlButton* b = control<ControlButton>(form, button)) b->click();
    };
}

Answer key(UINT virtual_key) {
    return [virtual_key](Form&) { h::key_press(virtual_key); };
}

void close_window(Form& form) { form.close(); }

TEST_F(DialogsTest, ReportShowsItsTextAndEveryWayOfAnsweringClosesIt) {
    const Answer answers[] = {press(u"btnOk"), key(VK_RETURN), key(VK_ESCAPE), close_window};
    for (const Answer& answer : answers) {
        app::FormReport report(nullptr, &skin(), text(u"Same_name"));
        EXPECT_EQ(control<skinner::ControlLabelImpl>(report, u"frmReport")->get_text(),
                  u"The ringtone cannot replace its own source file.");
        Script script({[&] { answer(report); }});
        report.do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(report.is_in_modal());
    }
}

TEST_F(DialogsTest, ShowReportTakesItsTextFromTheLanguageOrShowsTheKey) {
    struct Case {
        const char16_t* key;
        const char16_t* shown;
    };
    const Case cases[] = {
        {u"Can't_make_ringtone", u"The ringtone could not be made."},
        {u"No_such_key", u"No_such_key"},
    };
    for (const Case& c : cases) {
        std::u16string shown;
        Script script({[&] {
            if (auto* report = modal<app::FormReport>()) {
                shown = report->get_text();
                report->close();
            }
        }});
        app::show_report(nullptr, &skin(), c.key);
        EXPECT_EQ(shown, c.shown);
    }
}

TEST_F(DialogsTest, QuestionIsYesOnlyThroughYesOrEnter) {
    struct Case {
        const char* way;
        Answer answer;
        bool yes;
    };
    const Case cases[] = {
        {"btnYes", press(u"btnYes"), true},
        {"btnNo", press(u"btnNo"), false},
        {"Enter", key(VK_RETURN), true},
        {"Esc", key(VK_ESCAPE), false},
        {"close", close_window, false},
        // Other controls are ignored: the label, say, and then the question is closed.
        {"label", [](Form& form) {
             form.on_control_event(control<skinner::ControlLabelImpl>(form, u"frmReport"), {});
             EXPECT_TRUE(form.is_in_modal());
             form.close();
         }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        app::FormYesNo question(nullptr, &skin(), text(u"Replace_existing_file"));
        EXPECT_EQ(question.get_text(), u"A file of that name exists. Replace it?");
        EXPECT_FALSE(question.yes());
        Script script({[&] { c.answer(question); }});
        question.do_modal();
        EXPECT_TRUE(script.done());
        EXPECT_EQ(question.yes(), c.yes);
    }
}

TEST_F(DialogsTest, DialogsInTurnGiveBackTheirMenuBarIdentifiersEvenWhenNoBarCouldBeMade) {
    // This test's program has no menu-bar resources for a null instance: every bar fails.
    const size_t free_ids = skinner::soft_key_bar_ids().size();
    for (int i = 0; i < 8; ++i) {
        app::FormYesNo question(nullptr, &skin(), u"again?");
        Script script({[this] { app::show_report(Form::get_modal_form(), &skin(), u"Ok"); }, [] {
                           if (auto* report = modal<app::FormReport>()) report->close();
                       },
                       [&] { question.close(); }});
        question.do_modal();
    }
    EXPECT_EQ(skinner::soft_key_bar_ids().size(), free_ids);
}

}  // namespace
}  // namespace dialog_test
