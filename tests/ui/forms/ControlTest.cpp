// The control base on a real form: properties that a skin may not set, visibility and the
// repaint it causes, the skin getters of code-made and template controls.
#include "ui/forms/Control.h"

#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/ui/forms/support/FormTesting.h"

namespace forms_test {
namespace {

namespace h = platform::headless;

using ControlTest = FormsTest;

struct BoxWatch {
    HWND form = nullptr;
    int boxes = 0;
    bool owner_enabled = false;
    bool form_saw_size = false;
};
BoxWatch* watch = nullptr;

// Runs inside the message box's own loop: looks, pokes the half-built form, answers the box.
void answer_box(HWND, UINT, uintptr_t, DWORD) {
    if (!watch || !FindWindowW(u"Dialog", u"Unsupported")) return;
    ++watch->boxes;
    watch->owner_enabled = watch->owner_enabled || IsWindowEnabled(watch->form);
    SendMessageW(watch->form, WM_SIZE, SIZE_RESTORED, (44 << 16) | 333);
    h::key_press(VK_RETURN);
}

TEST_F(ControlTest, ForbiddenSkinPropertiesAreReportedAndTheControlKeepsItsDefaults) {
    fixtures::enable_log(root);
    JournalForm form(nullptr, &skin(), u"Forbidden", &journal);
    pump();
    BoxWatch w;
    w.form = form.get_hwnd();
    watch = &w;
    const uintptr_t timer = SetTimer(nullptr, 0, 20, answer_box);
    Probe visible(&form, u"cVisible", &journal);
    Probe want(&form, u"cWant", &journal);  // 199901 is "not set": no report
    Probe enabled(&form, u"cEnabled", &journal);
    KillTimer(nullptr, timer);
    watch = nullptr;

    EXPECT_EQ(w.boxes, 2);
    EXPECT_FALSE(w.owner_enabled);
    EXPECT_NE(form.get_size(), Point(333, 44));  // the form was not whole: nothing reached it
    EXPECT_TRUE(visible.is_visible());
    EXPECT_TRUE(enabled.is_enabled());
    EXPECT_TRUE(want.wants_focus());
    const std::string log = fixtures::read_logs(root);
    EXPECT_NE(log.find("Unsupported: Form {Forbidden}\nControl {cVisible}\nCount Property {Visible}\n"), std::string::npos);
    EXPECT_NE(log.find("Unsupported: Form {Forbidden}\nControl {cEnabled}\nCount Property {Enabled}\n"), std::string::npos);
    EXPECT_EQ(log.find("Property {WantFocus}"), std::string::npos);
}

TEST_F(ControlTest, HidingAndShowingRepaintsTheControlsPlaceOnlyWhenItsVisibilityChanges) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe probe(&form, u"tOk", &journal);
    pump();
    skinner::FormImpl& window = *form.get_window();
    probe.set_visible(true);
    EXPECT_EQ(window.get_invalid_size(), Point());
    probe.set_visible(false);
    EXPECT_EQ(window.get_invalid_origin(), Point(10, 10));
    EXPECT_EQ(window.get_invalid_size(), Point(30, 10));
    pump();
    probe.invalidate();  // hidden: nothing to repaint
    EXPECT_EQ(window.get_invalid_size(), Point());
    form.set_shown(false);
    probe.set_visible(true);  // the form hides it still
    EXPECT_EQ(window.get_invalid_size(), Point());
    EXPECT_FALSE(probe.is_visible());
}

TEST_F(ControlTest, CodeMadeControlsReadNothingAndTemplatesReadTheirKind) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe code(&form, u"noSuchControl", &journal, Control::KIND_CODE);
    EXPECT_EQ(code.get_int_property(u"TabOrder", 42), 42);
    EXPECT_EQ(code.get_name(), u"noSuchControl");
    EXPECT_EQ(code.get_kind_name(), u"");
    Probe skin_control(&form, u"tOk", &journal);
    EXPECT_EQ(skin_control.get_skin_size(), Point(30, 10));
    EXPECT_EQ(skin_control.get_language_string(u"missing_key", u"fallback"), u"fallback");
    EXPECT_EQ(skin_control.get_form_root(), &form);
    Probe kind(&form, u"kindBox", &journal, Control::KIND_TEMPLATE);
    EXPECT_EQ(kind.get_name(), u"");
    EXPECT_EQ(kind.get_kind_name(), u"kindBox");
    EXPECT_EQ(kind.get_skin_size(), Point(12, 34));
    EXPECT_EQ(kind.get_tab_order(), 5);
}

}  // namespace
}  // namespace forms_test
