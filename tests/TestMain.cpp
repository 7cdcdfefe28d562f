// The main of every test program. Cases that only hold on a Smartphone live in suites named
// "...OnSmartphone": the device is read once per process, so a Pocket PC run leaves them out
// (not as skipped) and a case of its own runs them in a child process started as a Smartphone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

void leave_smartphone_suites_to_their_child() {
    const char* device = std::getenv("VANTREL_DEVICE");
    if (device != nullptr && std::string(device) == "smartphone") return;
    std::string filter = GTEST_FLAG_GET(filter);
    filter += filter.find('-') == std::string::npos ? "-" : ":";
    GTEST_FLAG_SET(filter, filter + "*OnSmartphone.*");
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    leave_smartphone_suites_to_their_child();
    return RUN_ALL_TESTS();
}
