// Forms on a Smartphone: the bars by screen width, keys straight from the window (no Pocket PC
// pump), and the reference size without buttons. The device is read once per process, so each
// case runs this test program again as a Smartphone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/display/Headless.h"
#include "tests/fixtures/TempDir.h"
#include "tests/ui/forms/support/FormTesting.h"
#include "ui/device/DeviceCapability.h"
#include "ui/menus/MenuManagerSmartphone.h"

namespace forms_test {
namespace {

namespace h = platform::headless;

bool on_smartphone() { return skinner::static_capability_is_smartphone(); }

// Runs the tests of the filter in a child process on a Smartphone with the given screen; true
// when they all ran (none skipped) and passed.
bool run_as_smartphone(const std::string& filter, const std::string& screen, int bar) {
    std::string self = fixtures::command_output("readlink -f /proc/" + std::to_string(getpid()) + "/exe");
    self = self.substr(0, self.find_last_not_of('\n') + 1);
    const std::string output =
        fixtures::command_output("VANTREL_DEVICE=smartphone VANTREL_SCREEN=" + screen + " EXPECTED_BAR=" + std::to_string(bar) +
                                 " " + self + " --gtest_filter='" + filter + "' 2>&1; echo exit=$?");
    return output.find("exit=0") != std::string::npos && output.find("SKIPPED") == std::string::npos;
}

TEST(Smartphone, RunsTheSmartphoneCasesInProcessesOfTheirOwn) {
    if (on_smartphone()) GTEST_SKIP() << "the child itself";
    struct Case {
        const char* screen;
        int bar;
    };
    for (const Case& c : {Case{"176x220", 20}, Case{"240x320", 27}, Case{"320x240", 27}, Case{"352x416", 40},
                          Case{"480x640", 54}, Case{"300x400", 0}}) {
        EXPECT_TRUE(run_as_smartphone("WorkAreaOnSmartphone.WorkAreaLeavesTheBarsOfTheScreenWidth", c.screen, c.bar)) << c.screen;
    }
    EXPECT_TRUE(run_as_smartphone("FormOnSmartphone.*", "480x640", 54));
}

TEST(WorkAreaOnSmartphone, WorkAreaLeavesTheBarsOfTheScreenWidth) {
    const int bar = std::atoi(std::getenv("EXPECTED_BAR"));
    Point origin, size;
    skinner::FormImpl::get_usable_area(origin, size, true);
    const Point screen = skinner::FormImpl::get_screen_size(nullptr);
    EXPECT_EQ(origin, Point(0, bar));
    EXPECT_EQ(size, Point(screen.x, screen.y - 2 * bar));
}

using FormOnSmartphone = FormsTest;

TEST_F(FormOnSmartphone, KeysAndCharactersComeStraightFromTheWindow) {
    JournalForm form(nullptr, &skin(), u"Top", &journal);
    Probe probe(&form, u"tOk", &journal);
    probe.consumes_text = true;
    run_modal(form, {
                        [&] { journal.clear(); },
                        [] { h::key_press('A'); },
                        [] { h::type_text(u"("); },
                    });
    Journal keys;
    for (const std::string& e : journal) {
        if (e.find("key") != std::string::npos || e.find("text") != std::string::npos) keys.push_back(e);
    }
    // The key-down comes first and whatever the text did; a lone character is text only.
    EXPECT_EQ(keys, (Journal{"tOk keydown A", "tOk text a", "tOk keyup A", "tOk text ("}));
}

TEST_F(FormOnSmartphone, ReferenceSizeIsTheOneWithoutButtons) {
    JournalForm form(nullptr, &skin(), u"Phone", &journal);
    Probe bottom(&form, u"pBottom", &journal);
    EXPECT_EQ(form.get_skin_size(), Point(200, 80));
    EXPECT_EQ(form.get_size(), Point(200, 80));
    EXPECT_EQ(bottom.get_position(), Point(10, 80));
    // The Smartphone's two-key bar.
    EXPECT_NE(dynamic_cast<skinner::MenuManagerSmartphone*>(form.get_window()->get_menu_manager()), nullptr);
    // A form without a parent has no system menu on a Smartphone.
    EXPECT_EQ(GetWindowLongW(form.get_hwnd(), GWL_STYLE) & WS_SYSMENU, 0);
}

}  // namespace
}  // namespace forms_test
