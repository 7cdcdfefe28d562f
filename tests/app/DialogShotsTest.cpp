// The dialogs' screenshots come out on both kinds of device: every dialog and its device's
// variant load from the program's skins and show.
#include <gtest/gtest.h>

#include <string>

#include "tests/fixtures/TempDir.h"

namespace {

TEST(DialogShots, EveryDialogShowsOnBothKindsOfDevice) {
    const std::string program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/dialog_shots";
    for (const char* device : {"VANTREL_DEVICE=pocketpc", "VANTREL_DEVICE=smartphone VANTREL_SCREEN=176x220"}) {
        SCOPED_TRACE(device);
        fixtures::TempDir dir;
        const std::string log = dir.file("out.txt");
        ASSERT_EQ(fixtures::run_command(std::string("VANTREL_DISPLAY=headless ") + device + " " + program + " " + dir.path() + " > " +
                                        log + " 2>&1"),
                  0)
            << fixtures::run_command("cat " + log);
        for (const char* shot : {"save", "converting", "report", "question", "about"}) {
            EXPECT_EQ(fixtures::run_command("test -s " + dir.file(std::string(shot) + ".png")), 0) << shot;
        }
    }
}

}  // namespace
