#include "base/Event.h"

#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"

namespace skinner {

Event::Event(bool manual_reset) : handle_(CreateEventW(nullptr, manual_reset ? TRUE : FALSE, FALSE, nullptr)) {}

Event::~Event() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

DWORD Event::wait(DWORD milliseconds) {
    return WaitForSingleObject(handle_, milliseconds);
}

void Event::set() {
    EventModify(handle_, EVENT_SET);
}

void Event::reset() {
    EventModify(handle_, EVENT_RESET);
}

}  // namespace skinner
