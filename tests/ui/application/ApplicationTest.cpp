#include "ui/application/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/device/DeviceProfile.h"
#include "platform/threads/Threads.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/device/DeviceCapability.h"
#include "ui/device/LibraryHandle.h"
#include "ui/device/WaitCursor.h"

namespace skinner {
namespace {

std::u16string class_of(HWND window) {
    WCHAR text[64] = {};
    int n = GetClassNameW(window, text, 64);
    return std::u16string(text, n > 0 ? n : 0);
}

TEST(Application, OwnsTheSchedulerAndComForItsLifetime) {
    const int com_before = platform::com_init_count();
    {
        Application application(nullptr, u"Vantrel");
        EXPECT_EQ(Application::instance(), &application);
        EXPECT_EQ(application.get_class_name(), u"SkinnerClass_Vantrel");
        EXPECT_EQ(application.get_hinstance(), nullptr);
        ASSERT_NE(application.get_scheduler(), nullptr);
        EXPECT_EQ(CActiveScheduler::instance(), application.get_scheduler());
        EXPECT_EQ(class_of(application.get_scheduler()->window()), u"CActiveSkinnerClass_Vantrel");
        EXPECT_EQ(platform::com_init_count(), com_before + 1);
    }
    EXPECT_EQ(Application::instance(), nullptr);
    EXPECT_EQ(CActiveScheduler::instance(), nullptr);
    EXPECT_EQ(platform::com_init_count(), com_before);
}

TEST(Application, SmartphoneCapabilityIgnoresLetterCase) {
    struct Case {
        const char* device;
        bool smartphone;
    };
    for (const Case& c : {Case{"smartphone", true}, Case{"pocketpc", false}}) {
        setenv("VANTREL_DEVICE", c.device, 1);
        platform::reload_device_profile();
        EXPECT_EQ(static_capability_is_smartphone(), c.smartphone) << c.device;
    }
    unsetenv("VANTREL_DEVICE");
    platform::reload_device_profile();
}

TEST(Application, HandedOverCommandLineIsCheckedBeforeUse) {
    char16_t text[] = u"abc";
    struct Case {
        uintptr_t data_word;
        DWORD bytes;
        bool with_data;
        bool accepted;
        std::u16string command_line;
    };
    const Case cases[] = {
        {0, 6, true, true, u"abc"},
        {0, 5, true, true, u"ab"},  // the odd byte is dropped
        {0, 0, false, true, u""},
        {1, 6, true, false, u""},
        {0, 6, false, false, u""},
        {0, Application::max_command_line_bytes + 2, true, false, u""},
    };
    for (const Case& c : cases) {
        COPYDATASTRUCT data;
        data.dwData = c.data_word;
        data.cbData = c.bytes;
        data.lpData = c.with_data ? text : nullptr;
        std::u16string out = u"untouched";
        EXPECT_EQ(Application::read_handed_over_command_line(&data, out), c.accepted) << c.bytes;
        EXPECT_EQ(out, c.accepted ? c.command_line : u"untouched");
    }
    std::u16string out;
    EXPECT_FALSE(Application::read_handed_over_command_line(nullptr, out));
}

std::u16string copied;
int copies = 0;
LRESULT recording_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        ++copies;
        Application::read_handed_over_command_line(reinterpret_cast<const COPYDATASTRUCT*>(lParam), copied);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND make_window(LPCWSTR class_name, LPCWSTR title, DWORD style, HWND parent) {
    WNDCLASSW window_class;
    window_class.lpfnWndProc = &recording_proc;
    window_class.lpszClassName = class_name;
    RegisterClassW(&window_class);
    return CreateWindowExW(0, class_name, title, style, 0, 0, 20, 20, parent, nullptr, nullptr, nullptr);
}

TEST(Application, RunningInstanceIsFoundByItsTopLevelWindow) {
    fixtures::DeviceRoot root;  // a mutex folder of its own
    copies = 0;
    HWND owner = make_window(u"Owner", u"o", WS_VISIBLE, nullptr);
    HWND child = make_window(u"SkinnerClass_Solo", u"c", WS_POPUP | WS_VISIBLE, owner);
    EXPECT_FALSE(Application::show_running_instance_open_bracket(u"x", u"Solo"));  // only a child has the class
    EXPECT_EQ(copies, 0);
    Application::show_running_instance_close_bracket();

    HWND form = make_window(u"SkinnerClass_Solo", u"f", 0, nullptr);
    EXPECT_TRUE(Application::show_running_instance_open_bracket(u"", u"Solo"));
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(copied, u"%CommandLineEmpty%");
    Application::show_running_instance_close_bracket();
    Application::show_running_instance_close_bracket();  // twice does nothing
    DestroyWindow(form);

    HWND dialog = make_window(u"Dialog", u"Solo", WS_VISIBLE, nullptr);
    SetForegroundWindow(owner);
    EXPECT_TRUE(Application::show_running_instance_open_bracket(u"y", u"Solo"));
    EXPECT_EQ(copies, 1);  // a dialog gets no command line, only the front
    EXPECT_EQ(GetForegroundWindow(), dialog);
    Application::show_running_instance_close_bracket();
    DestroyWindow(dialog);
    DestroyWindow(child);
    DestroyWindow(owner);
}

TEST(Application, RunningInstanceWithALongNameIsFound) {
    fixtures::DeviceRoot root;
    copies = 0;
    const std::u16string name = u"AVeryLongProgramNameThatOutgrowsTheBuffer";  // a class of 54 characters
    HWND form = make_window((u"SkinnerClass_" + name).c_str(), u"f", 0, nullptr);
    EXPECT_TRUE(Application::show_running_instance_open_bracket(u"long", name));
    EXPECT_EQ(copied, u"long");
    Application::show_running_instance_close_bracket();
    DestroyWindow(form);
}

TEST(WaitCursor, ShowsTheWaitCursorWhileItLives) {
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(hand);
    {
        WaitCursor wait;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), hand);
}

TEST(LibraryHandle, MissingLibraryGivesNoHandle) {
    LibraryHandle missing(u"%app_path%/no-such-library.dll");
    EXPECT_EQ(missing.get(), nullptr);
}

}  // namespace
}  // namespace skinner
