// A critical section owned for an object's life, and the guard that holds it for a scope: for the
// state that other plug-ins' threads and the loader's reach while the user-interface thread works.
#pragma once

#include <windows.h>

namespace kiv {

class criticalSection {
public:
    criticalSection() { InitializeCriticalSection(&section_); }
    ~criticalSection() { DeleteCriticalSection(&section_); }
    criticalSection(const criticalSection&) = delete;
    criticalSection& operator=(const criticalSection&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class heldLock {
public:
    explicit heldLock(criticalSection& lock) : lock_(lock) { lock_.enter(); }
    ~heldLock() { lock_.leave(); }
    heldLock(const heldLock&) = delete;
    heldLock& operator=(const heldLock&) = delete;

private:
    criticalSection& lock_;
};

}  // namespace kiv
