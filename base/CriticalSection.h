#pragma once
// A recursive lock owning one platform critical section, and its scope guard.
#include <memory>

struct CRITICAL_SECTION;

namespace skinner {

class CriticalSection {
public:
    CriticalSection();
    // Releases the section when the destroying thread still holds it; no other thread
    // may hold it at that moment.
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter();
    void leave();

private:
    struct Deleter {
        void operator()(CRITICAL_SECTION* section) const;
    };
    std::unique_ptr<CRITICAL_SECTION, Deleter> section_;
};

// Holds a section for the lifetime of the guard.
class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : section_(section) { section_.enter(); }
    ~ScopedLock() { section_.leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace skinner
