#include <gtest/gtest.h>

#include <string>

#include "base/Log.h"
#include "tests/fixtures/LoggedRun.h"

namespace skinner {
namespace {

struct FatalCase {
    const char* name;
    const char* line;  // the fatal error's log line; %d stands for the object's id
};

// The ids are the first ones the helper makes: its scheduler makes no active object.
TEST(SchedulerFatal, BrokenInvariantsEndTheProcessWithTheirMessage) {
    const FatalCase cases[] = {
        {"notify-twice", "Gluck: Active object 1 is not marked active @ CActiveScheduler::process_actives()\n"},
        {"set-active-twice", "Gluck: Object 1 is already active @ CActiveScheduler::set_active()\n"},
        {"notify-idle", "Gluck: Active object 1 is not active @ CActiveScheduler::notify()\n"},
        {"destroy-pending", "Gluck: Active object 1 is already active @ CActive::~CActive()\n"},
        {"no-scheduler", "Gluck: No active scheduler @ CActive::set_active()\n"},
        {"pending-timer-at-exit",
         "Gluck: Some active objects still live while scheduler is terminating active_counter=1 @ \n"},
    };
    for (const FatalCase& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::DeviceRoot root;
        fixtures::enable_log(root);
        int status = fixtures::run_in_root(root, fixtures::helper_program("scheduler_fatal"), c.name);
        EXPECT_EQ(status, static_cast<int>(gluck_exit_code));
        std::string log = fixtures::read_logs(root);
        EXPECT_TRUE(log.ends_with(c.line)) << log;
    }
}

}  // namespace
}  // namespace skinner
