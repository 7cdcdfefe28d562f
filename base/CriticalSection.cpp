#include "base/CriticalSection.h"

#include "platform/threads/Threads.h"

namespace skinner {

void CriticalSection::Deleter::operator()(CRITICAL_SECTION* section) const {
    DWORD me = GetCurrentThreadId();
    while (section->OwnerThread.load() == me) {
        LeaveCriticalSection(section);
    }
    DeleteCriticalSection(section);
    delete section;
}

CriticalSection::CriticalSection() : section_(new CRITICAL_SECTION) {
    InitializeCriticalSection(section_.get());
}

CriticalSection::~CriticalSection() = default;

void CriticalSection::enter() {
    EnterCriticalSection(section_.get());
}

void CriticalSection::leave() {
    LeaveCriticalSection(section_.get());
}

}  // namespace skinner
