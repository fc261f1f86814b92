// Every module the process unloads, counted by its base address, from the platform's loader
// notifications (ntdll's LdrRegisterDllNotification, Vista and later, looked up at run time). A
// caller seen before an unload at its base is gone, even when a new copy of the same file has
// been loaded at that address since: its headers cannot tell the two apart.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "base/criticalSection.h"

namespace kiv {

class unloadWatch {
public:
    unloadWatch() = default;
    ~unloadWatch();
    unloadWatch(const unloadWatch&) = delete;
    unloadWatch& operator=(const unloadWatch&) = delete;

    // Listens from the module's load to its unload: the notification calls into this module's
    // code, which must not be called once it is gone. False where the platform lacks it.
    bool start();
    void stop();
    bool listening() const { return cookie_ != nullptr; }

    // How many times a module at this base was unloaded while listening; a count that was lost
    // for want of memory counts for every base.
    uint32_t unloadsAt(HMODULE base) const;

private:
    struct unicodeText {
        USHORT length;
        USHORT capacity;
        PWSTR buffer;
    };
    struct notice {
        ULONG flags;
        const unicodeText* fullName;
        const unicodeText* baseName;
        void* base;
        ULONG size;
    };
    static void CALLBACK onLoaderEvent(ULONG reason, const notice* data, void* self);
    void unloaded(const void* base);

    mutable criticalSection lock_;
    std::map<uintptr_t, uint32_t> unloads_;
    uint32_t lost_ = 0;
    void* cookie_ = nullptr;
};

// One for the module, like the inbox: what a caller recorded stays comparable across loads.
extern unloadWatch unloads;

}  // namespace kiv
