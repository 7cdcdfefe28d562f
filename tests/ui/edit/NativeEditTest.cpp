// The edit control on a Smartphone: a native edit window over the control does the editing,
// and the control keeps its text and selection in step with it. The device is read once per
// process, so these cases run in a child process of this program as a Smartphone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include "platform/display/Headless.h"
#include "platform/edit/Edit.h"
#include "platform/window/Keys.h"
#include "tests/fixtures/TempDir.h"
#include "tests/ui/edit/support/EditTesting.h"
#include "ui/application/Application.h"
#include "ui/device/DeviceCapability.h"

namespace edit_test {
namespace {

namespace h = platform::headless;
using skinner::ControlEditNativeImpl;
using skinner::Key;
using Events = std::vector<std::string>;

bool on_smartphone() { return skinner::static_capability_is_smartphone(); }

TEST(NativeEdit, RunsTheSmartphoneCasesInAProcessOfTheirOwn) {
    if (on_smartphone()) GTEST_SKIP() << "the child itself";
    std::string self = fixtures::command_output("readlink -f /proc/" + std::to_string(getpid()) + "/exe");
    self = self.substr(0, self.find_last_not_of('\n') + 1);
    const std::string output =
        fixtures::command_output("VANTREL_DEVICE=smartphone " + self + " --gtest_filter='NativeEditOnSmartphone.*' 2>&1; echo exit=$?");
    EXPECT_NE(output.find("exit=0"), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
    EXPECT_NE(output.find("[  PASSED  ] 6 tests"), std::string::npos) << output;
}

std::u16string window_text(HWND window) {
    char16_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::pair<DWORD, DWORD> window_selection(HWND window) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

class NativeEditOnSmartphone : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<EditForm>();
        form->show(true);
        pump();
        form->take_events();
    }
    void TearDown() override {
        form.reset();
        pump();
    }

    HWND native(skinner::ControlEditImpl& edit) {
        auto* impl = dynamic_cast<ControlEditNativeImpl*>(edit.get_implementation());
        EXPECT_NE(impl, nullptr);
        return impl ? impl->get_window() : nullptr;
    }

    std::unique_ptr<EditForm> form;
};

TEST_F(NativeEditOnSmartphone, ANativeEditWindowCoversTheControlAndTakesItsText) {
    const HWND window = native(form->name);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_FALSE(form->name.is_skinned());
    EXPECT_EQ(GetParent(window), form->get_hwnd());
    RECT r;
    GetWindowRect(window, &r);
    POINT origin{10, 10};
    ClientToScreen(form->get_hwnd(), &origin);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(window_text(native(form->readonly)), u"fixed text");

    form->name.set_text(u"Tune");
    pump();
    EXPECT_EQ(window_text(window), u"Tune");
    // The window's change notice of that text brings no second event.
    EXPECT_EQ(form->take_events(), Events{"text edtName"});

    form->name.set_visible(false);
    EXPECT_FALSE(IsWindowVisible(window));
    form->name.set_visible(true);
    EXPECT_TRUE(IsWindowVisible(window));
    // Keys and text are the window's: the control handles none of them.
    EXPECT_FALSE(form->name.on_keydown(Key::Left));
    EXPECT_FALSE(form->name.on_text(u"x"));
    EXPECT_EQ(form->name.get_text(), u"Tune");
}

TEST_F(NativeEditOnSmartphone, TypingInTheWindowRaisesOneTextEventPerChange) {
    const HWND window = native(form->name);
    form->name.set_text(u"Tune");
    form->other.set_focus();
    form->name.set_focus();
    pump();
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(window_selection(window), std::make_pair(DWORD(0), DWORD(4))) << "focus selects all";
    form->take_events();

    h::type_text(u"ab");
    pump();
    EXPECT_EQ(form->name.get_text(), u"ab");
    EXPECT_EQ(form->take_events(), (Events{"text edtName", "text edtName"}));
    EXPECT_EQ(form->name.get_anchor(), 2);
    EXPECT_EQ(form->name.get_caret(), 2);

    // A change notice without a change raises nothing.
    SendMessageW(form->get_hwnd(), WM_COMMAND, WPARAM(EN_CHANGE) << 16, reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(form->take_events(), Events{});
}

TEST_F(NativeEditOnSmartphone, SelectionGoesToTheWindowAndComesBackWithItsChanges) {
    const HWND window = native(form->name);
    form->name.set_text(u"Ringtone");
    form->name.set_focus();
    pump();
    form->name.set_selection(1, 5);
    EXPECT_EQ(window_selection(window), std::make_pair(DWORD(1), DWORD(5)));
    form->take_events();
    h::key_press(VK_DELETE);
    pump();
    EXPECT_EQ(form->name.get_text(), u"Rone");
    EXPECT_EQ(form->name.get_anchor(), 1);
    EXPECT_EQ(form->name.get_caret(), 1);
    EXPECT_EQ(form->take_events(), Events{"text edtName"});
}

TEST_F(NativeEditOnSmartphone, AReadonlyFieldsWindowTakesNoTyping) {
    form->readonly.set_focus();
    pump();
    EXPECT_EQ(GetFocus(), native(form->readonly));
    h::type_text(u"zz");
    h::key_press(VK_BACK);
    pump();
    EXPECT_EQ(form->readonly.get_text(), u"fixed text");
    EXPECT_EQ(form->take_events(), Events{});
}

TEST_F(NativeEditOnSmartphone, FocusFromAnotherProgramActivatesTheFormFirst) {
    form->show(false);
    const HWND elsewhere = CreateWindowExW(0, u"edit", u"", WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 50, 20, nullptr, nullptr,
                                           nullptr, nullptr);
    ASSERT_TRUE(IsWindow(elsewhere));
    SetFocus(elsewhere);
    pump();
    EXPECT_FALSE(form->is_active());
    SetFocus(native(form->other));
    pump();
    EXPECT_TRUE(form->is_active());
    EXPECT_EQ(form->get_focused(), &form->other);
    EXPECT_TRUE(form->other.is_focused());
    DestroyWindow(elsewhere);
}

TEST_F(NativeEditOnSmartphone, TheFormKeepsItsKeysWhileTheWindowHasTheFocus) {
    form->name.set_focus();
    pump();
    ASSERT_EQ(GetFocus(), native(form->name));
    // Down moves the form's focus on, to the next field's window.
    h::key_press(VK_DOWN);
    pump();
    EXPECT_EQ(form->get_focused(), &form->readonly);
    EXPECT_EQ(GetFocus(), native(form->readonly));
}

}  // namespace
}  // namespace edit_test
