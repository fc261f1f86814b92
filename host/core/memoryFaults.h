// Memory that runs out, in the module only, through its import table: while set, the module's
// malloc, calloc and realloc answer null for a block larger than the limit, as they do when the
// process has no room left for it, so its operator new throws std::bad_alloc. Small blocks still
// come: the C++ runtime needs a few bytes per thread to throw at all. Installed by pluginLoader on
// every plug-in it loads; without the fault set, every call passes straight through.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kivhost {

class memoryFaults {
public:
    static memoryFaults& get();

    // Blocks of more than this many bytes are refused; 0 refuses none.
    void refuseAbove(size_t bytes) { InterlockedExchange(&limit_, static_cast<LONG>(bytes)); }
    bool refused(size_t bytes) const {
        const auto limit = static_cast<size_t>(InterlockedCompareExchange(&limit_, 0, 0));
        return limit != 0 && bytes > limit;
    }

    static void* __cdecl allocate(size_t size);
    static void* __cdecl allocateZeroed(size_t count, size_t size);
    static void* __cdecl reallocate(void* block, size_t size);

private:
    mutable volatile LONG limit_ = 0;
};

void installMemoryFaults(HMODULE module);

// Memory runs out in the module until the end of the scope, for anything larger than a few bytes.
class memoryExhausted {
public:
    memoryExhausted() { memoryFaults::get().refuseAbove(256); }
    ~memoryExhausted() { memoryFaults::get().refuseAbove(0); }
    memoryExhausted(const memoryExhausted&) = delete;
    memoryExhausted& operator=(const memoryExhausted&) = delete;
};

}  // namespace kivhost
