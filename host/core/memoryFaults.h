// Memory that runs out, in the module only, through its import table: while set, the module's
// malloc, calloc and realloc answer null, as they do when the process has no memory left, so its
// operator new throws std::bad_alloc. Installed by pluginLoader on every plug-in it loads; without
// the fault set, every call passes straight through.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kivhost {

class memoryFaults {
public:
    static memoryFaults& get();

    void exhaust(bool on) { InterlockedExchange(&exhausted_, on ? 1 : 0); }
    bool exhausted() const { return InterlockedCompareExchange(&exhausted_, 0, 0) != 0; }

    static void* __cdecl allocate(size_t size);
    static void* __cdecl allocateZeroed(size_t count, size_t size);
    static void* __cdecl reallocate(void* block, size_t size);

private:
    mutable volatile LONG exhausted_ = 0;
};

void installMemoryFaults(HMODULE module);

// Memory runs out in the module until the end of the scope.
class memoryExhausted {
public:
    memoryExhausted() { memoryFaults::get().exhaust(true); }
    ~memoryExhausted() { memoryFaults::get().exhaust(false); }
    memoryExhausted(const memoryExhausted&) = delete;
    memoryExhausted& operator=(const memoryExhausted&) = delete;
};

}  // namespace kivhost
