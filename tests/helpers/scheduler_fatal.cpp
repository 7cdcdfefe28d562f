// Broken invariants of the scheduler, one per run; each must end the process through the
// fatal error before main returns.
//   scheduler_fatal CASE
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/ActiveScheduler.h"

namespace {

struct Idle : skinner::CActive {
    Idle() : CActive(0) {}
    void run() override {}
    void on_cancel() override {}
};

struct Quiet : skinner::TimerListener {
    void on_timer(skinner::Timer&) override {}
};

int run_case(const char* name) {
    using skinner::CActiveScheduler;
    if (std::strcmp(name, "no-scheduler") == 0) {
        Idle object;
        object.set_active();
        return 0;
    }
    CActiveScheduler scheduler(nullptr, u"SkinnerClass_Fatal");
    if (std::strcmp(name, "notify-twice") == 0) {
        Idle object;
        object.set_active();
        object.notify();
        object.notify();
        scheduler.process_actives();
    } else if (std::strcmp(name, "set-active-twice") == 0) {
        Idle object;
        object.set_active();
        object.set_active();
    } else if (std::strcmp(name, "notify-idle") == 0) {
        Idle object;
        object.notify();
    } else if (std::strcmp(name, "destroy-pending") == 0) {
        auto object = std::make_unique<Idle>();
        object->set_active();
        object.reset();
    } else if (std::strcmp(name, "pending-timer-at-exit") == 0) {
        Quiet quiet;
        auto* timer = new skinner::Timer(quiet);  // kept alive past the scheduler on purpose
        timer->start(1.0);
        return 0;  // the scheduler's destructor runs here
    } else {
        std::fprintf(stderr, "unknown case %s\n", name);
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scheduler_fatal CASE\n");
        return 2;
    }
    return run_case(argv[1]);
}
