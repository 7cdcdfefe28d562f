#pragma once
// Owns one platform event, manual or auto reset, created not signalled.
#include "platform/Types.h"

namespace skinner {

class Event {
public:
    explicit Event(bool manual_reset);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // The platform's wait result: WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
    DWORD wait(DWORD milliseconds = INFINITE);
    void set();
    void reset();

private:
    HANDLE handle_;
};

}  // namespace skinner
