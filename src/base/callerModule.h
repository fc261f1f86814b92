// The plug-in a click callback lives in, so that a click after that plug-in was unloaded does not
// call into freed code.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kiv {

class callerModule {
public:
    callerModule() = default;
    // The module whose code holds the address, as it is while its caller is calling kiv.
    static callerModule of(const void* address);

    // Runs call while that same module is loaded, holding a reference on it meanwhile so that it
    // cannot go during the call; false when it was unloaded since, even if it is back at the same
    // address (or another file was loaded in its place).
    // Code outside any module is called as it is: there is nothing to check it against.
    template <class Call>
    bool whileLoaded(const void* address, Call call) const {
        if (!module_) {
            call();
            return true;
        }
        HMODULE pinned = pin(address);
        if (!pinned) return false;
        call();
        FreeLibrary(pinned);
        return true;
    }

private:
    struct identity {
        DWORD stamp = 0;
        DWORD size = 0;
        DWORD entry = 0;
        bool operator==(const identity& other) const {
            return stamp == other.stamp && size == other.size && entry == other.entry;
        }
    };
    static identity identityOf(HMODULE module);
    HMODULE pin(const void* address) const;

    HMODULE module_ = nullptr;
    identity identity_;  // tells another file apart where the platform does not report unloads
    uint32_t unloads_ = 0;
};

}  // namespace kiv
