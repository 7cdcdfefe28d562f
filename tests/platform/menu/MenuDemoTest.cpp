#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "tests/fixtures/TempDir.h"

namespace {

const std::string demo = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/menu_demo";

// The demo opens its bar's menu and the submenu by keys (by a tap on a tool bar) and chooses an
// entry; it fails when the choice never arrives.
TEST(MenuDemo, OpensTheBarsMenuAndSubmenuOnEveryDevice) {
    const char* devices[] = {
        "VANTREL_DEVICE=pocketpc VANTREL_OS_MAJOR=5",
        "VANTREL_DEVICE=pocketpc VANTREL_OS_MAJOR=4 VANTREL_SCREEN=240x320",
        "VANTREL_DEVICE=smartphone VANTREL_SCREEN=176x220",
    };
    for (const char* device : devices) {
        fixtures::TempDir dir;
        std::string command = std::string(device) + " VANTREL_DISPLAY=headless " + demo + " --shots " + dir.path() +
                              " >/dev/null 2>&1";
        ASSERT_EQ(fixtures::run_command(command), 0) << device;
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(access(dir.file("menu-" + std::to_string(i) + ".png").c_str(), F_OK), 0) << device << " " << i;
        }
    }
}

}  // namespace
