// A lock for what other plug-ins may reach from their own threads: the call log, the services, the
// tracked handles.
#pragma once

#include <windows.h>

namespace kivhost {

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

class lockHeld {
public:
    explicit lockHeld(criticalSection& lock) : lock_(lock) { lock_.enter(); }
    ~lockHeld() { lock_.leave(); }
    lockHeld(const lockHeld&) = delete;
    lockHeld& operator=(const lockHeld&) = delete;

private:
    criticalSection& lock_;
};

}  // namespace kivhost
