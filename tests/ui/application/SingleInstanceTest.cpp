#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/Log.h"
#include "tests/fixtures/BackgroundProcess.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/LoggedRun.h"

namespace skinner {
namespace {

// Two real instances: the second waits on the mutex until the first's close bracket, then
// hands its command line to the first's window and ends.
TEST(SingleInstance, SecondInstanceWaitsThenHandsItsCommandLineOver) {
    struct Case {
        const char* argument;  // as the shell passes it
        const char* received;
    };
    const Case cases[] = {
        {"'\\My Documents\\a b.mp3'", "\\My Documents\\a b.mp3"},
        {"''", "%CommandLineEmpty%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.received);
        fixtures::DeviceRoot root;
        const std::string folder = root.host("signals");
        std::filesystem::create_directories(folder);
        const std::string program = fixtures::helper_program("instance_app");
        fixtures::BackgroundProcess first(root.environment() + " '" + program + "' first '" + folder + "' > '" +
                                          folder + "/first.out'");
        ASSERT_TRUE(fixtures::wait_for_file(folder + "/ready", 20000));

        fixtures::BackgroundProcess second(root.environment() + " '" + program + "' second '" + folder + "' " +
                                           c.argument);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(std::filesystem::exists(folder + "/second-returned"));  // held by the mutex
        EXPECT_FALSE(second.has_exited());

        fixtures::write_file(folder + "/go", "x");
        EXPECT_EQ(second.wait(20000), 0);  // found the running instance
        EXPECT_EQ(first.wait(20000), 0);
        std::string out = fixtures::read_file(folder + "/first.out");
        EXPECT_EQ(out, std::string("received=") + c.received + "\nforeground=1\n");
    }
}

TEST(SingleInstance, FirstInstanceStartsWhenNoneRuns) {
    fixtures::DeviceRoot root;
    const std::string folder = root.host("signals");
    std::filesystem::create_directories(folder);
    fixtures::BackgroundProcess alone(root.environment() + " '" + fixtures::helper_program("instance_app") +
                                      "' second '" + folder + "' x");
    EXPECT_EQ(alone.wait(20000), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/second-returned"));
}

TEST(SingleInstance, SecondApplicationIsAFatalErrorOfTheSingleton) {
    fixtures::DeviceRoot root;
    fixtures::enable_log(root);
    int status = fixtures::run_in_root(root, fixtures::helper_program("instance_app"), "second-application");
    EXPECT_EQ(status, static_cast<int>(gluck_exit_code));
    std::string log = fixtures::read_logs(root);
    EXPECT_TRUE(log.ends_with("Gluck: Singleton is already instantiated @ Singleton::Singleton()\n")) << log;
}

}  // namespace
}  // namespace skinner
